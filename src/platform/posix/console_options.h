#pragma once
// The console program's command line.
#include <optional>
#include <string>
#include <vector>

namespace brg {

struct ConsoleOptions {
    enum class Action { Run, CheckConfig, Help, Version, Wrong };
    Action action = Action::Run;
    // The folder to run in (-C DIR); the current one when empty.
    std::string folder;
    // --monitor: the variables' live values below the status block.
    bool monitor = false;
    // What was wrong with the command line, for Action::Wrong.
    std::string problem;
};

ConsoleOptions gf_parseConsoleOptions(const std::vector<std::string>& arguments);

// The --help text: usage, the files read and written, the exit statuses.
std::string gf_consoleUsage();

} // namespace brg
