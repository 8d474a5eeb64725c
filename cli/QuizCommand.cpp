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
#include <deque>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <set>
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
#include "StudyWords.h"
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
    std::vector<std::string> files;
    std::string file;  // the one file of a quiz that is not a review
    bool review = false;
    int newWords = 20;
    std::string missed;
    bool force = false;
    std::string order = "file";
    std::optional<std::uint64_t> seed;
    bool verbose = false;

    ImportFindings Findings() const {
        return verbose ? ImportFindings::kEach : ImportFindings::kCounted;
    }
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

// Takes each line typed as the answer to the word shown, until the input ends, a line :q or
// Ctrl+C, or `marked` (told after each marked answer whether it was right) returns false because
// no word follows; then quits with the score. Returns whether Ctrl+C ended it.
bool AnswerLoop(CTestPage& page, CTermWindow& window, CliStreams& io,
                const std::function<bool(bool correct)>& marked) {
    const TestPageControls& ids = page.Controls();
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
        const int asked = page.m_nAsked;
        const int correct = page.m_nCorrect;
        page.OnCommand(ids.submit);
        window.ShowChanges();
        if (page.m_nAsked > asked && !marked(page.m_nCorrect > correct)) break;
    }
    page.OnCommand(ids.quit);
    window.ShowChanges();
    io.out.flush();
    return interrupted;
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

// Opens the file for --missed, if given, before the quiz: refused now, not after a whole quiz
// whose missed words would then be lost. Returns 0, or the exit status of the refusal.
int OpenMissed(const QuizOptions& options, COutput& out, CliStreams& io) {
    if (options.missed.empty()) return 0;
    if (options.missed == "-") {
        io.err << "tavrin-voc: " << _("--missed needs a file name") << '\n';
        return kExitUsage;
    }
    for (const std::string& file : options.files) {
        if (SameFile(options.missed, file)) {
            ReportFileProblem(io, options.missed,
                              _("is the file being quizzed; name another file for the missed "
                                "words"));
            return kExitFailed;
        }
    }
    return out.Open(options.missed, options.force) ? 0 : kExitFailed;
}

