#include "Resource.h"

#include <map>

#include "Tr.h"

namespace {

using K = ControlKind;
constexpr unsigned kButton = csTabStop;
constexpr unsigned kEdit = csTabStop | csBorder | csAutoHScroll;
constexpr unsigned kLowerEdit = kEdit | csLowercase;

const std::vector<DialogTemplate>& Templates() {
    static const std::vector<DialogTemplate> templates = {
        {IDD_ABOUTBOX, N_("About tavrin"), 217, 90, "MS Sans Serif", 8,
         {
             {IDC_STATIC, K::Picture, "", 17, 13, 0, 0, 0, IDB_ABOUT},
             {IDC_STATIC, K::Static, "", 93, 43, 104, 8, csLeft | csNoPrefix},
             {IDOK, K::PushButton, N_("OK"), 178, 7, 32, 14, kButton | csDefault | csGroup},
         }},
        {IDD_TAVRIN_FORM, "", 115, 123, "Wide Latin", 12,
         {
             {IDC_STATIC, K::Static, N_("Welcome To The Tavrin Tutor "), 10, 15, 38, 36,
              csCenter | csGroup},
             {IDB_WELCOME, K::Picture, "", 55, 0, 55, 120,
              csCenterImage | csBorder | csSunken | csStaticEdge, IDB_WELCOME},
         }},
        {IDD_LATIN_PAGE, N_("Latin to English"), 186, 127, "MS Sans Serif", 8,
         {
             {IDC_LATIN_BEGIN, K::PushButton, N_("&Begin Test"), 117, 15, 50, 14, kButton},
             {IDC_LATIN_ANSWER, K::Edit, "", 17, 44, 80, 14, kLowerEdit},
             {IDC_LATIN_NEXT, K::PushButton, N_("&Next Word"), 117, 38, 50, 14, kButton},
             {IDC_LATIN_SUBMIT, K::PushButton, N_("&Submit"), 118, 60, 50, 14, kButton | csDefault},
             {IDC_LATIN_QUIT, K::PushButton, N_("&Quit Testing"), 117, 86, 50, 14, kButton},
             {IDC_STATIC, K::Static, N_("Latin Word"), 15, 14, 60, 9, csLeft, 0, IDC_LATIN_PROMPT},
             {IDC_LATIN_PROMPT, K::Static, "", 15, 23, 92, 8, csLeft},
             {IDC_STATIC, K::Static, N_("Enter the English word"), 13, 32, 85, 8, csLeft, 0,
              IDC_LATIN_ANSWER},
             {IDC_LATIN_MARK, K::Static, "", 15, 71, 76, 8, csLeft | csOwnWords},
             {IDC_LATIN_SHOWN, K::Static, N_("Answer"), 15, 87, 77, 8, csLeft},
         }},
        {IDD_ENGLISH_PAGE, N_("English to Latin"), 186, 121, "MS Sans Serif", 8,
         {
             {IDC_ENGLISH_BEGIN, K::PushButton, N_("&Begin Test"), 121, 13, 50, 14, kButton},
             {IDC_ENGLISH_ANSWER, K::Edit, "", 13, 50, 90, 14, kLowerEdit},
             {IDC_ENGLISH_NEXT, K::PushButton, N_("&Next Word"), 123, 36, 50, 14, kButton},
             {IDC_ENGLISH_SUBMIT, K::PushButton, N_("&Submit"), 123, 63, 50, 14,
              kButton | csDefault},
             {IDC_ENGLISH_QUIT, K::PushButton, N_("&Quit Testing"), 123, 86, 50, 14, kButton},
             {IDC_STATIC, K::Static, N_("English Word"), 16, 13, 43, 8, csLeft, 0,
              IDC_ENGLISH_PROMPT},
             {IDC_ENGLISH_PROMPT, K::Static, "", 15, 25, 98, 8, csLeft},
             {IDC_STATIC, K::Static, N_("Enter the Latin word here"), 13, 39, 80, 8, csLeft, 0,
              IDC_ENGLISH_ANSWER},
             {IDC_ENGLISH_MARK, K::Static, "", 13, 80, 57, 8, csLeft | csOwnWords},
             {IDC_ENGLISH_SHOWN, K::Static, N_("Answer"), 16, 90, 91, 8, csLeft},
         }},
        {IDD_WORD_PAGE, N_("Word Parts"), 186, 127, "MS Sans Serif", 8,
         {
             {IDC_WORD_BEGIN, K::PushButton, N_("Begin Test"), 122, 16, 50, 14, kButton},
             {IDC_WORD_NEXT, K::PushButton, N_("&Next Word"), 121, 41, 50, 14, kButton},
             // Alt+S as on the other pages, so a quiz runs from the keys; the text stays as it is.
             {IDC_WORD_SUBMIT, K::PushButton, N_("Submit"), 121, 67, 50, 14, kButton, 0, 0, 'S'},
             {IDC_WORD_QUIT, K::PushButton, N_("Quit Test"), 121, 94, 50, 14, kButton},
             {IDC_STATIC, K::Static, N_("Latin Word"), 20, 14, 81, 8, csLeft, 0, IDC_WORD_PROMPT},
             {IDC_WORD_PROMPT, K::Static, "", 20, 28, 83, 8, csLeft},
             {IDC_WORD_ANSWER, K::Edit, "", 13, 53, 100, 14, kEdit},
             {IDC_WORD_MARK, K::Static, N_("Amswer"), 15, 75, 82, 8, csLeft | csOwnWords},
             {IDC_WORD_SHOWN, K::Static, "", 20, 97, 92, 8, csLeft},
             {IDC_STATIC, K::Static, N_("Enter the base word here"), 13, 43, 103, 8, csLeft, 0,
              IDC_WORD_ANSWER},
         }},
        {IDD_MAKEVOC, N_("Create a Vocabulary file"), 239, 239, "MS Sans Serif", 8,
         {
             {IDC_STATIC, K::Static, N_("Enter The Latin Word as it Appears  in the Text"), 11, 22,
              118, 17, csCenter, 0, IDC_MAKE_TEXTFORM},
             {IDC_MAKE_TEXTFORM, K::Edit, "", 16, 46, 114, 14, kEdit},
             {IDC_STATIC, K::Static, N_("Enter The Latin Word as it Appears in the Dictionary "),
              14,
              70, 113, 20, csCenter, 0, IDC_MAKE_DICTFORM},
             {IDC_MAKE_DICTFORM, K::Edit, "", 15, 91, 114, 14, kEdit},
             {IDC_STATIC, K::Static, N_("Enter English Definitions. You Must Enter at least three"),
              14, 112, 116, 17, csCenter},
             {IDC_STATIC, K::Static, N_("First Word"), 108, 136, 33, 8, csLeft, 0, IDC_MAKE_DEF1},
             {IDC_MAKE_DEF1, K::Edit, "", 15, 135, 80, 14, kEdit},
             {IDC_MAKE_DEF2, K::Edit, "", 14, 153, 81, 14, kEdit},
             {IDC_MAKE_DEF3, K::Edit, "", 13, 172, 80, 14, kEdit},
             {IDC_STATIC, K::Static, N_("Second Word"), 106, 158, 45, 8, csLeft, 0, IDC_MAKE_DEF2},
             {IDC_MAKE_DEF4, K::Edit, "", 13, 192, 80, 14, kEdit},
             {IDC_MAKE_DEF5, K::Edit, "", 13, 212, 79, 14, kEdit},
             {IDC_STATIC, K::Static, N_("Third Word"), 105, 177, 36, 8, csLeft, 0, IDC_MAKE_DEF3},
             {IDC_STATIC, K::Static, N_("Fourth Word"), 106, 197, 40, 8, csLeft, 0, IDC_MAKE_DEF4},
             {IDC_STATIC, K::Static, N_("Fifth Word"), 104, 217, 34, 8, csLeft, 0, IDC_MAKE_DEF5},
             {IDC_MAKE_SUBMIT, K::PushButton, N_("SUBMIT"), 171, 154, 50, 29, kButton},
             {IDC_MAKE_FINISH, K::PushButton, N_("FINISH"), 172, 190, 50, 31,
              kButton | csMultiline | csStaticEdge},
             {IDC_STATIC, K::Static,
              N_("Make sure that your Latin dictionary definintions are nominative singular for "
                 "nouns and present active indicative for verbs. Example: For 'cano' type in cano "
                 "canere cecini cantum"),
              149, 50, 73, 88, csCenter},
             {IDC_MAKE_CREATE, K::PushButton, N_("Create Voc File"), 164, 18, 54, 25, kButton},
         }},
    };
    return templates;
}

}  // namespace

