#include "MakeVoc.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Resource.h"
#include "Tr.h"
#include "VocFormat.h"

namespace {

const char kCaptionError[] = N_("Error");
constexpr unsigned kCreateMode =
    CTextFile::modeCreate | CTextFile::shareExclusive | CTextFile::modeWrite;  // 0x1011
// Adding must read what is there to finish its last entry, and must never empty it.
constexpr unsigned kAddMode = CTextFile::modeCreate | CTextFile::modeNoTruncate |
                              CTextFile::shareExclusive | CTextFile::modeReadWrite;  // 0x3012
const char kCaptionQuestion[] = N_("Make Voc File");
constexpr int kAnswerAdd = 0;
constexpr int kAnswerReplace = 1;
const char kAlreadyOpen[] =
    N_("File already open. FINISH this .voc file first, then create another");
const char kOpenFirst[] = N_("Open a .voc file first, Then sibmit a word");
const char kWordKept[] = N_("The word was not added; it is still in the boxes.");

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

// How a file ends, as far as adding whole entries to it goes.
struct FileShape {
    std::uint64_t size = 0;
    std::uint64_t lines = 0;  // a last line without a line end counts
    bool endsInLineEnd = true;
};

// Reads the whole file, as stored, without moving its position.
FileShape MeasureFile(CTextFile& file) {
    FileShape shape;
    std::vector<char> chunk(64 * 1024);
    char last = '\n';
    while (const std::size_t n = file.ReadAt(shape.size, chunk.data(), chunk.size())) {
        shape.lines += static_cast<std::uint64_t>(std::count(chunk.data(), chunk.data() + n, '\n'));
        last = chunk[n - 1];
        shape.size += n;
    }
    shape.endsInLineEnd = last == '\n';
    if (!shape.endsInLineEnd) ++shape.lines;
    return shape;
}

// A headword line starts a word every six lines, so a cut-short last entry is still a word.
std::uint64_t Words(const FileShape& shape) {
    return (shape.lines + kLinesPerEntry - 1) / kLinesPerEntry;
}

// What makes the next word start on a word boundary: a line end for a last line without one,
// then the empty definition lines that a cut-short last entry lacks.
std::string Completion(const FileShape& shape) {
    std::string text = shape.endsInLineEnd ? "" : "\n";
    const std::uint64_t rest = shape.lines % kLinesPerEntry;
    if (rest != 0) text.append(static_cast<std::size_t>(kLinesPerEntry - rest), '\n');
    return text;
}

// An existing file that holds something, and how many words, when it could be read.
struct Existing {
    std::optional<std::uint64_t> words;
};

// Looks at the file the user chose before anything opens it for writing. A new or empty file
// needs no question; neither does one that another program holds, since the open for writing
// fails on it and says so without touching it.
std::optional<Existing> LookAt(const std::string& path) {
    CTextFile file;
    CFileException error(CFileException::none, -1);
    if (file.Open(path, CTextFile::modeRead, &error)) {
        try {
            const FileShape shape = MeasureFile(file);
            if (shape.size == 0) return std::nullopt;
            return Existing{Words(shape)};
        } catch (const CFileException&) {
            // Unreadable now; its size below still says whether emptying it would lose words.
        }
    } else if (error.m_cause == CFileException::sharingViolation) {
        return std::nullopt;
    }
    // A file we may write but not read would be emptied without a word said.
    std::error_code ec;
    const bool regular = std::filesystem::is_regular_file(path, ec);
    const std::uintmax_t size = regular ? std::filesystem::file_size(path, ec) : 0;
    if (ec || size == 0) return std::nullopt;
    return Existing{std::nullopt};
}

tr::Message Question(const std::string& path, const Existing& existing) {
    const std::string name = std::filesystem::path(path).filename().string();
    tr::Message what =
        existing.words
            ? tr::Message(NP_("%s already holds %lu word.", "%s already holds %lu words."),
                          static_cast<unsigned long>(*existing.words), {name, *existing.words})
            : tr::Message(N_("%s is not empty, but it cannot be read to count its words."), {name});
    return tr::Message::Lines(
        {what, N_("Add the new words at its end, or replace it with an empty file?")});
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

    unsigned mode = kCreateMode;
    if (const auto existing = LookAt(*path)) {
        const int answer = Wnd().AskChoice(Question(*path, *existing), kCaptionQuestion,
                                           {N_("&Add"), N_("&Replace"), N_("Cancel")});
        if (answer == kAnswerAdd) {
            mode = kAddMode;
        } else if (answer != kAnswerReplace) {
            return;
        }
    }

    CFileException error(CFileException::none, -1);
    m_bFileOpen = m_vocFile.Open(*path, mode, &error) ? 1 : 0;
    if (m_bFileOpen && mode == kAddMode) m_bFileOpen = CompleteLastEntry(error) ? 1 : 0;
    if (!m_bFileOpen) {
        Wnd().MessageBox({N_("Error opening file for wrinting. Code:%d"), {error.m_cause}},
                         kCaptionError, MB_OK);
    }
}

bool CMakeVoc::CompleteLastEntry(CFileException& error) {
    // Measured only now that the lock is ours: the file may have changed since the question.
    std::optional<std::uint64_t> kept;
    try {
        const FileShape shape = MeasureFile(m_vocFile);
        kept = shape.size;
        const std::string completion = Completion(shape);
        if (!completion.empty()) {
            m_vocFile.WriteString(completion);
            m_vocFile.Sync();
        }
        return true;
    } catch (const CFileException& e) {
        error = e;
    }
    // Give back exactly the bytes that were there; never cut into them.
    if (kept) {
        try {
            m_vocFile.SetLength(*kept);
        } catch (const CFileException&) {
            // At worst part of the line ends stays after the old words; none of them is lost.
        }
    }
    m_vocFile.Abort();
    return false;
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
            return ReportWriteError(e, N_("The file was closed; the word is still in the boxes."));
        }
        return ReportWriteError(e, kWordKept);
    }

    for (const auto& piece : kEntryPieces) Wnd().SetDlgItemText(piece.box, "");
}

void CMakeVoc::ReportWriteError(const CFileException& e, const char* outcome) {
    Wnd().MessageBox({N_("Error writing file. Code:%d. %s"), {e.m_cause, tr::Message(outcome)}},
                     kCaptionError, MB_OK);
}

void CMakeVoc::OnFinish() {
    if (m_vocFile.IsOpen()) {
        try {
            m_vocFile.Close();
        } catch (const CFileException& e) {
            Wnd().MessageBox({N_("Error closing file. Code:%d"), {e.m_cause}}, kCaptionError,
                             MB_OK);
        }
    }
    Wnd().EndDialog(ID_OPTIONS_MAKEVOCFILE);
}
