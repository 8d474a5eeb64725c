// tavrin-voc import IN -o OUT.voc: words from a spreadsheet, Anki or another trainer.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "Findings.h"
#include "ImportRules.h"
#include "Input.h"
#include "Output.h"
#include "TavrinVoc.h"
#include "Tr.h"

namespace {

struct ImportArgs {
    std::string input;
    std::string output;
    bool force = false;
    std::string format;  // csv, tsv, anki, lines, or empty: tell from the file
    std::string separator;
    std::string columns;
};

ImportFormat FormatNamed(const std::string& name) {
    static const std::map<std::string, ImportFormat> formats{{"csv", ImportFormat::kCsv},
                                                             {"tsv", ImportFormat::kTsv},
                                                             {"anki", ImportFormat::kAnki},
                                                             {"lines", ImportFormat::kLines}};
    const auto it = formats.find(name);
    return it == formats.end() ? ImportFormat::kAuto : it->second;
}

int RunImport(const ImportArgs& args, CliStreams& io) {
    CInput input;
    if (!input.Open(args.input, io)) return kExitFailed;
    COutput output(io);
    if (!output.Open(args.output, args.force)) return kExitFailed;
    ImportOptions options;
    options.format = FormatNamed(args.format);
    options.separator = args.separator;
    options.columns = args.columns;
    ConvertTotals totals;
    try {
        totals = ImportDelimited(
            input.Buf(), input.Name(), options,
            [&](std::string_view bytes) { output.Write(bytes); }, io.err);
    } catch (const CFileException& e) {
        ReportFileProblem(io, args.input + " -> " + args.output,
                          tr::Format(_("the import failed: %s; nothing was written"),
                                     {DescribeCause(e.m_cause)}));
        return kExitFailed;
    }
    if (totals.words == 0) {
        // An existing output stays as it was: a list that gave nothing must not empty it.
        ReportFileProblem(io, input.Name(), _("no row could be used, so nothing was written"));
        return kExitFailed;
    }
    if (!output.Commit()) return kExitFailed;
    return totals.errors > 0 ? kExitFailed : kExitOk;
}

}  // namespace

void AddImportCommand(CLI::App& app, CliRun& run) {
    auto args = std::make_shared<ImportArgs>();
    CLI::App* command = AddCommand(
        app, "import", _("Makes a vocabulary file from a word list"),
        _("Makes a vocabulary file from a word list ('-' for standard input): CSV or other "
          "delimited text (',' ';' tab '|'), Anki's Notes in Plain Text, or a plain list of lines "
          "such as 'amo, amare - to love'. A first row naming the columns (Latin, English, Part of "
          "Speech..., in English, German, French, Italian, Spanish or Dutch) says what each holds; "
          "without one, the columns are told from their content, or given with --columns. The "
          "Latin becomes the headword line (its first word the text form, its forms the "
          "dictionary form); each meaning cell is split into the meanings a student would type. "
          "Rows that cannot be used are reported as 'IN:LINE: error: TEXT' and left out; then "
          "check's rules are run on every word written, and one summary line follows. Exit status "
          "1 when a row was left out or a word can never be answered right; when no row can be "
          "used, nothing is written."));
    command->add_option("IN", args->input, _("Word list to import"))->required();
    command
        ->add_option("-o,--output", args->output,
                     _("Vocabulary file to write ('-' for standard output)"))
        ->option_text(std::string("OUT ") + _("REQUIRED"))
        ->required();
    command->add_flag("--force", args->force, _("Replace OUT if it exists"));
    command
        ->add_option("--format", args->format,
                     _("csv, tsv, anki or lines (a line list). Without it: anki when the file "
                       "starts with Anki's '#separator:', '#html:' or '#columns:' lines; "
                       "otherwise the separator that the first lines share"))
        ->transform(
            CLI::IsMember({"csv", "tsv", "anki", "lines"}, CLI::ignore_case).description(""))
        ->option_text("csv|tsv|anki|lines");
    command
        ->add_option("--separator", args->separator,
                     _("The field separator: tab, comma, semicolon, pipe or one character; a "
                       "longer text (' - ', ' = ', ': ') parts the lines of a line list"))
        ->option_text(_("SEP"));
    command
        ->add_option("--columns", args->columns,
                     _("The role of each column in order, separated by commas: form (the text "
                       "form), latin (part of the dictionary form; several are joined), meaning, "
                       "or skip. Overrides the header row"))
        ->option_text(_("ROLE,..."))
        ->check(
            [](const std::string& value) -> std::string {
                const auto roles = ParseColumnRoles(value);
                if (!roles) return _("each role must be form, latin, meaning or skip");
                const bool latin = std::count(roles->begin(), roles->end(), ColumnRole::kLatin) +
                                       std::count(roles->begin(), roles->end(), ColumnRole::kForm) >
                                   0;
                if (!latin || std::count(roles->begin(), roles->end(), ColumnRole::kMeaning) == 0) {
                    return _("a latin (or form) column and a meaning column are needed");
                }
                return {};
            },
            "");
    command->footer(
        _("Examples:\n  tavrin-voc import words.csv -o words.voc\n"
          "  tavrin-voc import --columns latin,latin,skip,meaning list.csv -o list.voc\n"
          "  tavrin-voc import --separator ' - ' handout.txt -o handout.voc"));
    command->callback(
        [args, &run] { run = [args](CliStreams& io) { return RunImport(*args, io); }; });
}
