// An upload of 200 rows to 1, 4 and 8 virtual scales at once through the command line, each scale
// taking bytes no faster than a 9600-baud line carries them: from the start of the command until
// every scale has read the whole block.

#include "cli/CommandLine.h"
#include "sim/VirtualScale.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// "plu", 200 rows and "end".
constexpr std::size_t kWrites = 202;

void BM_UploadToScales(benchmark::State& state)
{
    const std::string file = std::filesystem::temp_directory_path() / "scaletool-bench-multi-upload.csv";
    {
        std::ofstream csv(file, std::ios::binary);
        for (int row = 1; row <= 200; ++row)
            csv << row << ",C" << row << ",Apples from the orchard," << row % 50 << ".80\n";
    }
    std::vector<std::unique_ptr<VirtualScale>> scales;
    std::vector<std::string> args{"scaletool-cli", "--series", "zev", "--baud", "9600", "--upload", file};
    for (int i = 0; i < state.range(0); ++i) {
        scales.push_back(std::make_unique<VirtualScale>());
        scales.back()->SetBaudRate(9600);
        scales.back()->SetWireTime(true);
        if (!scales.back()->Start()) {
            state.SkipWithError("no pseudo-terminal");
            return;
        }
        args.insert(args.end(), {"--port", scales.back()->PortPath()});
    }
    for (auto _ : state) {
        for (const auto& scale : scales)
            scale->ClearReceived();
        const auto start = std::chrono::steady_clock::now();
        std::ostringstream out, err;
        const int status = RunCommandLine(args, out, err);
        bool whole = true;
        for (const auto& scale : scales)
            whole = scale->WaitForCommands(kWrites, std::chrono::seconds(60)) && whole;
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (status != kExitOk || !whole) {
            state.SkipWithError("the upload did not reach every scale whole");
            break;
        }
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_UploadToScales)->Arg(1)->Arg(4)->Arg(8)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
