// One polling exchange of the weight reader (purge, poll byte 0x11, read a 15-byte report) through
// the serial link, against the same exchange made with bare system calls on the same kind of line.
// Two scales answer: a bare responder thread on the master side of a pseudo-terminal, which
// answers every poll at once so the figures show what the link adds to the round trip, and the
// virtual scale the tests use.

#include "link/SerialLink.h"
#include "sim/PseudoTerminal.h"
#include "sim/VirtualScale.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

const std::string kReport("\x01\x02S  1.234kg \x03\x04", 15);

// A pseudo-terminal whose master answers each 0x11 with a framed report.
class Responder {
public:
    Responder()
    {
        // The pair stays open for the whole run, whatever the link opens and closes.
        if (!line_.Open(9600) || ::pipe2(stop_, O_CLOEXEC) != 0)
            return;
        thread_ = std::thread([this] { Run(); });
    }
    ~Responder()
    {
        if (thread_.joinable()) {
            const char stop = 1;
            (void)::write(stop_[1], &stop, 1);
            thread_.join();
        }
        for (int fd : stop_) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    bool Ok() const { return thread_.joinable(); }
    std::string Path() const { return line_.Path(); }

private:
    void Run()
    {
        char buffer[64];
        for (;;) {
            pollfd fds[2] = {{line_.Master(), POLLIN, 0}, {stop_[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0)
                continue;
            if (fds[1].revents != 0)
                return;
            const ssize_t n = ::read(line_.Master(), buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] == '\x11')
                    (void)::write(line_.Master(), kReport.data(), kReport.size());
            }
        }
    }

    PseudoTerminal line_;
    int stop_[2] = {-1, -1};
    std::thread thread_;
};

// Reads one 15-byte report from a non-blocking descriptor, waiting up to 100 ms for each piece;
// returns how many bytes came.
int ReadReport(int fd, char (&buffer)[15])
{
    int received = 0;
    while (received < 15) {
        const ssize_t n = ::read(fd, buffer + received, static_cast<std::size_t>(15 - received));
        if (n > 0) {
            received += static_cast<int>(n);
            continue;
        }
        pollfd wait {fd, POLLIN, 0};
        if (::poll(&wait, 1, 100) <= 0)
            break;
    }
    return received;
}

// Each exchange timed on its own: on a busy machine a round trip either runs at once or waits for a
// core, and the mean mixes the two. The median and the tenth percentile show the exchange itself.
class Latencies {
public:
    void Begin() { start_ = std::chrono::steady_clock::now(); }
    void End()
    {
        samples_.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start_).count());
    }
    void Report(benchmark::State& state)
    {
        if (samples_.empty())
            return;
        std::sort(samples_.begin(), samples_.end());
        state.counters["p10_us"] = samples_[samples_.size() / 10];
        state.counters["p50_us"] = samples_[samples_.size() / 2];
    }

private:
    std::chrono::steady_clock::time_point start_;
    std::vector<double> samples_;
};

Responder& TheResponder()
{
    static Responder responder;
    return responder;
}

VirtualScale& TheVirtualScale()
{
    static VirtualScale scale;
    static const bool started = [] {
        const bool ok = scale.Start();
        scale.SetSettlingTime(std::chrono::milliseconds(0));
        scale.PlaceLoad(1.234);
        return ok;
    }();
    (void)started;
    return scale;
}

std::string ResponderPath(int which)
{
    if (which == 0)
        return TheResponder().Ok() ? TheResponder().Path() : std::string();
    return TheVirtualScale().IsRunning() ? TheVirtualScale().PortPath() : std::string();
}

void BM_LinkExchange(benchmark::State& state)
{
    const std::string path = ResponderPath(static_cast<int>(state.range(0)));
    SerialLink::PortHandle port;
    if (path.empty() || SerialLink::OpenSerialPort(path, port, 9600) != 1) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    char buffer[15];
    int failures = 0;
    Latencies latencies;
    for (auto _ : state) {
        latencies.Begin();
        SerialLink::Purge(port);
        SerialLink::WriteBytes(port, "\x11", 1);
        if (SerialLink::ReadBytes(port, buffer, 15, 100) != 15)
            ++failures;
        latencies.End();
        benchmark::DoNotOptimize(buffer);
    }
    state.counters["short_reads"] = failures;
    latencies.Report(state);
}

// The same exchange on a descriptor configured the same way, with nothing in between.
void BM_BareExchange(benchmark::State& state)
{
    const std::string path = ResponderPath(static_cast<int>(state.range(0)));
    const int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    termios line {};
    ::tcgetattr(fd, &line);
    ::cfmakeraw(&line);
    ::cfsetispeed(&line, B9600);
    ::cfsetospeed(&line, B9600);
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    line.c_iflag |= IXON | IXOFF;
    ::tcsetattr(fd, TCSANOW, &line);
    ::tcflush(fd, TCIOFLUSH);

    char buffer[15];
    int failures = 0;
    Latencies latencies;
    for (auto _ : state) {
        latencies.Begin();
        ::tcflush(fd, TCIOFLUSH);
        (void)::write(fd, "\x11", 1);
        const int received = ReadReport(fd, buffer);
        if (received != 15)
            ++failures;
        latencies.End();
        benchmark::DoNotOptimize(buffer);
    }
    state.counters["short_reads"] = failures;
    latencies.Report(state);
    ::close(fd);
}

// A FIFO in a fresh temporary directory, both gone with it: a line whose answer is already waiting.
struct TempFifo {
    TempFifo()
    {
        char dir[] = "/tmp/bench-link-XXXXXX";
        if (::mkdtemp(dir) == nullptr)
            return;
        directory = dir;
        path = directory + "/line";
        ok = ::mkfifo(path.c_str(), 0600) == 0;
    }
    ~TempFifo()
    {
        if (directory.empty())
            return;
        ::unlink(path.c_str());
        ::rmdir(directory.c_str());
    }
    std::string directory;
    std::string path;
    bool ok = false;
};

// What the link adds to a call that finds its answer waiting: no responder, bytes already there.
void BM_LinkCallOverhead(benchmark::State& state)
{
    const TempFifo fifo;
    if (!fifo.ok) {
        state.SkipWithError("no FIFO");
        return;
    }
    SerialLink::PortHandle port;
    if (SerialLink::OpenSerialPort(fifo.path, port, 9600) != 1) {
        state.SkipWithError("cannot open the FIFO");
        return;
    }
    char buffer[15];
    for (auto _ : state) {
        SerialLink::WriteBytes(port, kReport.data(), kReport.size());
        benchmark::DoNotOptimize(SerialLink::ReadBytes(port, buffer, 15, 100));
    }
    port.Close();
}

void BM_BareCallOverhead(benchmark::State& state)
{
    const TempFifo fifo;
    if (!fifo.ok) {
        state.SkipWithError("no FIFO");
        return;
    }
    const int fd = ::open(fifo.path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    char buffer[15];
    for (auto _ : state) {
        (void)::write(fd, kReport.data(), kReport.size());
        const int received = ReadReport(fd, buffer);
        benchmark::DoNotOptimize(received);
    }
    ::close(fd);
}

} // namespace

// Argument: 0 the bare responder thread, 1 the virtual scale.
BENCHMARK(BM_BareExchange)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LinkExchange)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareCallOverhead)->UseRealTime()->Unit(benchmark::kNanosecond);
BENCHMARK(BM_LinkCallOverhead)->UseRealTime()->Unit(benchmark::kNanosecond);

BENCHMARK_MAIN();
