#include "TavrinVoc.h"

#include <CLI/CLI.hpp>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>

#include "Resource.h"
#include "Tr.h"

namespace {

// tavrin-voc --help lists each command on one line, by its summary, as git and cargo do; the
// command's own --help gives its whole description.
class CCommandListFormatter : public CLI::Formatter {
public:
    void Summarise(const std::string& command, std::string summary) {
        m_summaries[command] = std::move(summary);
    }

    std::string make_subcommand(const CLI::App* sub) const override {
        const auto summary = m_summaries.find(sub->get_name());
        if (summary == m_summaries.end()) return CLI::Formatter::make_subcommand(sub);
        std::ostringstream out;
        CLI::detail::format_help(out, sub->get_display_name(true), summary->second,
                                 get_column_width());
        return out.str();
    }

private:
    std::map<std::string, std::string> m_summaries;
};

}  // namespace

CLI::App* AddCommand(CLI::App& app, const std::string& name, const std::string& summary,
                     const std::string& description) {
    if (auto list = std::dynamic_pointer_cast<CCommandListFormatter>(app.get_formatter())) {
        list->Summarise(name, summary);
    }
    return app.add_subcommand(name, description);
}

void ReportFileProblem(CliStreams& io, const std::string& file, const std::string& text) {
    io.err << "tavrin-voc: " << file << ": " << text << '\n';
}

int RunTavrinVoc(int argc, const char* const* argv, CliStreams io) {
    CLI::App app(_("Checks, converts, reorders and quizzes Tavrin Tutor vocabulary files."),
                 "tavrin-voc");
    // CLI11's own words, in the user's language; commands made below inherit them.
    auto formatter = std::make_shared<CCommandListFormatter>();
    app.formatter(formatter);
    for (const char* label : {N_("Usage"), N_("OPTIONS"), N_("SUBCOMMAND"), N_("SUBCOMMANDS"),
                              N_("Positionals"), N_("REQUIRED"), N_("TEXT"), N_("INT")}) {
        formatter->label(label, _(label));
    }
    app.option_defaults()->group(_("Options"));
    app.set_help_flag("-h,--help", _("Print this help message and exit"));
    app.set_version_flag("--version", "tavrin-voc (" + Version().productName + ") " TAVRIN_VERSION,
                         _("Display program version information and exit"));
    app.require_subcommand(1);
    app.footer(
        _("A vocabulary file holds six lines per word: the form in the text and the dictionary "
          "form on one line, then up to five English meanings. Exit status: 0 success, 1 problems "
          "found or an operation that failed, 2 wrong usage.\n"
          "Run 'tavrin-voc COMMAND --help' for the options of a command."));

    auto store = std::make_shared<progress::StoreChoice>(progress::StoreChoice::FromEnvironment());
    CLI::Option* storePath =
        app.add_option("--progress", store->path,
                       _("Keep and read the answers in this store instead of the user's own"))
            ->type_name("FILE");
    CLI::Option* noStore = app.add_flag("--no-progress", store->off,
                                        _("Record no answer (as TAVRIN_NO_PROGRESS=1 does)"));
    // The store's options may also follow the command's name.
    app.fallthrough();

    CliRun run;
    AddCheckCommand(app, run);
    AddImportCommand(app, run);
    AddExportCommand(app, run);
    AddReorderCommand(app, run);
    AddQuizCommand(app, run, store);
    AddProgressCommand(app, run, store);
    AddDueCommand(app, run, store);
    // A command's help flag is made before it takes the defaults above, so its group is named
    // here.
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        if (CLI::Option* help = command->get_help_ptr()) help->group(_("Options"));
        command->group(_("Subcommands"));
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        io.out << app.help();
        return kExitOk;
    } catch (const CLI::CallForAllHelp&) {
        io.out << app.help("", CLI::AppFormatMode::All);
        return kExitOk;
    } catch (const CLI::CallForVersion& e) {
        io.out << e.what() << '\n';
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        io.err << "tavrin-voc: " << e.what() << '\n'
               << _("Run 'tavrin-voc --help' for the commands.") << '\n';
        return kExitUsage;
    }
    // A store named on the command line is used, whatever the environment says.
    if (storePath->count() > 0 && noStore->count() == 0) store->off = false;
    // Help asked of one command: CLI11 answers it through the exception above, naming it.
    if (!run) return kExitUsage;
    try {
        return run(io);
    } catch (const std::exception& e) {
        io.err << "tavrin-voc: " << e.what() << '\n';
        return kExitFailed;
    }
}
