#include "cli/CommandLine.h"

#include "cli/ListedScales.h"
#include "cli/MultiUpload.h"
#include "cli/ScaleExchange.h"
#include "cli/UploadFile.h"
#include "commodity/CommodityTable.h"
#include "commodity/CommodityUpload.h"
#include "commodity/GbkCodec.h"
#include "link/NetworkPortName.h"
#include "link/ParameterDump.h"
#include "link/PortError.h"
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
#include <map>
#include <optional>
#include <thread>

#ifndef SCALETOOL_VERSION
#define SCALETOOL_VERSION "unknown"
#endif

namespace {

using Clock = std::chrono::steady_clock;

// A reading cycle's pause, as the dialog's default "Sleep" setting.
constexpr std::chrono::milliseconds kReadPause{100};
// Without a report for this long the scale counts as silent.
constexpr std::chrono::milliseconds kSilentAfter{2000};

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

int OpenPort(const CommandLineOptions& options, SerialLink::PortHandle& port, std::ostream& err)
{
    if (SerialLink::OpenSerialPort(options.port, port, LeadingInteger::Wrapped(options.baud)) == 1)
        return kExitOk;
    err << "cannot open port " << options.port << ": " << OpenFailure(options.port, port.OpenError()) << "\n";
    return kExitPort;
}

// The scales of an upload to several: each listed scale with its own rate and series, or every
// --port with the options' own. `blocks` keeps each series' lines for them.
int UploadTargets(const CommandLineOptions& options, const std::vector<ListedScale>& listed, const CommodityTable& table,
                  const Bytes& companyLine, std::map<ScaleSeries, std::vector<Bytes>>& blocks,
                  std::vector<UploadTarget>& targets, std::ostream& err)
{
    static const Bytes kNoCompany;
    std::vector<ListedScale> scales = listed;
    if (scales.empty()) {
        for (const std::string& port : options.ports)
            scales.push_back({port, "", LeadingInteger::Wrapped(options.baud), options.series});
    }
    bool anyZud = false;
    for (const ListedScale& scale : scales) {
        if (scale.series == ScaleSeries::Rivav) {
            err << "--scales: the scale on " << scale.port << " is of the rivav series, which keeps no commodities\n";
            return kExitUsage;
        }
        anyZud = anyZud || scale.series == ScaleSeries::Zud;
        const auto& block = blocks.try_emplace(scale.series, UploadBlock(table, scale.series)).first->second;
        targets.push_back({scale.port, scale.name, scale.baud,
                           scale.series == ScaleSeries::Zud ? &companyLine : &kNoCompany, &block});
    }
    if (!companyLine.empty() && !anyZud) {
        err << "--scales: only the zud series takes a company name, and the list has no zud scale\n";
        return kExitUsage;
    }
    return kExitOk;
}

int Upload(const CommandLineOptions& options, std::ostream& out, std::ostream& err)
{
    // The list is an argument: read and checked before the file.
    std::vector<ListedScale> listed;
    if (!options.scales.empty()) {
        if (const int status = LoadListedScales(options.scales, listed, err); status != kExitOk)
            return status;
    }
    CommodityTable table;
    if (const int status = LoadUploadFile(options, table, err); status != kExitOk)
        return status;
    Bytes companyLine;
    if (const int status = CompanyNameLine(options, companyLine, err); status != kExitOk)
        return status;
    if (options.dryRun) {
        if (!companyLine.empty())
            PrintWrites({companyLine}, out);
        PrintWrites(UploadBlock(table, options.series), out);
        err << "dry run: nothing was sent\n";
        return kExitOk;
    }
    if (options.ports.size() > 1 || !listed.empty()) {
        std::map<ScaleSeries, std::vector<Bytes>> blocks;
        std::vector<UploadTarget> targets;
        if (const int status = UploadTargets(options, listed, table, companyLine, blocks, targets, err); status != kExitOk)
            return status;
        return UploadToPorts(targets, options.file, out, err);
    }
    const std::vector<Bytes> block = UploadBlock(table, options.series);
    SerialLink::PortHandle port;
    if (const int status = OpenPort(options, port, err); status != kExitOk)
        return status;
    const std::size_t total = block.size() + (companyLine.empty() ? 0 : 1);
    err << "uploading " << options.file << " to " << options.port << " (" << total << " writes)\n";
    const UploadOutcome outcome = SendUpload(port, companyLine, block, [&err](const std::string& line) { err << line << "\n"; });
    if (!outcome.done) {
        err << outcome.reason << "\n";
        return kExitNoAnswer;
    }
    err << "done: " << total << " writes sent\n";
    return kExitOk;
}

int Read(const CommandLineOptions& options, std::ostream& out, std::ostream& err)
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
        } else if (port.Fault().fault != SerialLink::PortFault::None) {
            err << "lost port " << options.port << ": " << StallReason(port) << "\n";
            return kExitNoAnswer;
        } else if (Clock::now() - lastAnswer >= kSilentAfter) {
            err << "no answer from the scale on " << options.port << "\n";
            return kExitNoAnswer;
        }
        if (!options.count || printed < *options.count)
            std::this_thread::sleep_for(kReadPause);
    }
    return kExitOk;
}

