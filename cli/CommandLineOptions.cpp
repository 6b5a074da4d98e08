#include "cli/CommandLineOptions.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <map>
#include <sstream>
#include <string_view>
#include <utility>

namespace {

// Options that take a value, and those that do not.
const std::map<std::string, CommandLineAction, std::less<>> kActions = {
    {"--list-ports", CommandLineAction::ListPorts}, {"--upload", CommandLineAction::Upload}, {"--read", CommandLineAction::Read},
    {"--dump", CommandLineAction::Dump}, {"--find", CommandLineAction::Find},
};
// The series by their command-line names: what --series takes and --find prints.
const std::pair<const char*, ScaleSeries> kSeriesNames[] = {
    {"zud", ScaleSeries::Zud}, {"zev", ScaleSeries::Zev}, {"rivav", ScaleSeries::Rivav}};
const char* const kValueOptions[] = {"--port", "--scales", "--baud", "--series", "--upload", "--company", "--count", "--encoding"};
const char* const kFlagOptions[] = {"--list-ports", "--read", "--dump", "--find", "--skip-bad-rows", "--dry-run", "--help",
                                    "-h", "--version"};

bool TakesValue(std::string_view name)
{
    return std::find(std::begin(kValueOptions), std::end(kValueOptions), name) != std::end(kValueOptions);
}

bool IsFlag(std::string_view name)
{
    return std::find(std::begin(kFlagOptions), std::end(kFlagOptions), name) != std::end(kFlagOptions);
}

} // namespace

std::optional<std::string> ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options)
{
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.erase(equals);
        }
        if (IsFlag(name) && !value) {
            if (name == "--help" || name == "-h") {
                options.help = true;
            } else if (name == "--version") {
                options.version = true;
            } else if (name == "--skip-bad-rows") {
                options.skipBadRows = true;
            } else if (name == "--dry-run") {
                options.dryRun = true;
            } else {
                if (options.action != CommandLineAction::None)
                    return "give one action only";
                options.action = kActions.at(name);
            }
            continue;
        }
        if (!TakesValue(name))
            return "unknown argument \"" + args[i] + "\"";
        if (!value) {
            if (i + 1 >= args.size())
                return name + " needs a value";
            value = args[++i];
        }
        if (name == "--port") {
            if (options.ports.empty())
                options.port = *value;
            options.ports.push_back(*value);
        } else if (name == "--scales") {
            if (!options.scales.empty())
                return "give --scales once";
            options.scales = *value;
        } else if (name == "--baud") {
            if (std::find(std::begin(kCommandLineBaudRates), std::end(kCommandLineBaudRates), *value)
                == std::end(kCommandLineBaudRates))
                return "--baud takes 2400, 4800, 9600, 19200, 38400, 57600 or 115200";
            options.baud = *value;
            options.baudGiven = true;
        } else if (name == "--series") {
            std::string lower = *value;
            std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
            const auto series = CommandLineSeriesNamed(lower);
            if (!series)
                return "--series takes zud, zev or rivav";
            options.series = *series;
        } else if (name == "--upload") {
            if (options.action != CommandLineAction::None)
                return "give one action only";
            options.action = CommandLineAction::Upload;
            options.file = *value;
        } else if (name == "--company") {
            options.company = *value;
        } else if (name == "--encoding") {
            if (*value != "utf8" && *value != "gbk")
                return "--encoding takes utf8 or gbk";
            options.encoding = *value == "gbk" ? CommodityCsv::Encoding::Gbk : CommodityCsv::Encoding::Utf8;
        } else if (name == "--count") {
            char* end = nullptr;
            errno = 0;
            const long count = std::strtol(value->c_str(), &end, 10);
            if (value->empty() || *end != '\0' || errno != 0 || count < 1)
                return "--count takes a whole number of 1 or more";
            options.count = count;
        }
    }
    if (options.help || options.version)
        return std::nullopt;
    if (options.action == CommandLineAction::None)
        return "no action given";
    // --find tries every listed port, or the one --port names, at every rate (or --baud's), for any
    // series (or --series').
    const bool talksToScale = options.action != CommandLineAction::ListPorts && options.action != CommandLineAction::Find;
    // The list names each scale's port, rate and series; a port given as well would be a second
    // list, and a rate or series given for all would contradict it.
    if (!options.scales.empty()) {
        if (options.action != CommandLineAction::Upload && options.action != CommandLineAction::Find)
            return "--scales goes with --upload and --find only";
        if (!options.ports.empty())
            return "give --port or --scales, not both";
        if (options.action == CommandLineAction::Upload) {
            const std::pair<bool, const char*> fromList[] = {{options.series != ScaleSeries::None, "--series"},
                {options.baudGiven, "--baud"}, {options.dryRun, "--dry-run"}};
            for (const auto& [given, name] : fromList) {
                if (given)
                    return std::string(name) + " does not go with --upload --scales: the list gives each scale's own";
            }
        }
    }
    const bool portsListed = !options.scales.empty();
    // A dry run opens no port; the series still decides the lines.
    if (talksToScale && options.port.empty() && !options.dryRun && !portsListed)
        return "--port is missing";
    if (talksToScale && options.series == ScaleSeries::None && !portsListed)
        return "--series is missing";
    if (options.ports.size() > 1 && options.action != CommandLineAction::Upload && options.action != CommandLineAction::Find)
        return "several --port go with --upload and --find only";
    if (options.count && options.action != CommandLineAction::Read)
        return "--count goes with --read";
    if (options.action != CommandLineAction::Upload) {
        const std::pair<bool, const char*> uploadOnly[] = {{bool(options.company), "--company"},
            {options.skipBadRows, "--skip-bad-rows"}, {options.dryRun, "--dry-run"}, {bool(options.encoding), "--encoding"}};
        for (const auto& [given, name] : uploadOnly) {
            if (given)
                return std::string(name) + " goes with --upload";
        }
    }
    if (options.action == CommandLineAction::Upload && options.series == ScaleSeries::Rivav)
        return "the rivav series keeps no commodities";
    // A list's company name goes to its zud scales, which only the list can tell.
    if (options.company && options.series != ScaleSeries::Zud && !portsListed)
        return "only the zud series takes a company name";
    return std::nullopt;
}