const ControlTemplate* DialogTemplate::Find(int controlId) const {
    for (const auto& c : controls) {
        if (c.id == controlId) return &c;
    }
    return nullptr;
}

const DialogTemplate* FindDialogTemplate(int id) {
    for (const auto& t : Templates()) {
        if (t.id == id) return &t;
    }
    return nullptr;
}

const std::vector<MenuPopup>& FindMenu(int id) {
    static const std::vector<MenuPopup> mainMenu = {
        {N_("&File"),
         {
             {N_("&New\tCtrl+N"), ID_FILE_NEW},
             {N_("&Open...\tCtrl+O"), ID_FILE_OPEN},
             {"", 0},
             {N_("Recent File"), ID_FILE_MRU_FILE1, true},
             {"", 0},
             {N_("E&xit"), ID_APP_EXIT},
         }},
        {N_("&Help"), {{N_("&About tavrin..."), ID_APP_ABOUT}}},
    };
    static const std::vector<MenuPopup> docMenu = {
        {N_("&File"), {{"", 0}, {N_("E&xit"), ID_APP_EXIT}}},
        {N_("&Options"),
         {{N_("&Change Order"), ID_OPTIONS_CHANGEORDER},
          {N_("&Make Voc File"), ID_OPTIONS_MAKEVOCFILE}}},
        {N_("&Test"), {{N_("&Begin Test"), ID_TEST_BEGIN}}},
        {N_("&Help"), {{N_("&About tavrin..."), ID_APP_ABOUT}}},
    };
    return id == IDR_TAVRINTYPE ? docMenu : mainMenu;
}

