#include "link/ScaleFinder.h"

#include "link/NetworkPortName.h"
#include "link/ScaleCommandSet.h"
#include "link/SerialLink.h"
#include "link/WeightReport.h"

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <thread>

namespace ScaleFinder {
namespace {

// A weight as scales print it: blanks removed, at least one digit, nothing but digits, a point
// and a sign. Anything else (noise, a half report) is not taken for a scale.
bool IsWeightText(std::string_view text)
{
    const bool allowed = std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+';
    });
    return allowed && std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::string> FramedWeightAt(std::string_view answer, std::size_t at)
{
    const auto report = WeightReport::DecodeFramed(answer.substr(at));
    if (!report || !IsWeightText(report->weight))
        return std::nullopt;
    return report->weight;
}

std::optional<Answer> ZudAnswer(std::string_view answer)
{
    if (answer.size() < std::size_t(WeightReport::kZudLength))
        return std::nullopt;
    const std::string_view report = answer.substr(0, WeightReport::kZudLength);
    // Text only: printable characters, padded with blanks or zero bytes.
    if (!std::all_of(report.begin(), report.end(), [](char c) { return c == '\0' || (c >= 0x20 && c < 0x7F); }))
        return std::nullopt;
    const auto fields = WeightReport::DecodeZud(report);
    if (fields.empty() || !IsWeightText(fields.front().text))
        return std::nullopt;
    return Answer{ReportForm::Zud, ScaleSeries::Zud, fields.front().text};
}

// The series whose poll the probe sends; None for listening, which sends nothing.
ScaleSeries PolledSeries(Probe probe)
{
    switch (probe) {
    case Probe::ZudPoll:
        return ScaleSeries::Zud;
    case Probe::FramedPoll:
        return ScaleSeries::Zev;
    case Probe::Listen:
        break;
    }
    return ScaleSeries::None;
}

// Room for one unasked report wherever it starts in the window, and the start of the next.
constexpr int kListenBytes = 2 * WeightReport::kActiveFramedLength;

} // namespace

std::optional<Answer> Classify(Probe probe, std::string_view answer)
{
    const std::size_t unaskedLength = WeightReport::kActiveFramedLength;
    for (std::size_t at = 0; at + unaskedLength <= answer.size(); ++at) {
        if (auto weight = FramedWeightAt(answer, at))
            return Answer{ReportForm::Unasked, ScaleSeries::Rivav, std::move(*weight)};
    }
    switch (probe) {
    case Probe::ZudPoll:
        return ZudAnswer(answer);
    case Probe::FramedPoll:
        if (auto weight = FramedWeightAt(answer, 0))
            return Answer{ReportForm::PolledFramed, ScaleSeries::Zev, std::move(*weight)};
        return std::nullopt;
    case Probe::Listen:
        break;
    }
    return std::nullopt;
}

