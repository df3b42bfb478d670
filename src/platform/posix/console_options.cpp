#include "platform/posix/console_options.h"

namespace brg {

ConsoleOptions gf_parseConsoleOptions(const std::vector<std::string>& arguments)
{
    ConsoleOptions options;
    auto wrong = [&options](std::string problem) {
        options.action = ConsoleOptions::Action::Wrong;
        options.problem = std::move(problem);
        return options;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.action = ConsoleOptions::Action::Help;
            return options;
        }
        if (argument == "--version") {
            options.action = ConsoleOptions::Action::Version;
            return options;
        }
        if (argument == "--monitor") {
            options.monitor = true;
        } else if (argument == "--check-config") {
            options.action = ConsoleOptions::Action::CheckConfig;
        } else if (argument == "-C") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty())
                return wrong("option -C needs a folder");
            options.folder = arguments[++i];
        } else if (argument.starts_with("-C")) {
            options.folder = argument.substr(2);
        } else {
            return wrong("unknown argument '" + argument + "'");
        }
    }
    return options;
}

std::string gf_consoleUsage()
{
    return R"(Usage: talvesync [-C DIR] [--monitor]
       talvesync --check-config [-C DIR]
       talvesync --help | --version

Bridges the PSX main server and the SIOC server of a home cockpit: every switch movement
becomes the right PSX variable, every PSX state the right lamp bit or display digit. It runs
until Ctrl-C, SIGTERM or SIGHUP, or until PSX or SIOC ends the session.

Options:
  -C DIR          run in the folder DIR instead of the current one
  --monitor       show every bound variable's last SIOC and PSX values below the status block,
                  most recently changed first (not on a terminal: one line per change)
  --check-config  read Talvesync.cfg, print each line not understood and the value of every key,
                  and exit (0: every line understood) without connecting to anything
  --help          show this text and exit
  --version       show the version and exit

Files, in the folder it runs in:
  Talvesync.cfg  settings, read at start (missing: every key takes its default)
  sioc.ini       the SIOC server's address, port and script, read from the SIOC installation
                 when Talvesync.cfg does not give IOCP_HOSTADDRESS, IOCP_port and CONFIG_FILE
  *.ssi          the compiled SIOC script named there, read to learn which variables are used
  Log.txt        the log of this run, written; the two before it are kept as Log0.txt and Log00.txt
  Talvesync/     a folder created at start

Exit status:
  0  the run ended: Ctrl-C, SIGTERM, SIGHUP, or PSX or SIOC closed; with --check-config: every
     line of Talvesync.cfg was understood
  1  the start-up failed or a failure stopped the run (the error is printed and logged), or the
     folder, Log.txt or the Talvesync/ folder could not be used; with --check-config: a line was
     not understood, or there is no Talvesync.cfg
  2  the command line is wrong
)";
}

} // namespace brg
