// How long finding a scale takes (one and four silent ports through all seven rates, a scale that
// only answers at the last rate of the list, one that reports once a second), and what the line
// monitor costs the reading loop.

#include "link/LineLog.h"
#include "bench/OpenedSession.h"
#include "link/PortSession.h"
#include "link/ScaleCommandSet.h"
#include "link/ScaleFinder.h"
#include "sim/PseudoTerminal.h"
#include "link/SerialLink.h"
#include "link/WeightReading.h"
#include "link/WeightReport.h"
#include "sim/VirtualScale.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <string>
#include <vector>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

const std::vector<int> kRates = {2400, 4800, 9600, 19200, 38400, 57600, 115200};

// Lines nobody answers on (the scale's ends of pseudo-terminals, never read), tried at once.
void BM_ScanSilentPorts(benchmark::State& state)
{
    std::vector<std::unique_ptr<PseudoTerminal>> lines;
    std::vector<std::string> paths;
    for (int i = 0; i < state.range(0); ++i) {
        lines.push_back(std::make_unique<PseudoTerminal>());
        if (!lines.back()->Open(9600)) {
            state.SkipWithError("no pseudo-terminal");
            return;
        }
        paths.push_back(lines.back()->Path());
    }
    const std::atomic<bool> cancel{false};
    for (auto _ : state) {
        const auto result = ScaleFinder::Scan(paths, kRates, cancel, {});
        if (!result.scales.empty())
            state.SkipWithError("a silent line answered");
        // Poll bytes the silent lines swallowed must not pile up into the next round.
        for (const auto& line : lines)
            ::tcflush(line->Master(), TCIOFLUSH);
    }
}
BENCHMARK(BM_ScanSilentPorts)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// A scale answering polls only at the last rate of the list (115200, postback 0), and one reporting
// once a second by itself at 9600 (heard after two rates of its noise).
void BM_ScanFindsScale(benchmark::State& state)
{
    const int baud = int(state.range(0));
    const int postback = int(state.range(1));
    VirtualScale scale;
    scale.SetBaudRate(baud);
    scale.SetSeries(postback ? ScaleSeries::Rivav : ScaleSeries::Zev);
    scale.SetPostbackRate(postback);
    if (!scale.Start()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const std::atomic<bool> cancel{false};
    for (auto _ : state) {
        const auto result = ScaleFinder::Scan({scale.PortPath()}, kRates, cancel, {});
        if (result.scales.size() != 1 || result.scales[0].baud != baud)
            state.SkipWithError("the scale was not found at its rate");
    }
}
BENCHMARK(BM_ScanFindsScale)->Args({115200, 0})->Args({9600, 1})->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The reading loop through a port session, framed series, no pause, with the line monitor closed
// (no observer) and open (every write and read recorded, taken ten times a second as the window
// does). The two alternate every 250 ms, twenty times each, so a load that drifts on a shared
// machine falls on both alike.
void BM_ReadingLoopMonitorOnAndOff(benchmark::State& state)
{
    VirtualScale scale;
    scale.SetBaudRate(115200);
    scale.SetSettlingTime(std::chrono::milliseconds(0));
    if (!scale.Start()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    std::atomic<long> shown{0};
    auto inbox = std::make_shared<LineLog::Inbox>();
    std::atomic<bool> taking{true};
    std::thread taker([&] {
        while (taking) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            benchmark::DoNotOptimize(inbox->Take());
        }
    });
    WeightReading::Callbacks reading;
    // Once per report: a ZUD report carries the gross, a framed one the price.
    reading.valueRead = [&](WeightReport::Quantity quantity, const std::string&) {
        if (quantity == WeightReport::Quantity::Gross || quantity == WeightReport::Quantity::Price)
            ++shown;
    };
    // Ended (and its worker joined) before anything its cycle uses goes.
    std::unique_ptr<PortSession> session = OpenedSession(scale.PortPath(), 115200);
    if (!session) {
        state.SkipWithError("the port did not open");
    } else {
        session->StartCycle([&](SerialLink::PortHandle& port, const StopSignal& stop) {
            WeightReading::RunCycle(port, ScaleSeries::Zev, [] { return false; }, reading, [&stop] { return stop.Raised(); });
            return 0;
        });
        const auto observer = [inbox](SerialLink::LineDirection direction, std::string_view bytes) {
            if (!bytes.empty())
                inbox->Record(direction, bytes);
        };
        double cycles[2] = {0, 0};
        double seconds[2] = {0, 0};
        for (auto _ : state) {
            for (int round = 0; round < 40; ++round) {
                const int on = round % 2;
                session->SetLineObserver(on ? SerialLink::PortHandle::LineObserver(observer) : nullptr);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the change has taken effect
                const long before = shown;
                const auto from = std::chrono::steady_clock::now();
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
                cycles[on] += double(shown - before);
                seconds[on] += std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
            }
        }
        state.counters["closed_per_s"] = cycles[0] / seconds[0];
        state.counters["open_per_s"] = cycles[1] / seconds[1];
        state.counters["open_vs_closed_pct"] = 100.0 * (cycles[1] / seconds[1]) / (cycles[0] / seconds[0]);
    }
    session.reset();
    taking = false;
    taker.join();
}
BENCHMARK(BM_ReadingLoopMonitorOnAndOff)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// What the open monitor adds to one write or read on the port's thread: one 15-byte entry recorded.
void BM_RecordOneEntry(benchmark::State& state)
{
    LineLog::Inbox inbox;
    const std::string report("\x01\x02S    1.234k\x03\x04", 15);
    for (auto _ : state)
        inbox.Record(LineLog::Direction::Read, report);
}
BENCHMARK(BM_RecordOneEntry);

} // namespace

BENCHMARK_MAIN();