namespace {

// The probes a search sends, in order.
std::vector<Probe> ProbesFor(ScaleSeries series)
{
    switch (series) {
    case ScaleSeries::Zud:
        return {Probe::ZudPoll};
    case ScaleSeries::Zev:
        return {Probe::FramedPoll};
    case ScaleSeries::Rivav:
        return {Probe::Listen};
    case ScaleSeries::None:
        break;
    }
    return {Probe::Listen, Probe::ZudPoll, Probe::FramedPoll};
}

struct ProbeOutcome {
    std::optional<Answer> answer;
    bool heard = false;  // bytes of any kind arrived while listening
};

// Probes one open port: listen, then each poll. Stops at the first valid answer or a cancel.
ProbeOutcome ProbePort(SerialLink::PortHandle& port, const std::atomic<bool>& cancel, const Search& search,
                       int listenMs)
{
    ProbeOutcome outcome;
    for (const Probe probe : ProbesFor(search.series)) {
        if (cancel)
            break;
        // A poll is answered as in the reading cycle: the same request, the same report length.
        const ScaleSeries polled = PolledSeries(probe);
        if (polled != ScaleSeries::None) {
            const Bytes poll = ScaleCommandSet::ReadWeight(polled, false);
            SerialLink::Purge(port);
            if (SerialLink::WriteBytes(port, poll.data(), poll.size()) != int(poll.size()))
                break;  // the line is held or gone: nothing will answer
        }
        const int length = polled == ScaleSeries::None ? kListenBytes : ScaleCommandSet::WeightReportLength(polled, false);
        Bytes answer(std::size_t(length), '\0');
        const int n = SerialLink::ReadBytes(port, answer.data(), int(answer.size()),
                                            probe == Probe::Listen ? listenMs : search.timing.pollMs);
        answer.resize(std::size_t(std::max(n, 0)));
        if (probe == Probe::Listen && !answer.empty())
            outcome.heard = true;
        auto found = Classify(probe, answer);
        if (found && (search.series == ScaleSeries::None || found->series == search.series)) {
            outcome.answer = std::move(found);
            break;
        }
    }
    return outcome;
}

// Tries one port at each rate until a scale answers, on the calling thread.
PortResult ScanPort(const std::vector<std::string>& ports, int p, const std::vector<int>& rates,
                    const std::atomic<bool>& cancel, const Search& search,
                    const std::function<void(const Progress&)>& progress)
{
    PortResult outcome{p, std::nullopt, std::nullopt};
    const std::string& name = ports[std::size_t(p)];
    const int rateCount = int(rates.size());
    bool opened = false;
    int firstError = 0;
    // A raw network port runs at its server's rate whatever is asked: one try tells.
    const auto address = NetworkPortName::Parse(name);
    const bool ownRate = address && address->kind == NetworkPortName::Kind::Raw;
    // Long until a long listen has heard the line silent.
    bool listenLong = true;
    for (int r = 0; r < rateCount && !cancel; ++r) {
        const int baud = rates[std::size_t(r)];
        if (progress)
            progress(Progress{p, int(ports.size()), name, r, rateCount, baud});
        SerialLink::PortHandle port;
        if (SerialLink::OpenSerialPort(name, port, baud) != 1) {
            if (firstError == 0)
                firstError = port.OpenError();
            // A port that cannot be had at all (missing, busy, refused) fails alike at every rate.
            if (!opened && firstError != EINVAL)
                break;
            continue;
        }
        opened = true;
        const auto probed = ProbePort(port, cancel, search, listenLong ? search.timing.longListenMs : search.timing.listenMs);
        port.Close();
        if (probed.answer) {
            outcome.found = Found{name, baud, *probed.answer};
            return outcome;
        }
        if (ownRate)
            break;
        listenLong = probed.heard;
    }
    if (!opened && !cancel)
        outcome.unopened = Unopened{name, firstError};
    return outcome;
}

} // namespace

Result Scan(const std::vector<std::string>& ports, const std::vector<int>& rates, const std::atomic<bool>& cancel,
            const std::function<void(const Progress&)>& progress, const Search& search,
            const std::function<void(const PortResult&)>& portDone)
{
    const int portCount = int(ports.size());
    std::vector<std::optional<PortResult>> outcomes(ports.size());
    // One lock for the callbacks and the outcomes: callers see one call at a time.
    std::mutex telling;
    std::function<void(const Progress&)> told;
    if (progress) {
        told = [&](const Progress& p) {
            std::lock_guard lock(telling);
            progress(p);
        };
    }
    std::atomic<int> next{0};
    // Each thread owns the handle of the port it tries; they share the queue and the outcomes only.
    const auto work = [&] {
        for (int p = next++; p < portCount && !cancel; p = next++) {
            PortResult outcome = ScanPort(ports, p, rates, cancel, search, told);
            std::lock_guard lock(telling);
            if (portDone)
                portDone(outcome);
            outcomes[std::size_t(p)] = std::move(outcome);
        }
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < std::min(portCount, kPortsAtOnce); ++t)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();

    Result result;
    for (const auto& outcome : outcomes) {
        if (outcome && outcome->found)
            result.scales.push_back(*outcome->found);
        if (outcome && outcome->unopened)
            result.unopened.push_back(*outcome->unopened);
    }
    result.cancelled = cancel;
    return result;
}

} // namespace ScaleFinder
