// tavrin-voc export IN.voc -o OUT: a vocabulary file as CSV or as Anki's plain text.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <string>

#include "Findings.h"
#include "Input.h"
#include "Output.h"
#include "TavrinVoc.h"
#include "Tr.h"

namespace {

struct ExportOptions {
    std::string input;
    std::string output;
    bool force = false;
    bool anki = false;
};

int RunExport(const ExportOptions& options, CliStreams& io) {
    CInput input;
    if (!input.Open(options.input, io)) return kExitFailed;
    COutput output(io);
    if (!output.Open(options.output, options.force)) return kExitFailed;
    try {
        ExportVoc(
            input.Buf(), input.Name(), options.anki,
            [&](std::string_view bytes) { output.Write(bytes); }, io.err);
    } catch (const CFileException& e) {
        // Either side may have failed; the output is left as it was in both cases.
        ReportFileProblem(io, options.input + " -> " + options.output,
                          tr::Format(_("the export failed: %s; nothing was written"),
                                     {DescribeCause(e.m_cause)}));
        return kExitFailed;
    }
    return output.Commit() ? kExitOk : kExitFailed;
}

}  // namespace

void AddExportCommand(CLI::App& app, CliRun& run) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = AddCommand(
        app, "export", _("Writes a vocabulary file as CSV or for Anki"),
        _("Writes the vocabulary file IN ('-' for standard input) as CSV with a header row (text "
          "form, dictionary form, meaning 1 to meaning 5), which 'tavrin-voc import' turns back "
          "into the same file, or with --anki as tab-separated text for Anki's File > Import: "
          "front (text form), back (the meanings joined with \"; \") and the dictionary form."));
    command->add_option("IN", options->input, _("Vocabulary file to export"))->required();
    command
        ->add_option("-o,--output", options->output, _("File to write ('-' for standard output)"))
        ->required()
        ->option_text(std::string("OUT ") + _("REQUIRED"));
    command->add_flag("--force", options->force, _("Replace OUT if it exists"));
    command->add_flag("--anki", options->anki,
                      _("Write Anki's Notes in Plain Text instead of CSV"));
    command->footer(
        _("Examples:\n  tavrin-voc export aeneid.voc -o aeneid.csv\n"
          "  tavrin-voc export --anki aeneid.voc -o aeneid.txt"));
    command->callback(
        [options, &run] { run = [options](CliStreams& io) { return RunExport(*options, io); }; });
}
