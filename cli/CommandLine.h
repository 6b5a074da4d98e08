#pragma once

#include "cli/CommandLineOptions.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// The tool without a window: list ports, upload a commodity file, read weights, read the parameter
// dump. Standard output carries only results (port names, JSON lines, the dump); progress and
// errors go to standard error, each failure as one line.

// Exit statuses.
enum CommandLineExit : int {
    kExitOk = 0,          // done, and the scale got everything
    kExitUsage = 2,       // the arguments are wrong
    kExitPort = 3,        // the port cannot be opened
    kExitNoAnswer = 4,    // the scale does not answer, or did not take everything
    kExitFile = 5,        // the file cannot be read, or has rows that cannot be imported
};

// `args` as main() gets them, the program's name first.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