const std::vector<Accelerator>& MainAccelerators() {
    static const std::vector<Accelerator> table = {
        {"Ctrl+N", ID_FILE_NEW},          {"Ctrl+O", ID_FILE_OPEN},
        {"Ctrl+S", ID_FILE_SAVE},         {"Ctrl+Z", ID_EDIT_UNDO},
        {"Ctrl+X", ID_EDIT_CUT},          {"Ctrl+C", ID_EDIT_COPY},
        {"Ctrl+V", ID_EDIT_PASTE},        {"Alt+Backspace", ID_EDIT_UNDO},
        {"Shift+Delete", ID_EDIT_CUT},    {"Ctrl+Insert", ID_EDIT_COPY},
        {"Shift+Insert", ID_EDIT_PASTE},  {"F6", ID_NEXT_PANE},
        {"Shift+F6", ID_PREV_PANE},
    };
    return table;
}

std::string LoadString(int id) {
    static const std::map<int, std::string> table = {
        {IDR_MAINFRAME, "tavrin"},
        {IDR_TAVRINTYPE, "\nTavrin\nTavrin\n\n\nTavrin.Document\nTavrin Document"},
        {IDS_APP_TITLE, "tavrin"},
        {ID_TEST_BEGIN, "Begin the vocabulary test"},
        {ID_OPTIONS_CHANGEORDER, "Change the order of the words in a vocabulary file"},
        {ID_OPTIONS_MAKEVOCFILE, "Allows the user to make their own vocabulary files"},
    };
    auto it = table.find(id);
    return it == table.end() ? std::string() : it->second;
}

const VersionInfo& Version() {
    static const VersionInfo info = {"1, 0, 0, 1", "1, 0, 0, 1", "TAVRIN TUTOR",
                                     "Latin Tutor", "TAVRIN", "TAVRIN.EXE"};
    return info;
}
