// tavrin-voc check: not written yet.
#include <CLI/CLI.hpp>

#include "TavrinVoc.h"

void AddCheckCommand(CLI::App& app, CliRun& run) {
    CLI::App* command = app.add_subcommand("check", "Not available yet.");
    command->callback([&run] {
        run = [](CliStreams& io) {
            io.err << "tavrin-voc: this command is not available yet\n";
            return kExitFailed;
        };
    });
}
