#include "MakeVoc.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "Resource.h"

namespace {

const char kCaptionError[] = "Error";
constexpr unsigned kCreateMode =
    CTextFile::modeCreate | CTextFile::shareExclusive | CTextFile::modeWrite;  // 0x1011
const char kAlreadyOpen[] = "File already open. FINISH this .voc file first, then create another";
const char kOpenFirst[] = "Open a .voc file first, Then sibmit a word";
const char kWordKept[] = "The word was not added; it is still in the boxes.";

// The boxes of one word entry in the order they are written, each with what follows its text.
struct EntryPiece {
    int box;
    const char* suffix;
};
constexpr std::array<EntryPiece, 7> kEntryPieces = {{
    {IDC_MAKE_TEXTFORM, " "},
    {IDC_MAKE_DICTFORM, "\n"},
    {IDC_MAKE_DEF1, "\n"},
    {IDC_MAKE_DEF2, "\n"},
    {IDC_MAKE_DEF3, "\n"},
    {IDC_MAKE_DEF4, "\n"},
    {IDC_MAKE_DEF5, "\n"},
}};

// A line break pasted into a box would split the entry into more than six lines and shift
// every later word out of place; a blank keeps the words of the text apart.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

}  // namespace

CMakeVoc::CMakeVoc() : CDialogLogic(IDD_MAKEVOC) {}

bool CMakeVoc::OnCommand(int id) {
    static const CommandEntry<CMakeVoc> table[] = {
        {IDC_MAKE_SUBMIT, &CMakeVoc::OnSubmit},
        {IDC_MAKE_FINISH, &CMakeVoc::OnFinish},
        {IDC_MAKE_CREATE, &CMakeVoc::OnCreateVocFile},
    };
    return Dispatch(*this, table, id);
}

void CMakeVoc::OnCreateVocFile() {
    if (m_bFileOpen) {
        Wnd().MessageBox(kAlreadyOpen, kCaptionError, MB_OKCANCEL);
        return;
    }
    auto path = Wnd().ChooseFileToOpen(kVocExtension, kVocFilter);
    if (!path) return;

    CFileException error(CFileException::none, -1);
    m_bFileOpen = m_vocFile.Open(*path, kCreateMode, &error) ? 1 : 0;
    if (!m_bFileOpen) {
        char buffer[100];
        std::snprintf(buffer, sizeof buffer, "Error opening file for wrinting. Code:%d",
                      error.m_cause);
        Wnd().MessageBox(buffer, kCaptionError, MB_OK);
    }
}

void CMakeVoc::OnSubmit() {
    if (!m_bFileOpen) {
        Wnd().MessageBox(kOpenFirst, kCaptionError, MB_OKCANCEL);
        return;
    }

    std::uint64_t wholeEntries = 0;
    try {
        wholeEntries = m_vocFile.GetLength();
    } catch (const CFileException& e) {
        return ReportWriteError(e, kWordKept);
    }
    try {
        for (const auto& piece : kEntryPieces) {
            m_vocFile.WriteString(OneLine(Wnd().GetDlgItemText(piece.box)) + piece.suffix);
        }
        m_vocFile.Sync();
    } catch (const CFileException& e) {
        try {
            m_vocFile.SetLength(wholeEntries);
        } catch (const CFileException&) {
            // The file may now end inside an entry; writing on would shift every later word,
            // so give it up. The words already submitted stay in it.
            m_vocFile.Abort();
            m_bFileOpen = 0;
            return ReportWriteError(e, "The file was closed; the word is still in the boxes.");
        }
        return ReportWriteError(e, kWordKept);
    }

    for (const auto& piece : kEntryPieces) Wnd().SetDlgItemText(piece.box, "");
}

void CMakeVoc::ReportWriteError(const CFileException& e, const char* outcome) {
    char buffer[100];
    std::snprintf(buffer, sizeof buffer, "Error writing file. Code:%d. %s", e.m_cause, outcome);
    Wnd().MessageBox(buffer, kCaptionError, MB_OK);
}

void CMakeVoc::OnFinish() {
    if (m_vocFile.IsOpen()) {
        try {
            m_vocFile.Close();
        } catch (const CFileException& e) {
            char buffer[100];
            std::snprintf(buffer, sizeof buffer, "Error closing file. Code:%d", e.m_cause);
            Wnd().MessageBox(buffer, kCaptionError, MB_OK);
        }
    }
    Wnd().EndDialog(ID_OPTIONS_MAKEVOCFILE);
}
