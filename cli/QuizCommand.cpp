// tavrin-voc quiz FILE: the three test pages in a terminal.
//
// The pages are the windows' own (CLatinPage, CEnglishPage, CWordPage), driven through a
// terminal window: every prompt, mark, expected answer, refusal and score is theirs. This file
// only presses their buttons: each line typed is put in the answer box and submitted, and Next
// Word follows; the end of the input, a line ":q" or Ctrl+C is Quit Testing.
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "Convert.h"
#include "EnglishPage.h"
#include "ImportRules.h"
#include "Input.h"
#include "LatinPage.h"
#include "Output.h"
#include "QuizFiles.h"
#include "Reorder.h"
#include "Resource.h"
#include "TavrinVoc.h"
#include "TermInput.h"
#include "TermWindow.h"
#include "Tr.h"
#include "VocText.h"
#include "WordPage.h"

namespace {

// Ctrl+C: the quiz was cut short, though its score and missed words were still given.
constexpr int kExitInterrupted = 130;

const char kQuitLine[] = ":q";

struct QuizOptions {
    std::string page = "latin";
    std::string file;
    std::string missed;
    bool force = false;
    std::string order = "file";
    std::optional<std::uint64_t> seed;
};

std::unique_ptr<CTestPage> MakePage(const std::string& name) {
    if (name == "english") return std::make_unique<CEnglishPage>();
    if (name == "parts") return std::make_unique<CWordPage>();
    return std::make_unique<CLatinPage>();
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa = {};
    struct stat sb = {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// The file's entries in the order asked, in a copy the page can open. The original stays held
// in `held` for the whole quiz, as a page holds the file it tests. Returns nothing when the
// original cannot be opened: the page then tries it itself and says why in its own words.
std::optional<std::string> Reorder(const QuizOptions& options, const std::string& path,
                                   CTextFile& held, CReorderedCopy& copy, CliStreams& io) {
    CFileException error;
    if (!held.Open(path, CTextFile::modeRead, &error)) return std::nullopt;
    // The reordering needs every entry at hand; a quiz in file order holds none.
    std::vector<std::string> entries;
    std::string entry;
    while (ReadWholeEntry(held, entry)) entries.push_back(std::move(entry));

    std::vector<std::size_t> order;
    if (options.order == "interleaved") {
        order = InterleavedOrder(entries.size());
    } else {
        std::uint64_t seed = options.seed.value_or(0);
        if (!options.seed) {
            seed = std::random_device{}();
            io.out << tr::Format(_("Shuffled with --seed %s (give it again for this order)."),
                                 {std::to_string(seed)})
                   << '\n';
        }
        order = ShuffledOrder(entries.size(), seed);
    }
    copy.Write(entries, order);
    return copy.Path();
}

bool IsVocName(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".voc";
}

// Imports the word list at `path` (CSV, Anki, a line list...) into `copy`, as tavrin-voc import
// would, and says so. Returns false, having told the user why, when nothing could be imported.
bool Import(const std::string& path, CReorderedCopy& copy, CliStreams& io) {
    CInput input;
    if (!input.Open(path, io)) return false;
    ImportOptions options;
    options.check = true;
    ConvertTotals totals;
    try {
        totals = ImportDelimited(
            input.Buf(), input.Name(), options, [&](std::string_view bytes) { copy.Append(bytes); },
            io.err);
    } catch (const CFileException& e) {
        ReportFileProblem(
            io, path,
            tr::Format(_("the words could not be imported: %s"), {DescribeCause(e.m_cause)}));
        return false;
    }
    if (totals.words == 0) {
        ReportFileProblem(io, path, _("no row could be used, so there is nothing to quiz"));
        return false;
    }
    // The count is the second value, so that a language's singular may leave it out.
    io.out << P_("Quizzing the word imported from %1$s, kept in a temporary file until the quiz "
                 "ends.",
                 "Quizzing the %2$s words imported from %1$s, kept in a temporary file until the "
                 "quiz ends.",
                 totals.words, {path, std::to_string(totals.words)})
           << '\n';
    return true;
}

// Writes the words missed to the output opened for them, and says what became of them.
bool WriteMissed(const std::string& quizzed, std::vector<std::size_t> missed, COutput& out,
                 CliStreams& io) {
    std::sort(missed.begin(), missed.end());
    missed.erase(std::unique(missed.begin(), missed.end()), missed.end());
    if (missed.empty()) {
        io.out << tr::Format(_("No words were missed; %s was not written."), {out.Path()}) << '\n';
        return true;
    }
    std::size_t written = 0;
    try {
        written = CopyEntries(quizzed, missed, out);
    } catch (const CFileException& e) {
        ReportFileProblem(io, out.Path(),
                          tr::Format(_("the missed words could not be written: %s; nothing was "
                                       "changed"),
                                     {DescribeCause(e.m_cause)}));
        return false;
    }
    if (!out.Commit()) return false;
    io.out << P_("%s missed word written to %s.", "%s missed words written to %s.", written,
                 {std::to_string(written), out.Path()})
           << '\n';
    return true;
}

int RunQuiz(const QuizOptions& options, CliStreams& io) {
    COutput missedOut(io);
    if (!options.missed.empty()) {
        if (options.missed == "-") {
            io.err << "tavrin-voc: " << _("--missed needs a file name") << '\n';
            return kExitUsage;
        }
        if (SameFile(options.missed, options.file)) {
            ReportFileProblem(io, options.missed,
                              _("is the file being quizzed; name another file for the missed "
                                "words"));
            return kExitFailed;
        }
        // Refused now, not after a whole quiz whose missed words would then be lost.
        if (!missedOut.Open(options.missed, options.force)) return kExitFailed;
    }

    std::unique_ptr<CTestPage> page = MakePage(options.page);
    const TestPageControls& ids = page->Controls();

    std::string quizzed = options.file;
    CReorderedCopy imported;
    if (!IsVocName(options.file)) {
        if (!Import(options.file, imported, io)) return kExitFailed;
        quizzed = imported.Path();
    }
    CTextFile held;
    CReorderedCopy copy;
    if (options.order != "file") {
        try {
            if (auto path = Reorder(options, quizzed, held, copy, io)) quizzed = *path;
        } catch (const CFileException& e) {
            ReportFileProblem(io, options.file,
                              tr::Format(_("cannot read it: %s"), {DescribeCause(e.m_cause)}));
            return kExitFailed;
        }
    }

    CTermWindow window(page->TemplateId(), io.out, quizzed);
    page->SetWindow(&window);
    io.out << tr::Format(_("%s: type each answer and press Enter; a line %s or Ctrl+D quits "
                           "with the score."),
                         {tr::Shown(FindDialogTemplate(page->TemplateId())->caption), kQuitLine})
           << '\n';
    page->OnCommand(ids.begin);
    window.ShowChanges();
    if (!page->m_bFileOpen) {
        // The page has said why in its words; say it again in ours, naming the file, for a
        // script's log and for a user who wants to know what code 11 means.
        io.out.flush();
        CTextFile probe;
        CFileException error;
        if (probe.Open(options.file, CTextFile::modeRead, &error)) {
            ReportFileProblem(io, options.file, _("holds no words to quiz"));
        } else if (error.m_cause == CFileException::sharingViolation && held.IsOpen()) {
            ReportFileProblem(io, options.file, _("holds no words to quiz"));
        } else {
            ReportFileProblem(
                io, options.file,
                tr::Format(_("cannot open it for reading: %s"), {DescribeCause(error.m_cause)}));
        }
        return kExitFailed;
    }

    // Standard input is read by descriptor, so that Ctrl+C can stop a read; anything else
    // (a test's text) as a stream.
    std::unique_ptr<ITermInput> input;
    bool echo = true;
    if (&io.in == &std::cin) {
        input = std::make_unique<CDescriptorInput>(STDIN_FILENO);
        echo = !::isatty(STDIN_FILENO);  // a terminal shows what is typed already
    } else {
        input = std::make_unique<CStreamInput>(io.in);
    }

    std::size_t position = 0;  // of the word shown, among the entries of the file quizzed
    std::vector<std::size_t> missed;
    bool interrupted = false;
    for (;;) {
        io.out.flush();
        std::string line;
        const TermRead got = input->ReadLine(line);
        if (got == TermRead::kInterrupted) {
            interrupted = true;
            if (::isatty(STDOUT_FILENO) && &io.out == &std::cout) io.out << '\n';
            break;
        }
        if (got == TermRead::kEnd || line == kQuitLine) break;

        window.Type(ids.answer, TextAsUtf8(line));
        if (echo) io.out << window.GetDlgItemText(ids.answer) << '\n';
        const int asked = page->m_nAsked;
        const int correct = page->m_nCorrect;
        page->OnCommand(ids.submit);
        window.ShowChanges();
        if (page->m_nAsked > asked && page->m_nCorrect == correct) missed.push_back(position);

        page->OnCommand(ids.next);
        window.ShowChanges();
        // No word left: the page has said so, and only its score remains.
        if (!page->m_bWordReady) break;
        ++position;
    }
    page->OnCommand(ids.quit);
    window.ShowChanges();
    io.out.flush();

    int status = interrupted ? kExitInterrupted : kExitOk;
    if (!options.missed.empty() && !WriteMissed(quizzed, std::move(missed), missedOut, io)) {
        status = kExitFailed;
    }
    io.out.flush();
    return status;
}

}  // namespace

void AddQuizCommand(CLI::App& app, CliRun& run) {
    auto options = std::make_shared<QuizOptions>();
    CLI::App* command = app.add_subcommand(
        "quiz",
        _("Quizzes FILE in the terminal with the test pages of the windows: each word is shown, "
          "each line typed is an answer, marked with the expected answer shown, and the next word "
          "follows. A line :q, the end of the input (Ctrl+D) or Ctrl+C ends the quiz with the "
          "score. Answers may come from a pipe."));
    command
        ->add_option("FILE", options->file,
                     _("Vocabulary file to quiz; a word list of another kind (CSV, Anki, a line "
                       "list: any that import reads) is imported first into a temporary file"))
        ->required();
    command
        ->add_option("--page", options->page,
                     _("latin: Latin to English (the default); english: English to Latin; "
                       "parts: Word Parts"))
        ->check(CLI::IsMember({"latin", "english", "parts"}));
    command
        ->add_option("--missed", options->missed,
                     _("Write every word answered wrong to this vocabulary file, whole, in the "
                       "order asked; no file when none was missed"))
        ->type_name("OUT.voc");
    command->add_flag("--force", options->force, _("Replace an existing --missed file"));
    command
        ->add_option("--order", options->order,
                     _("file: as in FILE (the default); interleaved: as Change Order would put "
                       "them; shuffle: at random. FILE is never changed"))
        ->check(CLI::IsMember({"file", "interleaved", "shuffle"}));
    command->add_option("--seed", options->seed,
                        _("With --order shuffle: repeat the shuffle that this number gave (a "
                          "shuffle without it prints the one it drew)"));
    command->footer(
        _("Exit status: 0 when the quiz ran to its end, whatever the score; 1 when FILE could not "
          "be quizzed (it could not be opened, or holds no words) or the missed words could not "
          "be written; 2 wrong usage; 130 when Ctrl+C cut the quiz short (the score and the "
          "missed words are still given)."));
    command->callback(
        [options, &run] { run = [options](CliStreams& io) { return RunQuiz(*options, io); }; });
}
