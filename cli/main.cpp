// scaletool-cli: the tool's command line alone, without Qt (see cli/CommandLine.h).

#include "cli/CommandLine.h"
#include "cli/WideArguments.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

namespace {

// The arguments as the system holds them (UTF-16), not as the ANSI code page renders them.
std::optional<std::vector<std::string>> SystemArguments()
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return std::nullopt;
    std::vector<std::u16string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.emplace_back(reinterpret_cast<const char16_t*>(wide[i]));
    ::LocalFree(wide);
    return Utf8Arguments(arguments);
}

// The console shows what the program writes (UTF-8) while it runs, and gets its code page back after.
class Utf8Console {
public:
    Utf8Console() : previous_(::GetConsoleOutputCP())
    {
        if (previous_ != 0)
            ::SetConsoleOutputCP(CP_UTF8);
    }
    ~Utf8Console()
    {
        std::cout.flush();
        std::cerr.flush();
        if (previous_ != 0)
            ::SetConsoleOutputCP(previous_);
    }

private:
    UINT previous_;
};

} // namespace

int main()
{
    const Utf8Console console;
    const std::optional<std::vector<std::string>> arguments = SystemArguments();
    if (!arguments) {
        std::cerr << "scaletool-cli: an argument is not valid Unicode\n";
        return kExitUsage;
    }
    return RunCommandLine(*arguments, std::cout, std::cerr);
}
#else
int main(int argc, char* argv[])
{
    return RunCommandLine(std::vector<std::string>(argv, argv + argc), std::cout, std::cerr);
}
#endif
