// CSV import of a full 200-row table, and how long the command line takes from being started to
// the first byte of an upload reaching the (virtual) scale: scaletool-cli alone, and ScaleTool
// handing over to the command line before Qt starts.

#include "commodity/CommodityCsv.h"
#include "commodity/CommodityTable.h"
#include "commodity/GbkCodec.h"
#include "sim/VirtualScale.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string FullCsv(bool gbk)
{
    const std::string names[] = {"苹果", "五花肉", "鸡蛋"};
    std::string csv = "No.,Code,Product Name,Price\r\n";
    for (int row = 0; row < CommodityTable::kRows; ++row)
        csv += std::to_string(row + 1) + "," + std::to_string(100000 + row) + ",\"" + names[row % 3]
            + std::to_string(row + 1) + "\"," + std::to_string(row % 50) + ".80\r\n";
    return gbk ? *GbkCodec::Utf8ToGbk(csv) : "\xEF\xBB\xBF" + csv;
}

void BM_ImportFullCsv(benchmark::State& state)
{
    const std::string csv = FullCsv(state.range(0) == 1);
    CommodityTable table;
    for (auto _ : state) {
        const CommodityCsv::Import import = CommodityCsv::Parse(csv);
        CommodityCsv::Apply(import, table);
        benchmark::DoNotOptimize(table.Cell(199, CommodityTable::Name).data());
    }
    state.SetLabel(state.range(0) == 1 ? "GBK" : "UTF-8");
}
BENCHMARK(BM_ImportFullCsv)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ExportFullCsv(benchmark::State& state)
{
    CommodityTable table;
    CommodityCsv::Apply(CommodityCsv::Parse(FullCsv(false)), table);
    for (auto _ : state)
        benchmark::DoNotOptimize(CommodityCsv::Format(table, {"No.", "Code", "Product Name", "Price"}));
}
BENCHMARK(BM_ExportFullCsv)->Unit(benchmark::kMicrosecond);

// Starts `program --port P --series zev --upload FILE` and times until the scale has a byte.
void StartToFirstByte(benchmark::State& state, const char* program)
{
    const std::string file = std::filesystem::temp_directory_path() / "scaletool-bench-upload.csv";
    std::ofstream(file, std::ios::binary) << FullCsv(false);
    VirtualScale scale;
    if (!scale.Start()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const std::string port = scale.PortPath();
    const char* argv[] = {program, "--port", port.c_str(), "--series", "zev", "--upload", file.c_str(), nullptr};
    for (auto _ : state) {
        scale.ClearReceived();
        const auto start = std::chrono::steady_clock::now();
        pid_t child = 0;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&child, program, &actions, nullptr, const_cast<char**>(argv), environ) != 0) {
            state.SkipWithError("cannot start the program");
            break;
        }
        posix_spawn_file_actions_destroy(&actions);
        while (scale.Received().empty())
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        const auto firstByte = std::chrono::steady_clock::now();
        int status = 0;
        ::waitpid(child, &status, 0);
        state.SetIterationTime(std::chrono::duration<double>(firstByte - start).count());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the upload failed");
            break;
        }
    }
    std::filesystem::remove(file);
}

void BM_CliStartToFirstByte(benchmark::State& state)
{
    StartToFirstByte(state, SCALETOOL_CLI_PATH);
}
BENCHMARK(BM_CliStartToFirstByte)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ScaleToolStartToFirstByte(benchmark::State& state)
{
    StartToFirstByte(state, SCALETOOL_GUI_PATH);
}
BENCHMARK(BM_ScaleToolStartToFirstByte)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