const char* CommandLineSeriesName(ScaleSeries series)
{
    for (const auto& [name, named] : kSeriesNames) {
        if (named == series)
            return name;
    }
    return "";
}

std::optional<ScaleSeries> CommandLineSeriesNamed(std::string_view name)
{
    for (const auto& [spelled, series] : kSeriesNames) {
        if (name == spelled)
            return series;
    }
    return std::nullopt;
}

std::string CommandLineUsage(std::string_view program)
{
    std::ostringstream text;
    text << "usage: " << program << " [--help | --version]\n"
         << "       " << program << " --list-ports\n"
         << "       " << program << " --port P --series zud|zev|rivav [--baud B] ACTION\n"
         << "       " << program << " --series zud|zev --upload FILE --dry-run\n"
         << "       " << program << " --port P [--port P2 ...] --series zud|zev [--baud B] --upload FILE\n"
         << "       " << program << " --scales LIST [--company NAME] --upload FILE\n"
         << "       " << program << " --find [--port P ... | --scales LIST] [--baud B] [--series S]\n"
         << "\n"
         << "Actions:\n"
         << "  --upload FILE [--company NAME] [--skip-bad-rows] [--encoding utf8|gbk] [--dry-run]\n"
         << "                    send the commodity table in FILE (a .csv file, or a GBK commodity\n"
         << "                    file like ZUD.txt) and, for zud, the company name; every row that\n"
         << "                    cannot be sent whole is named, and refuses the file\n"
         << "  --read [--count N]\n"
         << "                    print N readings (default: until stopped), one JSON line each\n"
         << "  --dump            print the scale's parameter dump; this switches the scale's active\n"
         << "                    postback off first, as the dump cannot be read while it reports\n"
         << "  --find            try every port (or the one --port names) at every rate (or --baud's)\n"
         << "                    with harmless traffic only: listening, the zud and the framed poll\n"
         << "                    (--series zud or zev: that poll alone; rivav: listening alone);\n"
         << "                    print each scale found as one JSON line\n"
         << "\n"
         << "Options:\n"
         << "  --port P          serial port, e.g. /dev/ttyUSB0, or network port\n"
         << "                    rfc2217://HOST:PORT (device server) or socket://HOST:PORT (raw TCP);\n"
         << "                    given several times, --upload sends to all at once (one JSON line per\n"
         << "                    port: port, name, result, reason, lines, seconds; exit 4 when any\n"
         << "                    failed) and --find tries them all\n"
         << "  --scales LIST     the shop's scale list (Scales.ini in the data folder): --upload sends\n"
         << "                    to every scale in it at once, each at its own port, rate and series\n"
         << "                    (--company goes to the zud scales), its JSON line naming the scale;\n"
         << "                    --find tries the list's ports; not with --port, nor --series or\n"
         << "                    --baud for --upload; a list that cannot be read whole sends nothing\n"
         << "  --series S        zud, zev or rivav\n"
         << "  --baud B          2400 4800 9600 19200 38400 57600 115200 (default 9600)\n"
         << "  --skip-bad-rows   upload the good rows of a file when some cannot be imported\n"
         << "  --encoding E      read a .csv file as utf8 or gbk instead of the likelier of the two\n"
         << "  --dry-run         print the lines --upload would send (GBK shown as text, control\n"
         << "                    bytes as \\xNN) and send nothing; no port is needed\n"
         << "  --company NAME    at most 100 GBK bytes, no line breaks or control characters\n"
         << "\n"
         << "ScaleTool, the program with the window, opens it when given no action (with --user-data\n"
         << "it keeps its files in ~/.local/share/scaletool, as the menu entry starts it).\n"
         << "Results go to standard output, progress and errors to standard error.\n"
         << "Exit status: 0 done; 2 usage error; 3 port cannot be opened; 4 scale does not\n"
         << "answer, did not take everything, or the port was lost; 5 file cannot be read.\n";
    return text.str();
}

bool IsCommandLineRequest(const std::vector<std::string>& args)
{
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string name = args[i].substr(0, args[i].find('='));
        if (IsFlag(name) || TakesValue(name))
            return true;
    }
    return false;
}
