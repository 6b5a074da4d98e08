#include "cli/MultiUpload.h"

#include "cli/CommandLine.h"
#include "link/NetworkPortName.h"
#include "link/PortError.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

std::string OpenFailure(const std::string& name, int error)
{
    const std::string network = NetworkPortName::OpenFailure(name, error);
    return network.empty() ? SerialLink::OpenErrorText(error) : network;
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

UploadOutcome SendUpload(SerialLink::PortHandle& port, const Bytes& companyLine, const std::vector<Bytes>& block,
                         const std::function<void(const std::string&)>& progress)
{
    port.SetHoldObserver([&progress](bool held) {
        if (held)
            progress("the scale holds the line; waiting while it takes data");
    });
    const std::size_t company = companyLine.empty() ? 0 : 1;
    UploadWatch watch;
    watch.progress = [&](std::size_t sent) {
        const std::size_t done = sent - company;  // lines of the block
        if (done > 0 && done % 50 == 0 && done < block.size())
            progress("  " + std::to_string(done) + " of " + std::to_string(block.size()));
    };
    UploadOutcome outcome = SendUpload(port, companyLine, block, watch);
    port.SetHoldObserver(nullptr);
    return outcome;
}

int UploadToPorts(const std::vector<UploadTarget>& targets, const std::string& file, std::ostream& out,
                  std::ostream& err)
{
    const auto writes = [](const UploadTarget& target) { return target.block->size() + (target.companyLine->empty() ? 0 : 1); };
    const bool alike = std::all_of(targets.begin(), targets.end(), [&](const UploadTarget& t) { return writes(t) == writes(targets[0]); });
    err << "uploading " << file << " to " << targets.size() << " ports";
    if (alike && !targets.empty())
        err << " (" << writes(targets[0]) << " writes each)";
    err << "\n";
    std::mutex telling;  // one line at a time on each stream
    bool anyFailed = false;
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < targets.size(); i = next++) {
            const UploadTarget& target = targets[i];
            const std::string& name = target.port;
            const auto say = [&](const std::string& line) {
                std::lock_guard lock(telling);
                err << name << ": " << line << "\n";
            };
            const auto started = std::chrono::steady_clock::now();
            UploadOutcome outcome;
            SerialLink::PortHandle port;
            if (SerialLink::OpenSerialPort(name, port, target.baud) == 1)
                outcome = SendUpload(port, *target.companyLine, *target.block, say);
            else
                outcome.reason = "cannot open port " + name + ": " + OpenFailure(name, port.OpenError());
            port.Close();
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            say(outcome.done ? "done: " + std::to_string(outcome.sent) + " writes sent" : outcome.reason);
            char took[32];
            std::snprintf(took, sizeof took, "%.2f", seconds);
            std::lock_guard lock(telling);
            anyFailed = anyFailed || !outcome.done;
            out << "{\"port\":" << JsonString(name) << ",\"name\":" << JsonString(target.name) << ",\"result\":\""
                << (outcome.done ? "done" : "failed") << "\",\"reason\":" << JsonString(outcome.reason)
                << ",\"lines\":" << outcome.sent << ",\"seconds\":" << took << "}" << std::endl;
        }
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < std::min<int>(int(targets.size()), kUploadsAtOnce); ++t)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();
    return anyFailed ? kExitNoAnswer : kExitOk;
}
