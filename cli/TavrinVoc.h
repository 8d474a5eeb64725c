// tavrin-voc, the command-line companion of Tavrin Tutor: every command over the same vocabulary
// code as the windows.
//
// Exit statuses mean one thing each: 0 success, 1 problems found or an operation that failed,
// 2 wrong usage. Messages for the user go to `err`, name the file and say what to do; `out`
// carries only what a command produces, so that scripts can take it.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "Recorder.h"

namespace CLI {
class App;
}

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// What a command reads and writes besides its files.
struct CliStreams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// A chosen command's work, run once the whole command line has parsed. Returns the exit status.
using CliRun = std::function<int(CliStreams& io)>;

// The store of answers the user chose (--progress FILE, --no-progress, TAVRIN_NO_PROGRESS), as
// it stands once the command line has parsed.
using StoreChoicePtr = std::shared_ptr<progress::StoreChoice>;

// Each command adds its subcommand, with its options and help, to `app`; when that subcommand
// is chosen, `run` is set to the command's work.
void AddCheckCommand(CLI::App& app, CliRun& run);
void AddImportCommand(CLI::App& app, CliRun& run);
void AddExportCommand(CLI::App& app, CliRun& run);
void AddReorderCommand(CLI::App& app, CliRun& run);
void AddQuizCommand(CLI::App& app, CliRun& run, const StoreChoicePtr& store);
void AddProgressCommand(CLI::App& app, CliRun& run, const StoreChoicePtr& store);
void AddDueCommand(CLI::App& app, CliRun& run, const StoreChoicePtr& store);

// Adds the command `name` to `app`: `summary`, a short line without a full stop, stands for it in
// tavrin-voc --help; `description` opens its own --help.
CLI::App* AddCommand(CLI::App& app, const std::string& name, const std::string& summary,
                     const std::string& description);

// Parses `argv` and runs the command it names.
int RunTavrinVoc(int argc, const char* const* argv, CliStreams io);

// "tavrin-voc: FILE: TEXT" on `err`: the form of every message about one file.
void ReportFileProblem(CliStreams& io, const std::string& file, const std::string& text);
