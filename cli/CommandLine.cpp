#include "cli/CommandLine.h"

#include "cli/ScaleExchange.h"
#include "commodity/CommodityCsv.h"
#include "commodity/CommodityFile.h"
#include "commodity/CommodityTable.h"
#include "commodity/CommodityUpload.h"
#include "commodity/GbkCodec.h"
#include "link/ParameterDump.h"
#include "link/ScaleCommandSet.h"
#include "link/ScaleFinder.h"
#include "link/SerialLink.h"
#include "settings/LeadingInteger.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <thread>
#include <utility>

#ifndef SCALETOOL_VERSION
#define SCALETOOL_VERSION "unknown"
#endif

namespace {

using Clock = std::chrono::steady_clock;

// A reading cycle's pause, as the dialog's default "Sleep" setting.
constexpr std::chrono::milliseconds kReadPause{100};
// Without a report for this long the scale counts as silent.
constexpr std::chrono::milliseconds kSilentAfter{2000};

constexpr const char* kBaudRates[] = {"2400", "4800", "9600", "19200", "38400", "57600", "115200"};

enum class Action { None, ListPorts, Upload, Read, Dump, Find };

struct Options {
    Action action = Action::None;
    bool help = false;
    bool version = false;
    std::string port;
    std::string baud = "9600";
    ScaleSeries series = ScaleSeries::None;
    std::string file;
    std::optional<std::string> company;
    std::optional<long> count;
    bool skipBadRows = false;
};

// Options that take a value, and those that do not.
const std::map<std::string, Action, std::less<>> kActions = {
    {"--list-ports", Action::ListPorts}, {"--upload", Action::Upload}, {"--read", Action::Read},
    {"--dump", Action::Dump}, {"--find", Action::Find},
};
// The series by their command-line names: what --series takes and --find prints.
const std::pair<const char*, ScaleSeries> kSeriesNames[] = {
    {"zud", ScaleSeries::Zud}, {"zev", ScaleSeries::Zev}, {"rivav", ScaleSeries::Rivav}};
const char* const kValueOptions[] = {"--port", "--baud", "--series", "--upload", "--company", "--count"};
const char* const kFlagOptions[] = {"--list-ports", "--read", "--dump", "--find", "--skip-bad-rows", "--help", "-h",
                                    "--version"};

bool TakesValue(std::string_view name)
{
    return std::find(std::begin(kValueOptions), std::end(kValueOptions), name) != std::end(kValueOptions);
}

bool IsFlag(std::string_view name)
{
    return std::find(std::begin(kFlagOptions), std::end(kFlagOptions), name) != std::end(kFlagOptions);
}

struct UsageError {
    std::string message;
};

// Parses the arguments; a UsageError names what is wrong.
std::optional<UsageError> Parse(const std::vector<std::string>& args, Options& options)
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
            } else {
                if (options.action != Action::None)
                    return UsageError{"give one action only"};
                options.action = kActions.at(name);
            }
            continue;
        }
        if (!TakesValue(name))
            return UsageError{"unknown argument \"" + args[i] + "\""};
        if (!value) {
            if (i + 1 >= args.size())
                return UsageError{name + " needs a value"};
            value = args[++i];
        }
        if (name == "--port") {
            options.port = *value;
        } else if (name == "--baud") {
            if (std::find(std::begin(kBaudRates), std::end(kBaudRates), *value) == std::end(kBaudRates))
                return UsageError{"--baud takes 2400, 4800, 9600, 19200, 38400, 57600 or 115200"};
            options.baud = *value;
        } else if (name == "--series") {
            std::string lower = *value;
            std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
            const auto found = std::find_if(std::begin(kSeriesNames), std::end(kSeriesNames),
                                            [&lower](const auto& named) { return lower == named.first; });
            if (found == std::end(kSeriesNames))
                return UsageError{"--series takes zud, zev or rivav"};
            options.series = found->second;
        } else if (name == "--upload") {
            if (options.action != Action::None)
                return UsageError{"give one action only"};
            options.action = Action::Upload;
            options.file = *value;
        } else if (name == "--company") {
            options.company = *value;
        } else if (name == "--count") {
            char* end = nullptr;
            errno = 0;
            const long count = std::strtol(value->c_str(), &end, 10);
            if (value->empty() || *end != '\0' || errno != 0 || count < 1)
                return UsageError{"--count takes a whole number of 1 or more"};
            options.count = count;
        }
    }
    if (options.help || options.version)
        return std::nullopt;
    if (options.action == Action::None)
        return UsageError{"no action given"};
    // --find tries every listed port, or the one --port names, at every rate, for any series.
    const bool talksToScale = options.action != Action::ListPorts && options.action != Action::Find;
    if (talksToScale && options.port.empty())
        return UsageError{"--port is missing"};
    if (talksToScale && options.series == ScaleSeries::None)
        return UsageError{"--series is missing"};
    if (options.count && options.action != Action::Read)
        return UsageError{"--count goes with --read"};
    if ((options.company || options.skipBadRows) && options.action != Action::Upload)
        return UsageError{std::string(options.company ? "--company" : "--skip-bad-rows") + " goes with --upload"};
    if (options.action == Action::Upload && options.series == ScaleSeries::Rivav)
        return UsageError{"the rivav series keeps no commodities"};
    if (options.company && options.series != ScaleSeries::Zud)
        return UsageError{"only the zud series takes a company name"};
    return std::nullopt;
}

