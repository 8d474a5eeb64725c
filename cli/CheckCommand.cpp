// tavrin-voc check FILE...: every word that cannot be answered right, and likely slips.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Findings.h"
#include "Input.h"
#include "TavrinVoc.h"
#include "Tr.h"

namespace {

struct CheckArgs {
    std::vector<std::string> files;
};

int RunCheck(const CheckArgs& options, CliStreams& io) {
    int status = kExitOk;
    for (const auto& file : options.files) {
        CInput input;
        if (!input.Open(file, io)) {
            status = kExitFailed;
            continue;
        }
        try {
            const CheckTotals totals = CheckVoc(input.Buf(), input.Name(), io.out);
            if (totals.errors > 0) status = kExitFailed;
            if (totals.formsUnheldFrom > 0) {
                io.out.flush();
                ReportFileProblem(
                    io, input.Name(),
                    tr::Format(
                        _("more than %s different text forms: from line %s on, a text form "
                          "seen for the first time is not checked for repeats (only the "
                          "first %s are)"),
                        {std::to_string(kCheckedForms), std::to_string(totals.formsUnheldFrom),
                         std::to_string(kCheckedForms)}));
            }
        } catch (const CFileException& e) {
            io.out.flush();
            ReportFileProblem(
                io, input.Name(),
                tr::Format(_("%s; its check is incomplete"), {DescribeReadFailure(e)}));
            status = kExitFailed;
        }
    }
    return status;
}

}  // namespace

void AddCheckCommand(CLI::App& app, CliRun& run) {
    auto options = std::make_shared<CheckArgs>();
    CLI::App* command = AddCommand(
        app, "check", _("Reports what is wrong in vocabulary files"),
        _("Reads each vocabulary FILE ('-' for standard input) and reports every problem on a line "
          "of its own, as 'FILE:LINE: error: TEXT' or 'FILE:LINE: warning: TEXT', then one summary "
          "line per file. An error is a word that can never be answered right or a file that is "
          "not whole; a warning is legal but likely a slip. Exit status 1 when any file has an "
          "error or cannot be read; warnings alone give 0."));
    command->add_option("FILE", options->files, _("Vocabulary files to check"))->required();
    command->footer(
        _("Example:\n  tavrin-voc check aeneid.voc\n  aeneid.voc: 46 words, 0 errors, 0 warnings"));
    command->callback(
        [options, &run] { run = [options](CliStreams& io) { return RunCheck(*options, io); }; });
}
