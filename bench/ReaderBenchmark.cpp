// The reading cycle, repeated by a port session against the virtual scale over the real link, with
// no pause between cycles: how many polled cycles it completes per second, and how long a report
// takes from the moment the scale writes it to the moment the cycle hands its weight out. The
// argument "rfc2217" runs the same over RFC 2217 on loopback, ser2net in front of the scale's
// pseudo-terminal: 1 with ser2net's defaults, 2 with its gathering of bytes (chardelay) off.

#include "link/ScaleCommandSet.h"
#include "bench/OpenedSession.h"
#include "link/PortSession.h"
#include "link/SerialLink.h"
#include "link/WeightReading.h"
#include "sim/VirtualScale.h"
#include "link/Ser2netSupport.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Counts the weights the reader shows and notes when the last one came.
struct Shown {
    std::mutex mutex;
    std::condition_variable changed;
    long count = 0;
    Clock::time_point at{};

    WeightReading::Callbacks Callbacks()
    {
        WeightReading::Callbacks c;
        // Once per report: a ZUD report carries the gross, a framed one the price.
        c.valueRead = [this](WeightReport::Quantity quantity, const std::string&) {
            if (quantity != WeightReport::Quantity::Gross && quantity != WeightReport::Quantity::Price)
                return;
            {
                std::lock_guard lock(mutex);
                ++count;
                at = Clock::now();
            }
            changed.notify_all();
        };
        return c;
    }

    // Waits for the count to pass `seen`; false after the timeout.
    bool WaitPast(long seen, std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return count > seen; });
    }
    long Count()
    {
        std::lock_guard lock(mutex);
        return count;
    }
};

struct Rig {
    VirtualScale scale;
    LinkTest::Ser2net server;
    std::atomic<ScaleSeries> series{ScaleSeries::Zev};
    std::atomic<bool> activeReturn{false};
    Shown shown;
    std::unique_ptr<PortSession> session;
    bool ok = false;

    // 0: the pseudo-terminal itself; 1, 2: over RFC 2217 (see above).
    explicit Rig(long transport)
    {
        const bool network = transport != 0;
        scale.SetBaudRate(115200);  // the scale talks at the rate the session opens with
        scale.SetSettlingTime(std::chrono::milliseconds(0));
        if (!scale.Start())
            return;
        if (network && !server.Start(scale.PortPath(), 9600, 9600, transport == 1))
            return;
        session = OpenedSession(network ? server.Rfc2217Name() : scale.PortPath(), 115200);
        ok = session != nullptr;
    }
    ~Rig()
    {
        session.reset();
        scale.Stop();
    }

    void StartReading()
    {
        session->StartCycle([this, show = shown.Callbacks()](SerialLink::PortHandle& port,
                                                               const StopSignal& stop) {
            WeightReading::RunCycle(port, series, [this] { return activeReturn.load(); }, show, [&stop] { return stop.Raised(); });
            return 0;
        });
    }
};

// One iteration = one accepted polled report (purge, poll, 15-byte read, decode, callbacks).
void BM_PolledCycles(benchmark::State& state)
{
    Rig rig(state.range(1));
    rig.series = ScaleSeries(state.range(0));  // the benchmark argument carries the series
    if (!rig.ok) {
        state.SkipWithError("no pseudo-terminal, or no ser2net");
        return;
    }
    rig.StartReading();
    long seen = 0;
    long lost = 0;
    for (auto _ : state) {
        if (!rig.shown.WaitPast(seen, std::chrono::milliseconds(500)))
            ++lost;
        seen = rig.shown.Count();
    }
    rig.session->StopCycle();
    state.counters["cycles_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["lost"] = double(lost);
}
BENCHMARK(BM_PolledCycles)->ArgsProduct({{int(ScaleSeries::Zev), int(ScaleSeries::Zud)}, {0, 1, 2}})
    ->ArgNames({"series", "rfc2217"})->UseRealTime()->MinTime(2.0);

// Active return: the scale writes a 16-byte report; the time until the reader shows its weight.
void BM_ReportToShown(benchmark::State& state)
{
    Rig rig(state.range(0));
    if (!rig.ok) {
        state.SkipWithError("no pseudo-terminal, or no ser2net");
        return;
    }
    rig.series = ScaleSeries::Rivav;
    rig.activeReturn = true;
    rig.StartReading();
    const Bytes report("\x01\x02S    1.234k\x03\x04\r", 16);
    long missed = 0;
    for (auto _ : state) {
        const long seen = rig.shown.Count();
        // Right after handing a weight out the reader purges for its next cycle; a report written in
        // that moment is discarded, as on a real line. A scale reports at most ten times a second, so
        // give the reader the moment to get into its read; rounds lost anyway are sent again.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        for (;;) {
            const auto sent = Clock::now();
            rig.scale.SendRaw(report);
            if (rig.shown.WaitPast(seen, std::chrono::milliseconds(300))) {
                std::lock_guard lock(rig.shown.mutex);
                state.SetIterationTime(std::chrono::duration<double>(rig.shown.at - sent).count());
                break;
            }
            ++missed;
        }
    }
    rig.session->StopCycle();
    state.counters["resent"] = double(missed);
}
BENCHMARK(BM_ReportToShown)->DenseRange(0, 2)->ArgName("rfc2217")->UseManualTime()->Unit(benchmark::kMicrosecond)
    ->Iterations(500);

} // namespace

BENCHMARK_MAIN();
