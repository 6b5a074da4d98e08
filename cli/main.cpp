// scaletool-cli: the tool's command line alone, without Qt (see cli/CommandLine.h).

#include "cli/CommandLine.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    return RunCommandLine(std::vector<std::string>(argv, argv + argc), std::cout, std::cerr);
}