int Dump(const CommandLineOptions& options, std::ostream& out, std::ostream& err)
{
    SerialLink::PortHandle port;
    if (const int status = OpenPort(options, port, err); status != kExitOk)
        return status;
    // The dump cannot be read while the scale reports by itself, so its reader switches that off.
    err << "reading the parameter dump from " << options.port
        << " (this switches the scale's active postback off)\n";
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

const char* FormName(ScaleFinder::ReportForm form)
{
    switch (form) {
    case ScaleFinder::ReportForm::Zud: return "zud-13";
    case ScaleFinder::ReportForm::PolledFramed: return "framed-15";
    case ScaleFinder::ReportForm::Unasked: return "unasked-16";
    }
    return "";
}

// Each scale found as one JSON line as its port is done; ports that cannot be opened on standard error.
int Find(const CommandLineOptions& options, std::ostream& out, std::ostream& err)
{
    std::vector<ListedScale> listed;
    if (!options.scales.empty()) {
        if (const int status = LoadListedScales(options.scales, listed, err); status != kExitOk)
            return status;
    }
    std::vector<std::string> ports = options.ports;
    for (const ListedScale& scale : listed)
        ports.push_back(scale.port);
    if (ports.empty())
        SerialLink::ListSerialPorts(ports);
    std::vector<int> rates;
    if (options.baudGiven)
        rates.push_back(LeadingInteger::Wrapped(options.baud));
    else
        for (const char* rate : kCommandLineBaudRates)
            rates.push_back(LeadingInteger::Wrapped(rate));
    const std::atomic<bool> cancel{false};
    const auto progress = [&err](const ScaleFinder::Progress& p) {
        err << "trying " << p.port << " at " << p.baud << " baud\n";
    };
    // Each port's result as it comes; the scan tells one at a time.
    const auto portDone = [&](const ScaleFinder::PortResult& r) {
        if (const auto& found = r.found) {
            const std::string name = listed.empty() ? "" : listed[std::size_t(r.portIndex)].name;
            out << "{\"port\":" << JsonString(found->port) << ",\"name\":" << JsonString(name) << ",\"baud\":" << found->baud << ",\"series\":\""
                << CommandLineSeriesName(found->answer.series) << "\",\"report\":\"" << FormName(found->answer.form)
                << "\",\"weight\":" << JsonString(found->answer.weight) << "}" << std::endl;
        }
        if (r.unopened)
            err << r.unopened->port << ": cannot be opened: " << OpenFailure(r.unopened->port, r.unopened->error) << "\n";
    };
    const ScaleFinder::Result result =
        ScaleFinder::Scan(ports, rates, cancel, progress, {{}, options.series}, portDone);
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

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::string program = ProgramName(args);
    CommandLineOptions options;
    if (const auto error = ParseCommandLine(args, options)) {
        err << program << ": " << *error << " (" << program << " --help shows the usage)\n";
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
    case CommandLineAction::ListPorts: {
        std::vector<std::string> ports;
        SerialLink::ListSerialPorts(ports);
        for (const std::string& port : ports)
            out << port << "\n";
        return kExitOk;
    }
    case CommandLineAction::Upload:
        return Upload(options, out, err);
    case CommandLineAction::Read:
        return Read(options, out, err);
    case CommandLineAction::Dump:
        return Dump(options, out, err);
    case CommandLineAction::Find:
        return Find(options, out, err);
    case CommandLineAction::None:
        break;
    }
    return kExitUsage;
}
