// tavrin-voc due FILE... -o today.voc: today's study, as a vocabulary file that any page or a
// quiz can open: the words of FILE due again, those most likely forgotten first, then a few
// never answered.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Fsrs.h"
#include "Output.h"
#include "Recorder.h"
#include "Store.h"
#include "StudyWords.h"
#include "TavrinVoc.h"
#include "Tr.h"

namespace {

constexpr int kDefaultNewWords = 20;

struct DueOptions {
    std::vector<std::string> files;
    std::string output;
    bool force = false;
    int fresh = kDefaultNewWords;
    std::string page = "latin";
};

void ReportStoreProblem(CliStreams& io, const progress::StoreProblem& problem) {
    io.err << "tavrin-voc: " << progress::DescribeProblem(problem, false) << '\n';
}

int RunDue(const DueOptions& options, const progress::StoreChoice& choice, CliStreams& io) {
    if (choice.off) {
        io.err << "tavrin-voc: "
               << _("no progress store is in use (--no-progress or TAVRIN_NO_PROGRESS), so there "
                    "is nothing to read")
               << '\n';
        return kExitFailed;
    }
    progress::CProgressStore store;
    progress::StoreProblem problem;
    if (!store.OpenToRead(choice.Path(), problem)) {
        ReportStoreProblem(io, problem);
        return kExitFailed;
    }
    // Refused before any work, as every command that writes a file does.
    COutput output(io);
    if (!output.Open(options.output, options.force)) return kExitFailed;
    std::vector<StudyWord> words;
    if (!LoadStudyWords(options.files, words, io, false)) return kExitFailed;

    ReviewPlan plan;
    if (!PlanReview(words, store, options.page, progress::Now(), options.fresh, plan, problem)) {
        ReportStoreProblem(io, problem);
        return kExitFailed;
    }
    const std::vector<std::size_t>& due = plan.due;
    const std::vector<std::size_t>& fresh = plan.fresh;

    // The entries take standard output where they go there; the count then goes with the errors.
    const bool toStandardOutput = options.output == "-";
    std::ostream& say = toStandardOutput ? io.err : io.out;
    const std::string shownPath = toStandardOutput ? _("standard output") : output.Path();
    if (due.empty() && fresh.empty()) {
        say << tr::Format(_("No words are due and no new ones are left for today; %s was not "
                            "written."),
                          {shownPath})
            << '\n';
        return kExitOk;
    }
    try {
        for (const std::size_t word : due) output.Write(words[word].entry);
        for (const std::size_t word : fresh) output.Write(words[word].entry);
    } catch (const CFileException& e) {
        ReportFileProblem(io, options.output,
                          tr::Format(_("the words could not be written: %s; nothing was changed"),
                                     {DescribeCause(e.m_cause)}));
        return kExitFailed;
    }
    if (!output.Commit()) return kExitFailed;
    const std::size_t total = due.size() + fresh.size();
    say << P_("%s word written to %s: %s due, %s new.", "%s words written to %s: %s due, %s new.",
              total,
              {std::to_string(total), shownPath, std::to_string(due.size()),
               std::to_string(fresh.size())})
        << '\n';
    return kExitOk;
}

}  // namespace

void AddDueCommand(CLI::App& app, CliRun& run, const StoreChoicePtr& store) {
    auto options = std::make_shared<DueOptions>();
    CLI::App* command = AddCommand(
        app, "due", _("Writes today's words as a vocabulary file"),
        _("Writes today's study as a vocabulary file: the words of FILE due again on the page, "
          "those most likely forgotten first, then new words (never answered there) in the "
          "order of FILE. Nothing is written when no word is due and no new one is left."));
    command
        ->add_option("FILE", options->files,
                     _("Vocabulary files, or word lists of another kind (CSV, Anki, a line "
                       "list: any that import reads)"))
        ->required();
    command
        ->add_option("-o,--output", options->output,
                     _("Vocabulary file to write ('-' for standard output)"))
        ->required()
        ->option_text(std::string("OUT.voc ") + _("REQUIRED"));
    command->add_flag("--force", options->force, _("Replace OUT if it exists"));
    command
        ->add_option("--new", options->fresh,
                     _("At most this many new words a day, counting those already begun today "
                       "(20 without it)"))
        ->check(CLI::NonNegativeNumber)
        ->type_name("N");
    command
        ->add_option("--page", options->page,
                     _("The page whose answers count: latin (Latin to English, the default), "
                       "english (English to Latin) or parts (Word Parts)"))
        ->check(CLI::IsMember({"latin", "english", "parts"}));
    command->footer(
        _("Examples:\n  tavrin-voc due aeneid.voc -o today.voc\n"
          "  tavrin-voc due --page english --new 5 aeneid.voc -o today.voc"));
    command->callback([options, store, &run] {
        run = [options, store](CliStreams& io) { return RunDue(*options, *store, io); };
    });
}
