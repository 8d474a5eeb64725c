// tavrin-voc reorder FILE: Options > Change Order from the command line.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Output.h"
#include "Reorder.h"
#include "TavrinVoc.h"
#include "Tr.h"

namespace {

// What went wrong with one file, and what the user can do about it.
std::string Explain(const ReorderResult& result) {
    switch (result.outcome) {
        case ReorderOutcome::kRewritten:
            return "";
        case ReorderOutcome::kCannotOpenForReading:
            return tr::Format(_("cannot open it for reading: %s"), {DescribeCause(result.cause)});
        case ReorderOutcome::kReadFailed:
            return tr::Format(_("cannot read it: %s; the file was left unchanged"),
                              {DescribeCause(result.cause)});
        case ReorderOutcome::kCannotOpenForWriting:
            return tr::Format(_("cannot write it: %s; the file was left unchanged"),
                              {DescribeCause(result.cause)});
        case ReorderOutcome::kWriteFailed:
            return tr::Format(_("cannot write the new order: %s; the file was left unchanged"),
                              {DescribeCause(result.cause)});
        case ReorderOutcome::kWriteFailedInPlace:
            return tr::Format(_("writing the new order failed part way: %s; the file may be "
                                "incomplete, restore it from a copy"),
                              {DescribeCause(result.cause)});
    }
    return "";
}

struct ReorderOptions {
    std::vector<std::string> files;
};

int RunReorder(const ReorderOptions& options, CliStreams& io) {
    int status = kExitOk;
    for (const auto& file : options.files) {
        const ReorderResult result = ReorderVocFile(file);
        if (result.outcome != ReorderOutcome::kRewritten) {
            ReportFileProblem(io, file, Explain(result));
            status = kExitFailed;
        }
    }
    return status;
}

}  // namespace

void AddReorderCommand(CLI::App& app, CliRun& run) {
    auto options = std::make_shared<ReorderOptions>();
    CLI::App* command = AddCommand(
        app, "reorder", _("Interleaves the words of vocabulary files"),
        _("Rewrites each FILE with its words interleaved (as Options > Change Order does): first "
          "every other word from the last back to the first, then the rest in order. The new "
          "order is written beside the file and put in its place only when whole."));
    command->add_option("FILE", options->files, _("Vocabulary files to reorder"))->required();
    command->callback(
        [options, &run] { run = [options](CliStreams& io) { return RunReorder(*options, io); }; });
}