std::string JsonString(std::string_view utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string UtcNow()
{
    // Calendar arithmetic rather than gmtime_r, which Windows does not have.
    using namespace std::chrono;
    const auto now = time_point_cast<milliseconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss<milliseconds> time{now - day};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", int(date.year()), unsigned(date.month()),
                  unsigned(date.day()), int(time.hours().count()), int(time.minutes().count()),
                  int(time.seconds().count()), int(time.subseconds().count()));
    return text;
}

// One reading as a JSON object: the time, the values under the names the series gives them, and
// the stable flag when the report carries one.
std::string ReadingJson(ScaleSeries series, const ScaleExchange::Reading& reading)
{
    // ZUD reports gross, tare and net; the framed series report the net weight alone.
    using WeightReport::Quantity;
    const std::map<Quantity, const char*> names = series == ScaleSeries::Zud
        ? std::map<Quantity, const char*>{{Quantity::Gross, "gross"}, {Quantity::Tare, "tare"}, {Quantity::Net, "net"}}
        : std::map<Quantity, const char*>{{Quantity::Net, "net"}};
    std::string json = "{\"time\":" + JsonString(UtcNow());
    for (const auto& [quantity, name] : names) {
        // The last report of a value wins, as in the dialog's reading fields.
        const auto value = std::find_if(reading.fields.rbegin(), reading.fields.rend(),
                                        [quantity = quantity](const auto& f) { return f.quantity == quantity; });
        if (value != reading.fields.rend())
            json += ",\"" + std::string(name) + "\":" + JsonString(GbkCodec::GbkToUtf8(value->text));
    }
    if (reading.stable)
        json += std::string(",\"stable\":") + (*reading.stable ? "true" : "false");
    return json + "}";
}

bool ReadFile(const std::string& path, std::string& bytes, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad()) {
        error = "read error";
        return false;
    }
    return true;
}

