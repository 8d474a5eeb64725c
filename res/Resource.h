// Numbers of the program's resources, commands and controls, and the resource data itself:
// dialog templates, menus, accelerators, strings and version information. Plain data, read by
// the window layer to build widgets and by the tests to check what the user sees.
#pragma once

#include <string>
#include <vector>

// Resources.
constexpr int IDR_MAINFRAME = 128;  // main menu, accelerators, icon, title
constexpr int IDR_TAVRINTYPE = 129; // document menu, document icon, document string
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_TAVRIN_FORM = 101;
constexpr int IDD_LATIN_PAGE = 130;
constexpr int IDD_ENGLISH_PAGE = 131;
constexpr int IDD_WORD_PAGE = 137;
constexpr int IDD_MAKEVOC = 138;
constexpr int IDB_WELCOME = 135;
constexpr int IDB_ABOUT = 136;
constexpr int IDS_APP_TITLE = 57344;

// The program's own commands.
constexpr int ID_TEST_BEGIN = 32771;
constexpr int ID_OPTIONS_CHANGEORDER = 32772;
constexpr int ID_OPTIONS_MAKEVOCFILE = 32773;

// Standard commands.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_MRU_FILE1 = 57616;
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;

// Controls of the Latin-to-English page.
constexpr int IDC_LATIN_NEXT = 1000;
constexpr int IDC_LATIN_SUBMIT = 1001;
constexpr int IDC_LATIN_BEGIN = 1002;
constexpr int IDC_LATIN_ANSWER = 1003;
constexpr int IDC_LATIN_SHOWN = 1004;
constexpr int IDC_LATIN_PROMPT = 1005;
constexpr int IDC_LATIN_MARK = 1006;
constexpr int IDC_LATIN_QUIT = 1014;

// Controls of the English-to-Latin page.
constexpr int IDC_ENGLISH_PROMPT = 1007;
constexpr int IDC_ENGLISH_ANSWER = 1008;
constexpr int IDC_ENGLISH_MARK = 1009;
constexpr int IDC_ENGLISH_SHOWN = 1010;
constexpr int IDC_ENGLISH_BEGIN = 1011;
constexpr int IDC_ENGLISH_NEXT = 1012;
constexpr int IDC_ENGLISH_SUBMIT = 1013;
constexpr int IDC_ENGLISH_QUIT = 1016;

// Controls of the Word Parts page.
constexpr int IDC_WORD_BEGIN = 1017;
constexpr int IDC_WORD_NEXT = 1018;
constexpr int IDC_WORD_SUBMIT = 1019;
constexpr int IDC_WORD_QUIT = 1020;
constexpr int IDC_WORD_ANSWER = 1021;
constexpr int IDC_WORD_PROMPT = 1022;
constexpr int IDC_WORD_MARK = 1023;
constexpr int IDC_WORD_SHOWN = 1024;

// Controls of the vocabulary file builder.
constexpr int IDC_MAKE_TEXTFORM = 1025;
constexpr int IDC_MAKE_DICTFORM = 1026;
constexpr int IDC_MAKE_DEF1 = 1027;
constexpr int IDC_MAKE_DEF2 = 1028;
constexpr int IDC_MAKE_DEF3 = 1029;
constexpr int IDC_MAKE_DEF4 = 1030;
constexpr int IDC_MAKE_DEF5 = 1031;
constexpr int IDC_MAKE_SUBMIT = 1032;
constexpr int IDC_MAKE_FINISH = 1033;
constexpr int IDC_MAKE_CREATE = 1034;

constexpr int IDC_STATIC = -1;

enum class ControlKind { Static, Edit, PushButton, Picture };

// Style bits of a control, as the templates ask for them.
enum ControlStyle : unsigned {
    csLeft = 0,
    csCenter = 1u << 0,       // static text centred
    csGroup = 1u << 1,        // starts a group
    csTabStop = 1u << 2,
    csBorder = 1u << 3,
    csAutoHScroll = 1u << 4,  // edit scrolls horizontally
    csLowercase = 1u << 5,    // edit turns every letter entered to lower case
    csDefault = 1u << 6,      // the default push button
    csMultiline = 1u << 7,    // button label may wrap
    csSunken = 1u << 8,       // sunken look
    csStaticEdge = 1u << 9,   // thin sunken edge
    csCenterImage = 1u << 10, // picture centred in its box
    csNoPrefix = 1u << 11,    // "&" shown as it is
    csOwnWords = 1u << 12,    // the logic sets the program's own words here (the marks), which
                              // are translated; other displays show a file's words as they are
};

// Dialog units, as in the template: x, y, width, height.
struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string text;
    int x, y, cx, cy;
    unsigned style;
    int bitmap = 0;     // picture: the bitmap shown
    int labelFor = 0;   // static label: the control it introduces
    char accessKey = 0; // push button: the letter that presses it with Alt, where its text
                        // marks none
};

struct DialogTemplate {
    int id;
    std::string caption;  // window title, or a page's tab label
    int cx, cy;
    std::string fontName;
    int pointSize;
    std::vector<ControlTemplate> controls;  // in tab order

    const ControlTemplate* Find(int controlId) const;
};

// The template with resource number `id`, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

struct MenuItem {
    std::string text;  // "&" marks the mnemonic, "\t" the accelerator label; empty: separator
    int command;
    bool grayed = false;
};

struct MenuPopup {
    std::string title;
    std::vector<MenuItem> items;
};

// Menu 128 (no document open) or 129 (a document open).
const std::vector<MenuPopup>& FindMenu(int id);

struct Accelerator {
    std::string keys;  // in the form "Ctrl+N", "Shift+Delete"
    int command;
};

const std::vector<Accelerator>& MainAccelerators();

// The string table; an empty string for a number it lacks.
std::string LoadString(int id);

struct VersionInfo {
    std::string fileVersion, productVersion, productName, fileDescription, internalName,
        originalFilename;
};
const VersionInfo& Version();