std::string Absolute(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

int RunQuiz(const QuizOptions& options, const progress::StoreChoice& store, CliStreams& io) {
    COutput missedOut(io);
    if (const int refused = OpenMissed(options, missedOut, io)) return refused;

    std::unique_ptr<CTestPage> page = MakePage(options.page);
    const TestPageControls& ids = page->Controls();
    progress::CAnswerRecorder recorder(store, "tavrin-voc", io.err);
    recorder.SetSourceFile(Absolute(options.file));
    page->SetAnswerLog(&recorder);

    std::string quizzed = options.file;
    CReorderedCopy imported;
    if (!IsVocName(options.file)) {
        if (!ImportWordList(options.file, imported, io, true, options.Findings())) {
            return kExitFailed;
        }
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

    std::size_t position = 0;  // of the word shown, among the entries of the file quizzed
    std::vector<std::size_t> missed;
    const bool interrupted = AnswerLoop(*page, window, io, [&](bool correct) {
        if (!correct) missed.push_back(position);
        page->OnCommand(ids.next);
        window.ShowChanges();
        // No word left: the page has said so, and only its score remains.
        if (!page->m_bWordReady) return false;
        ++position;
        return true;
    });

    int status = interrupted ? kExitInterrupted : kExitOk;
    if (!options.missed.empty() && !WriteMissed(quizzed, std::move(missed), missedOut, io)) {
        status = kExitFailed;
    }
    io.out.flush();
    return status;
}

// How many words a word answered wrong waits before it is asked again: long enough that the
// answer just shown is not simply remembered, short enough to come back while it is fresh.
constexpr std::size_t kAskAgainAfter = 3;

// tavrin-voc quiz --review: the words due today, then new words, each word answered wrong
// asked again a few words later until it is answered right.
int RunReview(const QuizOptions& options, progress::StoreChoice store, CliStreams& io) {
    COutput missedOut(io);
    if (const int refused = OpenMissed(options, missedOut, io)) return refused;

    std::vector<StudyWord> words;
    if (!LoadStudyWords(options.files, words, io, false, options.Findings())) return kExitFailed;

    const progress::Seconds now = progress::Now();
    const int today = progress::StudyDay(now);
    progress::CProgressStore known;
    ReviewPlan plan;
    progress::StoreProblem problem;
    if (!store.off &&
        (!known.OpenToRead(store.Path(), problem) ||
         !PlanReview(words, known, options.page, now, options.newWords, plan, problem))) {
        // Said once: the answers of this quiz are not tried either, and every word is new.
        io.err << "tavrin-voc: " << progress::DescribeProblem(problem, true) << '\n';
        store.off = true;
    }
    if (store.off) {
        progress::CProgressStore none;
        PlanReview(words, none, options.page, now, options.newWords, plan, problem);
    }
    std::deque<std::size_t> pending(plan.due.begin(), plan.due.end());
    pending.insert(pending.end(), plan.fresh.begin(), plan.fresh.end());
    const std::set<std::size_t> fresh(plan.fresh.begin(), plan.fresh.end());
    if (pending.empty()) {
        io.out << tr::Format(_("Nothing to review: no word is due today, and no new word is left "
                               "for today. Due tomorrow: %s."),
                             {std::to_string(CountDueBy(words, known, options.page, today + 1))})
               << '\n';
        return kExitOk;
    }

    std::unique_ptr<CTestPage> page = MakePage(options.page);
    progress::CAnswerRecorder recorder(store, "tavrin-voc", io.err);
    page->SetAnswerLog(&recorder);

    // The page reads the words from a file of their own, each written just before it is asked,
    // so that a word answered wrong can come back among the next ones.
    CReorderedCopy asked;
    std::vector<std::size_t> shown;  // each word's position in `asked`, in order
    auto show = [&](std::size_t word) {
        asked.Append(words[word].entry);
        shown.push_back(word);
        recorder.SetSourceFile(Absolute(options.files[words[word].file]));
    };
    try {
        show(pending.front());
    } catch (const CFileException& e) {
        ReportFileProblem(io, options.files.front(),
                          tr::Format(_("cannot read it: %s"), {DescribeCause(e.m_cause)}));
        return kExitFailed;
    }
    pending.pop_front();

    CTermWindow window(page->TemplateId(), io.out, asked.Path());
    page->SetWindow(&window);
    io.out << tr::Format(_("%s: type each answer and press Enter; a line %s or Ctrl+D quits "
                           "with the score."),
                         {tr::Shown(FindDialogTemplate(page->TemplateId())->caption), kQuitLine})
           << '\n';
    const TestPageControls& ids = page->Controls();
    page->OnCommand(ids.begin);
    window.ShowChanges();

    std::set<std::size_t> reviewed;
    std::set<std::size_t> started;
    std::set<std::size_t> missedWords;
    std::vector<std::size_t> missed;  // positions in `asked`
    const bool interrupted = AnswerLoop(*page, window, io, [&](bool correct) {
        const std::size_t word = shown.back();
        (fresh.count(word) ? started : reviewed).insert(word);
        if (!correct) {
            if (missedWords.insert(word).second) missed.push_back(shown.size() - 1);
            pending.insert(pending.begin() + static_cast<std::ptrdiff_t>(
                                                 std::min(kAskAgainAfter, pending.size())),
                           word);
        }
        if (pending.empty()) return false;
        try {
            show(pending.front());
        } catch (const CFileException&) {
            return false;  // the page's own read then says what it says
        }
        pending.pop_front();
        page->OnCommand(ids.next);
        window.ShowChanges();
        return page->m_bWordReady != 0;
    });

    progress::CProgressStore after;
    std::size_t dueTomorrow = 0;
    if (!store.off && after.OpenToRead(store.Path(), problem)) {
        dueTomorrow = CountDueBy(words, after, options.page, today + 1);
    }
    io.out << tr::Format(_("Reviewed: %s; new: %s; due tomorrow: %s."),
                         {std::to_string(reviewed.size()), std::to_string(started.size()),
                          std::to_string(dueTomorrow)})
           << '\n';

    int status = interrupted ? kExitInterrupted : kExitOk;
    if (!options.missed.empty() && !WriteMissed(asked.Path(), std::move(missed), missedOut, io)) {
        status = kExitFailed;
    }
    io.out.flush();
    return status;
}

}  // namespace

void AddQuizCommand(CLI::App& app, CliRun& run, const StoreChoicePtr& store) {
    auto options = std::make_shared<QuizOptions>();
    CLI::App* command = AddCommand(
        app, "quiz", _("Quizzes a vocabulary file in the terminal"),
        _("Quizzes FILE in the terminal with the test pages of the windows: each word is shown, "
          "each line typed is an answer, marked with the expected answer shown, and the next word "
          "follows. A line :q, the end of the input (Ctrl+D) or Ctrl+C ends the quiz with the "
          "score. Answers may come from a pipe."));
    command
        ->add_option("FILE", options->files,
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
    command->add_flag("--review", options->review,
                      _("Ask the words due today, the least likely to be remembered first, then "
                        "new words; a word answered wrong comes back until it is answered right. "
                        "Several files may be given"));
    command
        ->add_option("--new", options->newWords,
                     _("With --review: at most this many words never answered on the page each "
                       "day (20 unless given)"))
        ->check(CLI::NonNegativeNumber);
    command
        ->add_option("--order", options->order,
                     _("file: as in FILE (the default); interleaved: as Change Order would put "
                       "them; shuffle: at random. FILE is never changed"))
        ->check(CLI::IsMember({"file", "interleaved", "shuffle"}));
    command->add_option("--seed", options->seed,
                        _("With --order shuffle: repeat the shuffle that this number gave (a "
                          "shuffle without it prints the one it drew)"));
    command->add_flag("--verbose", options->verbose,
                      _("With a word list: show every finding of its import, not only the "
                        "summary line and how many errors and warnings it found"));
    command->footer(
        _("Exit status: 0 when the quiz ran to its end, whatever the score; 1 when FILE could not "
          "be quizzed (it could not be opened, or holds no words) or the missed words could not "
          "be written; 2 wrong usage; 130 when Ctrl+C cut the quiz short (the score and the "
          "missed words are still given)."));
    command->callback([options, store, &run] {
        run = [options, store](CliStreams& io) {
            if (options->review && options->order != "file") {
                io.err << "tavrin-voc: "
                       << _("--review asks the words in the order they fall due; "
                            "leave out --order")
                       << '\n';
                return kExitUsage;
            }
            if (options->review) return RunReview(*options, *store, io);
            if (options->files.size() != 1) {
                io.err << "tavrin-voc: "
                       << _("quiz takes one FILE; several are quizzed together with --review")
                       << '\n';
                return kExitUsage;
            }
            options->file = options->files.front();
            return RunQuiz(*options, *store, io);
        };
    });
}
