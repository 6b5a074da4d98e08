// Loading and saving a full 200-row commodity file, and whole uploads against the virtual scale:
// the bare block (build the 202 lines, write each through the serial link) and the dialog's way
// (one job on a port session, progress reported per line, its end awaited). On a pseudo-terminal the
// bytes take no time on the wire, so the figures are the upload's own cost; the counters set it
// against the time the same bytes take on a real line at 9600 baud.

#include "commodity/CommodityFile.h"
#include "commodity/CommodityTable.h"
#include "commodity/CommodityUpload.h"
#include "bench/OpenedSession.h"
#include "link/Ser2netSupport.h"
#include "link/PortSession.h"
#include "link/SerialLink.h"
#include "settings/AppPaths.h"
#include "sim/VirtualScale.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <filesystem>
#include <string>

#include <time.h>

using namespace std::chrono_literals;

namespace {

constexpr double kBitsPerByte = 10.0; // start, 8 data, stop
constexpr double kReferenceBaud = 9600.0;

CommodityTable FullTable()
{
    // GBK names: 苹果, 五花肉, 鸡蛋 with the row number, as a busy shop's table would look.
    const std::string names[] = {"\xC6\xBB\xB9\xFB", "\xCE\xE5\xBB\xA8\xC8\xE2", "\xBC\xA6\xB5\xB0"};
    CommodityTable table;
    for (int row = 0; row < CommodityTable::kRows; ++row) {
        table.SetCell(row, CommodityTable::Code, std::to_string(100000 + row));
        table.SetCell(row, CommodityTable::Name, names[row % 3] + std::to_string(row + 1));
        table.SetCell(row, CommodityTable::Price, std::to_string(row % 50) + ".80");
    }
    return table;
}

class TempAppDirectory {
public:
    TempAppDirectory()
    {
        char pattern[] = "/tmp/commodity-bench-XXXXXX";
        if (::mkdtemp(pattern))
            path_ = pattern;
        previous_ = AppPaths::ApplicationDirectory();
        AppPaths::SetApplicationDirectory(path_);
    }
    ~TempAppDirectory()
    {
        AppPaths::SetApplicationDirectory(previous_);
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    bool Ok() const { return !path_.empty(); }

private:
    std::string path_;
    std::string previous_;
};

double ThreadCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double WireSeconds(const std::vector<Bytes>& writes)
{
    std::size_t bytes = 0;
    for (const Bytes& write : writes)
        bytes += write.size();
    return double(bytes) * kBitsPerByte / kReferenceBaud;
}

void BM_LoadFullFile(benchmark::State& state)
{
    TempAppDirectory dir;
    const CommodityTable full = FullTable();
    if (!dir.Ok() || !SaveCommodityFile(full, ScaleSeries::Zev)) {
        state.SkipWithError("cannot write the file");
        return;
    }
    const std::size_t bytes = FormatCommodityText(full).size();
    CommodityTable table;
    for (auto _ : state) {
        LoadCommodityFile(table, ScaleSeries::Zev);
        benchmark::DoNotOptimize(table.Cell(199, CommodityTable::Name).data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * bytes));
}
BENCHMARK(BM_LoadFullFile)->Unit(benchmark::kMicrosecond);

void BM_SaveFullFile(benchmark::State& state)
{
    TempAppDirectory dir;
    const CommodityTable full = FullTable();
    const std::size_t bytes = FormatCommodityText(full).size();
    for (auto _ : state) {
        if (!SaveCommodityFile(full, ScaleSeries::Zev)) {
            state.SkipWithError("save failed");
            return;
        }
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * bytes));
}
// Each save writes a temporary file, flushes it to the disk and renames it: the flush dominates.
BENCHMARK(BM_SaveFullFile)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_ParseAndFormatFullText(benchmark::State& state)
{
    const std::string text = FormatCommodityText(FullTable());
    CommodityTable table;
    for (auto _ : state) {
        ParseCommodityText(table, text);
        benchmark::DoNotOptimize(FormatCommodityText(table));
    }
}
BENCHMARK(BM_ParseAndFormatFullText)->Unit(benchmark::kMicrosecond);

struct Line {
    VirtualScale scale;
    SerialLink::PortHandle port;
    bool Open() { return scale.Start() && SerialLink::OpenSerialPort(scale.PortPath(), port, 9600) == 1; }
};

void SetUploadCounters(benchmark::State& state, const std::vector<Bytes>& writes, double ownSeconds)
{
    const double perUpload = ownSeconds / double(state.iterations());
    const double wire = WireSeconds(writes);
    state.counters["writes"] = double(writes.size());
    state.counters["wire_ms_9600"] = wire * 1e3;
    state.counters["own_us_per_write"] = perUpload / double(writes.size()) * 1e6;
    state.counters["own_pct_of_wire"] = perUpload / wire * 100.0;
}

// The block built and written line by line; CPU time of the writing thread.
void BM_UploadBlockToVirtualScale(benchmark::State& state)
{
    Line line;
    if (!line.Open()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const CommodityTable table = FullTable();
    std::vector<Bytes> last;
    double cpu = 0;
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        last = UploadBlock(table, ScaleSeries::Zev);
        for (const Bytes& write : last)
            SerialLink::WriteBytes(line.port, write.data(), write.size());
        cpu += ThreadCpuSeconds() - start;
        state.PauseTiming();
        if (!line.scale.WaitForCommands(last.size(), 10s))
            state.SkipWithError("the scale did not receive the block");
        line.scale.ClearReceived();
        state.ResumeTiming();
    }
    SetUploadCounters(state, last, cpu);
}
BENCHMARK(BM_UploadBlockToVirtualScale)->Unit(benchmark::kMillisecond);

// The dialog's way, wall-clock: the block as one job on a port session's worker, a progress report
// per line, and the wait for its end. Argument 1: over RFC 2217 on loopback, through ser2net.
void BM_SessionUploadToVirtualScale(benchmark::State& state)
{
    VirtualScale scale;
    LinkTest::Ser2net server;
    std::mutex mutex;
    std::condition_variable changed;
    bool ended = false;
    std::atomic<int> progress{0};
    if (!scale.Start()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const bool network = state.range(0) != 0;
    if (network && !server.Start(scale.PortPath(), 4800, 9600)) {
        state.SkipWithError("ser2net did not start");
        return;
    }
    const std::unique_ptr<PortSession> session = OpenedSession(network ? server.Rfc2217Name() : scale.PortPath(), 9600);
    if (!session) {
        state.SkipWithError("the port did not open");
        return;
    }
    const std::vector<Bytes> writes = UploadBlock(FullTable(), ScaleSeries::Zev);
    double wall = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        session->Post([&](SerialLink::PortHandle& port, const StopSignal& stop) {
            SendUploadBlock(port, writes, [&stop] { return stop.EndsExchange(); }, [&](int sent) { progress = sent; });
            std::lock_guard lock(mutex);
            ended = true;
            changed.notify_all();
        });
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return ended; });
            ended = false;
        }
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        if (!scale.WaitForCommands(writes.size(), 10s))
            state.SkipWithError("the scale did not receive the block");
        scale.ClearReceived();
        state.ResumeTiming();
    }
    SetUploadCounters(state, writes, wall);
}
BENCHMARK(BM_SessionUploadToVirtualScale)->Arg(0)->Arg(1)->ArgName("rfc2217")->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