bool EndsWithCsv(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string end = path.substr(path.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return end == ".csv";
}

bool HasEntries(const CommodityTable& table)
{
    for (int row = 0; row < CommodityTable::kRows; ++row) {
        if (!table.Cell(row, CommodityTable::Code).empty() || !table.Cell(row, CommodityTable::Name).empty()
            || !table.Cell(row, CommodityTable::Price).empty())
            return true;
    }
    return false;
}

// Fills `table` from the upload file: a .csv file by the CSV rules, anything else as a commodity
// file (ZUD.txt, ZEV.txt).
int LoadUploadFile(const Options& options, CommodityTable& table, std::ostream& err)
{
    std::string bytes;
    std::string error;
    if (!ReadFile(options.file, bytes, error)) {
        err << "cannot read " << options.file << ": " << error << "\n";
        return kExitFile;
    }
    if (EndsWithCsv(options.file)) {
        const CommodityCsv::Import import = CommodityCsv::Parse(bytes);
        if (import.fileProblem != CommodityCsv::FileProblem::None) {
            err << "cannot read " << options.file << ": " << CommodityCsv::Describe(import.fileProblem) << "\n";
            return kExitFile;
        }
        const int problems = import.ProblemCount();
        for (const CommodityCsv::Row& row : import.rows) {
            if (row.problem != CommodityCsv::Problem::None)
                err << options.file << ":" << row.line << ": " << CommodityCsv::Describe(row) << "\n";
        }
        if (problems > 0 && !options.skipBadRows) {
            err << options.file << ": " << problems << " row(s) cannot be imported; --skip-bad-rows uploads the rest\n";
            return kExitFile;
        }
        if (problems > 0)
            err << options.file << ": skipping " << problems << " row(s)\n";
        CommodityCsv::Apply(import, table);
    } else {
        ParseCommodityText(table, bytes);
    }
    if (!HasEntries(table)) {
        err << "cannot read " << options.file << ": it holds no commodities\n";
        return kExitFile;
    }
    return kExitOk;
}

int OpenPort(const Options& options, SerialLink::PortHandle& port, std::ostream& err)
{
    errno = 0;
    if (SerialLink::OpenSerialPort(options.port, port, LeadingInteger::Wrapped(options.baud)) == 1)
        return kExitOk;
    const int error = errno;
    std::string reason = error != 0 ? std::strerror(error) : "it cannot be configured";
    if (error == EACCES || error == EPERM)
        reason += " (is the user in the \"dialout\" group?)";
    else if (error == EBUSY)
        reason += " (another program uses it)";
    err << "cannot open port " << options.port << ": " << reason << "\n";
    return kExitPort;
}

int Upload(const Options& options, std::ostream& err)
{
    CommodityTable table;
    if (const int status = LoadUploadFile(options, table, err); status != kExitOk)
        return status;
    Bytes companyLine;
    if (options.company) {
        GbkCodec::Refusal refusal;
        const auto gbk = GbkCodec::Utf8ToGbk(*options.company, &refusal);
        if (!gbk) {
            err << "--company: " << CommodityCsv::CharacterName(refusal.character) << " has no GBK encoding\n";
            return kExitUsage;
        }
        companyLine = CompanyNameCommand(*gbk);
    }
    const std::vector<Bytes> block = UploadBlock(table, options.series);

    SerialLink::PortHandle port;
    if (const int status = OpenPort(options, port, err); status != kExitOk)
        return status;
    const std::size_t total = block.size() + (companyLine.empty() ? 0 : 1);
    err << "uploading " << options.file << " to " << options.port << " (" << total << " writes)\n";
    // The company name goes out first, as its own write, like the dialog's button sends it.
    if (!companyLine.empty()
        && SerialLink::WriteBytes(port, companyLine.data(), companyLine.size()) != int(companyLine.size())) {
        err << "the scale did not take the company name\n";
        return kExitNoAnswer;
    }
    const std::size_t sent = ScaleExchange::SendWrites(port, block, [&](std::size_t done) {
        if (done % 50 == 0 && done < block.size())
            err << "  " << done << " of " << block.size() << "\n";
    });
    if (sent != block.size()) {
        err << "the scale did not take the upload: line " << sent + 1 << " of " << block.size() << " did not go out\n";
        return kExitNoAnswer;
    }
    err << "done: " << total << " writes sent\n";
    return kExitOk;
}

int Read(const Options& options, std::ostream& out, std::ostream& err)
{
    SerialLink::PortHandle port;
    if (const int status = OpenPort(options, port, err); status != kExitOk)
        return status;
    err << "reading " << options.port << (options.count ? "" : " until stopped") << "\n";
    long printed = 0;
    auto lastAnswer = Clock::now();
    while (!options.count || printed < *options.count) {
        if (const auto reading = ScaleExchange::ReadWeightOnce(port, options.series)) {
            out << ReadingJson(options.series, *reading) << std::endl;
            if (!out)
                return kExitOk;  // nobody reads any more
            ++printed;
            lastAnswer = Clock::now();
        } else if (Clock::now() - lastAnswer >= kSilentAfter) {
            err << "no answer from the scale on " << options.port << "\n";
            return kExitNoAnswer;
        }
        if (!options.count || printed < *options.count)
            std::this_thread::sleep_for(kReadPause);
    }
    return kExitOk;
}

int Dump(const Options& options, std::ostream& out, std::ostream& err)
{
    SerialLink::PortHandle port;
    if (const int status = OpenPort(options, port, err); status != kExitOk)
        return status;
    err << "reading the parameter dump from " << options.port << "\n";
    const std::string dump = ReadParameterDump(port);
    if (dump.empty()) {
        err << "no answer from the scale on " << options.port << "\n";
        return kExitNoAnswer;
    }
    out << GbkCodec::GbkToUtf8(dump);
    if (dump.back() != '\n')
        out << "\n";
    out.flush();
    // The dump reader keeps everything up to "end"; without it the dump stopped short.
    if (dump.find("end") == std::string::npos) {
        err << "the parameter dump ended early (no \"end\")\n";
        return kExitNoAnswer;
    }
    return kExitOk;
}

const char* SeriesName(ScaleSeries series)
{
    for (const auto& [name, named] : kSeriesNames) {
        if (named == series)
            return name;
    }
    return "";
}

const char* FormName(ScaleFinder::ReportForm form)
{
    switch (form) {
    case ScaleFinder::ReportForm::Zud: return "zud-13";
    case ScaleFinder::ReportForm::PolledFramed: return "framed-15";
    case ScaleFinder::ReportForm::Unasked: return "unasked-16";
    }
    return "";
}

// Each scale found as one JSON line; ports that cannot be opened on standard error.
int Find(const Options& options, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> ports;
    if (!options.port.empty())
        ports.push_back(options.port);
    else
        SerialLink::ListSerialPorts(ports);
    std::vector<int> rates;
    for (const char* rate : kBaudRates)
        rates.push_back(LeadingInteger::Wrapped(rate));
    const std::atomic<bool> cancel{false};
    const auto progress = [&err](const ScaleFinder::Progress& p) {
        err << "trying " << p.port << " at " << p.baud << " baud\n";
    };
    const ScaleFinder::Result result = ScaleFinder::Scan(ports, rates, cancel, progress);
    for (const ScaleFinder::Found& found : result.scales) {
        out << "{\"port\":" << JsonString(found.port) << ",\"baud\":" << found.baud << ",\"series\":\""
            << SeriesName(found.answer.series) << "\",\"report\":\"" << FormName(found.answer.form)
            << "\",\"weight\":" << JsonString(found.answer.weight) << "}" << std::endl;
    }
    for (const ScaleFinder::Unopened& port : result.unopened)
        err << port.port << ": cannot be opened: " << std::strerror(port.error) << "\n";
    if (result.scales.empty()) {
        err << "no scale answered on " << ports.size() << " port(s)\n";
        return kExitNoAnswer;
    }
    return kExitOk;
}

std::string ProgramName(const std::vector<std::string>& args)
{
    if (args.empty())
        return "scaletool-cli";
    const std::string& path = args.front();
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string CommandLineUsage(std::string_view program)
{
    std::ostringstream text;
    text << "usage: " << program << " [--help | --version]\n"
         << "       " << program << " --list-ports\n"
         << "       " << program << " --port P --series zud|zev|rivav [--baud B] ACTION\n"
         << "       " << program << " --find [--port P]\n"
         << "\n"
         << "Actions:\n"
         << "  --upload FILE [--company NAME] [--skip-bad-rows]\n"
         << "                    send the commodity table in FILE (a .csv file, or a commodity\n"
         << "                    file like ZUD.txt) and, for zud, the company name\n"
         << "  --read [--count N]\n"
         << "                    print N readings (default: until stopped), one JSON line each\n"
         << "  --dump            print the scale's parameter dump\n"
         << "  --find            try every port (or the one --port names) at every rate with the\n"
         << "                    polls alone; print each scale found as one JSON line\n"
         << "\n"
         << "Options:\n"
         << "  --port P          serial port, e.g. /dev/ttyUSB0\n"
         << "  --series S        zud, zev or rivav\n"
         << "  --baud B          2400 4800 9600 19200 38400 57600 115200 (default 9600)\n"
         << "  --skip-bad-rows   upload a CSV file's good rows when some cannot be imported\n"
         << "\n"
         << "Without an action the window opens; --user-data makes it keep its files in\n"
         << "~/.local/share/scaletool (as the menu entry starts it) instead of the current folder.\n"
         << "Results go to standard output, progress and errors to standard error.\n"
         << "Exit status: 0 done; 2 usage error; 3 port cannot be opened; 4 scale does not\n"
         << "answer or did not take everything; 5 file cannot be read.\n";
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

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::string program = ProgramName(args);
    Options options;
    if (const auto error = Parse(args, options)) {
        err << program << ": " << error->message << " (" << program << " --help shows the usage)\n";
        return kExitUsage;
    }
    if (options.help) {
        out << CommandLineUsage(program);
        return kExitOk;
    }
    if (options.version) {
        out << "ScaleTool " << SCALETOOL_VERSION << "\n";
        return kExitOk;
    }
    switch (options.action) {
    case Action::ListPorts: {
        std::vector<std::string> ports;
        SerialLink::ListSerialPorts(ports);
        for (const std::string& port : ports)
            out << port << "\n";
        return kExitOk;
    }
    case Action::Upload:
        return Upload(options, err);
    case Action::Read:
        return Read(options, out, err);
    case Action::Dump:
        return Dump(options, out, err);
    case Action::Find:
        return Find(options, out, err);
    case Action::None:
        break;
    }
    return kExitUsage;
}
