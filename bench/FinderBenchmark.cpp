// How long finding a scale takes: a silent port through all seven rates, and a scale that only
// answers at the last rate of the list.

#include "link/ScaleCommand.h"
#include "link/ScaleFinder.h"
#include "sim/VirtualScale.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

const std::vector<int> kRates = {2400, 4800, 9600, 19200, 38400, 57600, 115200};

// A line nobody answers on: the far end of a pseudo-terminal kept open and never read.
struct SilentLine {
    int master = -1;
    int slave = -1;
    std::string path;
    SilentLine()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            return;
        path = ::ptsname(master);
        slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    ~SilentLine()
    {
        if (slave >= 0)
            ::close(slave);
        if (master >= 0)
            ::close(master);
    }
    bool Ok() const { return slave >= 0; }
};

void BM_ScanSilentPort(benchmark::State& state)
{
    SilentLine line;
    if (!line.Ok()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const std::atomic<bool> cancel{false};
    for (auto _ : state) {
        const auto result = ScaleFinder::Scan({line.path}, kRates, cancel, {});
        if (!result.scales.empty())
            state.SkipWithError("a silent line answered");
        // Poll bytes the silent line swallowed must not pile up into the next round.
        ::tcflush(line.master, TCIOFLUSH);
    }
}
BENCHMARK(BM_ScanSilentPort)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_ScanFindsScaleAtTheLastRate(benchmark::State& state)
{
    VirtualScale scale;
    scale.SetBaudRate(115200);
    scale.SetSeries(SeriesZev);
    if (!scale.Start()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const std::atomic<bool> cancel{false};
    for (auto _ : state) {
        const auto result = ScaleFinder::Scan({scale.PortPath()}, kRates, cancel, {});
        if (result.scales.size() != 1 || result.scales[0].baud != 115200)
            state.SkipWithError("the scale was not found at its rate");
    }
}
BENCHMARK(BM_ScanFindsScaleAtTheLastRate)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
