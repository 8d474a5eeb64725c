// tavrin-voc reorder FILE: Options > Change Order from the command line.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Output.h"
#include "Reorder.h"
#include "TavrinVoc.h"

namespace {

// What went wrong with one file, and what the user can do about it.
std::string Explain(const ReorderResult& result) {
    switch (result.outcome) {
        case ReorderOutcome::kRewritten:
            return "";
        case ReorderOutcome::kCannotOpenForReading:
            return "cannot open it for reading: " + DescribeCause(result.cause);
        case ReorderOutcome::kReadFailed:
            return "cannot read it: " + DescribeCause(result.cause) +
                   "; the file was left unchanged";
        case ReorderOutcome::kCannotOpenForWriting:
            return "cannot write it: " + DescribeCause(result.cause) +
                   "; the file was left unchanged";
        case ReorderOutcome::kWriteFailed:
            return "cannot write the new order: " + DescribeCause(result.cause) +
                   "; the file was left unchanged";
        case ReorderOutcome::kWriteFailedInPlace:
            return "writing the new order failed part way: " + DescribeCause(result.cause) +
                   "; the file may be incomplete, restore it from a copy";
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
    CLI::App* command = app.add_subcommand(
        "reorder",
        "Rewrites each FILE with its words interleaved (as Options > Change Order does): first "
        "every other word from the last back to the first, then the rest in order. The new "
        "order is written beside the file and put in its place only when whole.");
    command->add_option("FILE", options->files, "Vocabulary files to reorder")->required();
    command->callback(
        [options, &run] { run = [options](CliStreams& io) { return RunReorder(*options, io); }; });
}
