// tavrin-voc import IN -o OUT.voc: words from a spreadsheet, Anki or another trainer.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "Convert.h"
#include "Input.h"
#include "Output.h"
#include "TavrinVoc.h"

namespace {

struct ImportOptions {
    std::string input;
    std::string output;
    bool force = false;
    std::string format;  // csv, tsv, anki, or empty: tell from the file
};

ImportFormat FormatNamed(const std::string& name) {
    static const std::map<std::string, ImportFormat> formats{
        {"csv", ImportFormat::kCsv}, {"tsv", ImportFormat::kTsv}, {"anki", ImportFormat::kAnki}};
    const auto it = formats.find(name);
    return it == formats.end() ? ImportFormat::kAuto : it->second;
}

int RunImport(const ImportOptions& options, CliStreams& io) {
    CInput input;
    if (!input.Open(options.input, io)) return kExitFailed;
    COutput output(io);
    if (!output.Open(options.output, options.force)) return kExitFailed;
    std::string extension = std::filesystem::path(options.input).extension().string();
    if (!extension.empty()) extension.erase(0, 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ConvertTotals totals;
    try {
        totals = ImportDelimited(
            input.Buf(), input.Name(), FormatNamed(options.format), extension,
            [&](std::string_view bytes) { output.Write(bytes); }, io.err);
    } catch (const CFileException& e) {
        ReportFileProblem(
            io, options.input + " -> " + options.output,
            "the import failed: " + DescribeCause(e.m_cause) + "; nothing was written");
        return kExitFailed;
    }
    if (!output.Commit()) return kExitFailed;
    if (totals.errors > 0) {
        ReportFileProblem(
            io, input.Name(),
            std::to_string(totals.errors) + (totals.errors == 1 ? " row was" : " rows were") +
                " left out (see above); " + std::to_string(totals.words) + " words were written");
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

void AddImportCommand(CLI::App& app, CliRun& run) {
    auto options = std::make_shared<ImportOptions>();
    CLI::App* command = app.add_subcommand(
        "import",
        "Makes a vocabulary file from CSV, tab-separated text or Anki's Notes in Plain Text "
        "('-' for standard input). Columns: text form, dictionary form, meanings 1 to 5; a row "
        "of two columns is a card, front and back: the front is the dictionary form and its "
        "first word the text form, the back holds up to five meanings separated by ';'. A header "
        "row naming the columns (as export writes it, or Front/Back) is recognised. Rows that "
        "cannot be used are reported as 'IN:LINE: error: TEXT' and left out; the rest are "
        "written, and the exit status is then 1. Files that are not UTF-8 are read as "
        "Windows-1252.");
    command->add_option("IN", options->input, "File to import")->required();
    command
        ->add_option("-o,--output", options->output,
                     "Vocabulary file to write ('-' for standard output)")
        ->option_text("OUT REQUIRED")
        ->required();
    command->add_flag("--force", options->force, "Replace OUT if it exists");
    command
        ->add_option("--format", options->format,
                     "csv, tsv or anki. Without it: anki when the file starts with Anki's "
                     "'#separator:', '#html:' or '#columns:' lines, csv for a name ending in "
                     ".csv, tsv for .tsv or .tab; otherwise tsv when the first line holds a tab, "
                     "else csv")
        ->transform(CLI::IsMember({"csv", "tsv", "anki"}, CLI::ignore_case).description(""))
        ->option_text("csv|tsv|anki");
    command->footer(
        "Examples:\n  tavrin-voc import words.csv -o words.voc\n"
        "  tavrin-voc import --format anki deck.txt -o deck.voc\n"
        "  tavrin-voc check words.voc    (then look for words that cannot be answered)");
    command->callback(
        [options, &run] { run = [options](CliStreams& io) { return RunImport(*options, io); }; });
}
