// scale-sim: a virtual scale for trying the tool without hardware.
//
//   scale-sim [--load KG] [--baud RATE] [--series zud|zev|rivav] [--postback N] [--verbose] [--link PATH]
//             [--hold-after BYTES --hold-for SECONDS] [--tcp PORT] [--wire-time]
//
// Prints the device path to open in the tool on the first line of stdout and runs until Ctrl+C or
// SIGTERM. A weight in kg typed on stdin (one per line) is placed on the pan; "u" (or SIGUSR1)
// pulls the cable and "p" (or SIGUSR1 again) plugs it back in, on a new device path that is
// printed (and that --link follows). With --verbose every command the scale receives is printed,
// bytes outside printable ASCII escaped. With --tcp the scale is also offered as raw TCP on
// 127.0.0.1:PORT (socket://127.0.0.1:PORT in the tool), one client at a time.

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include "cli/CommandLineOptions.h"
#include "sim/PseudoTerminal.h"
#include "sim/TcpBridge.h"
#include "sim/VirtualScale.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
volatile std::sig_atomic_t g_togglePlug = 0;

void OnSignal(int)
{
    g_stop = 1;
}

void OnToggleSignal(int)
{
    g_togglePlug = 1;
}

std::string Escaped(const Bytes& bytes)
{
    std::string text;
    for (unsigned char c : bytes) {
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '\\') {
            text += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            text += char(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            text += hex;
        }
    }
    return text;
}

void Usage(const char* program)
{
    std::fprintf(stderr,
                 "usage: %s [--load KG] [--baud RATE] [--series zud|zev|rivav] [--postback N] [--verbose] [--link PATH]\n"
                 "          [--hold-after BYTES --hold-for SECONDS] [--tcp PORT] [--wire-time]\n"
                 "  --load KG        weight on the pan at start (default 0)\n"
                 "  --baud RATE      the only line rate the scale understands (default 9600)\n"
                 "  --series NAME    answer only that series' poll: zud \"R\", zev or rivav 0x11 (default both)\n"
                 "  --postback N     send N reports per second by itself, 1..10 (default 0: only when polled)\n"
                 "  --verbose        print every command received\n"
                 "  --link PATH      also make PATH a symbolic link to the port (removed at exit)\n"
                 "  --hold-after BYTES  hold the line (XOFF) once BYTES have arrived, as a scale writing\n"
                 "                      its memory does, and release it (XON) --hold-for SECONDS later\n"
                 "  --tcp PORT       also offer the scale as raw TCP on 127.0.0.1:PORT (socket://127.0.0.1:PORT)\n"
                 "  --wire-time      take bytes no faster than the line rate carries them, so an upload\n"
                 "                   lasts as long as on a real line\n",
                 program);
}

// A decimal number (kilograms, seconds) within the range a load can have.
bool ParseKilograms(const char* text, double& kg)
{
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    while (end && (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n'))
        ++end;
    if (end == text || !end || *end != '\0' || errno != 0 || !(value > -100000.0 && value < 100000.0))
        return false;
    kg = value;
    return true;
}

bool ParseWhole(const char* text, int low, int high, int& value)
{
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || number < low || number > high)
        return false;
    value = int(number);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    double load = 0.0;
    bool verbose = false;
    bool wireTime = false;
    std::string link;
    int baud = 9600;
    ScaleSeries series = ScaleSeries::None;
    int postback = 0;
    int holdAfter = -1;
    double holdFor = 0.0;
    int tcpPort = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--verbose" || arg == "-v") {
            verbose = true;
        } else if (arg == "--wire-time") {
            wireTime = true;
        } else if (arg == "--load" && i + 1 < argc) {
            if (!ParseKilograms(argv[++i], load)) {
                std::fprintf(stderr, "%s: not a weight: %s\n", argv[0], argv[i]);
                return 2;
            }
        } else if (arg == "--baud" && i + 1 < argc) {
            if (!ParseWhole(argv[++i], 1, 230400, baud) || !PseudoTerminal::HasRate(baud)) {
                std::fprintf(stderr, "%s: not a line rate: %s\n", argv[0], argv[i]);
                return 2;
            }
        } else if (arg == "--series" && i + 1 < argc) {
            const auto named = CommandLineSeriesNamed(argv[++i]);
            if (!named) {
                std::fprintf(stderr, "%s: not a series (zud, zev, rivav): %s\n", argv[0], argv[i]);
                return 2;
            }
            series = *named;
        } else if (arg == "--postback" && i + 1 < argc) {
            if (!ParseWhole(argv[++i], 0, 10, postback)) {
                std::fprintf(stderr, "%s: not a postback rate (0..10): %s\n", argv[0], argv[i]);
                return 2;
            }
        } else if (arg == "--hold-after" && i + 1 < argc) {
            if (!ParseWhole(argv[++i], 0, 100000000, holdAfter)) {
                std::fprintf(stderr, "%s: not a byte count: %s\n", argv[0], argv[i]);
                return 2;
            }
        } else if (arg == "--hold-for" && i + 1 < argc) {
            if (!ParseKilograms(argv[++i], holdFor) || holdFor < 0) {
                std::fprintf(stderr, "%s: not a number of seconds: %s\n", argv[0], argv[i]);
                return 2;
            }
        } else if (arg == "--tcp" && i + 1 < argc) {
            if (!ParseWhole(argv[++i], 1, 65535, tcpPort)) {
                std::fprintf(stderr, "%s: not a TCP port (1..65535): %s\n", argv[0], argv[i]);
                return 2;
            }
        } else if (arg == "--link" && i + 1 < argc) {
            link = argv[++i];
        } else {
            Usage(argv[0]);
            return arg == "--help" || arg == "-h" ? 0 : 2;
        }
    }

    // The scale's thread must not take the signals: block them while it starts.
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    struct sigaction toggle {};
    toggle.sa_handler = OnToggleSignal;
    sigemptyset(&toggle.sa_mask);
    sigaction(SIGUSR1, &toggle, nullptr);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    VirtualScale scale;
    scale.SetBaudRate(baud);
    scale.SetSeries(series);
    scale.SetPostbackRate(postback);
    scale.SetWireTime(wireTime);
    scale.SetSettlingTime(std::chrono::milliseconds(0));
    scale.PlaceLoad(load);
    scale.SetSettlingTime(std::chrono::milliseconds(600));
    if (holdAfter >= 0)
        scale.HoldLine(std::size_t(holdAfter), std::chrono::milliseconds(static_cast<long long>(holdFor * 1000)));
    const bool started = scale.Start();
    // The bridge's thread is started while the signals are blocked too.
    TcpBridge bridge([&scale] { return scale.PortPath(); }, baud);
    const bool listening = !started || tcpPort == 0 || bridge.Listen(tcpPort);
    const int listenError = errno;
    pthread_sigmask(SIG_UNBLOCK, &stopSignals, nullptr);
    if (!started) {
        std::fprintf(stderr, "%s: no pseudo-terminal available: %s\n", argv[0], std::strerror(errno));
        return 1;
    }
    if (!listening) {
        std::fprintf(stderr, "%s: cannot listen on 127.0.0.1:%d: %s\n", argv[0], tcpPort, std::strerror(listenError));
        return 1;
    }
    if (!link.empty()) {
        ::unlink(link.c_str());
        if (::symlink(scale.PortPath().c_str(), link.c_str()) != 0) {
            std::fprintf(stderr, "%s: cannot link %s: %s\n", argv[0], link.c_str(), std::strerror(errno));
            link.clear();
        }
    }
    std::printf("%s\n", scale.PortPath().c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "Virtual scale ready at %d baud. Type a weight in kg and Enter to load the pan, u to unplug,"
                         " p to plug back in; Ctrl+C ends.\n", baud);
    if (tcpPort != 0)
        std::fprintf(stderr, "Also on socket://127.0.0.1:%d (raw TCP).\n", tcpPort);

    // The scale's thread must not take SIGUSR1 either: it is blocked while the scale starts again.
    const auto setPlugged = [&](bool plugged) {
        if (plugged == scale.IsRunning())
            return;
        if (!plugged) {
            scale.Unplug();
            std::fprintf(stderr, "unplugged\n");
            return;
        }
        pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
        const bool back = scale.PlugIn();
        pthread_sigmask(SIG_UNBLOCK, &stopSignals, nullptr);
        if (!back) {
            std::fprintf(stderr, "no pseudo-terminal available: %s\n", std::strerror(errno));
            return;
        }
        if (!link.empty()) {
            ::unlink(link.c_str());
            if (::symlink(scale.PortPath().c_str(), link.c_str()) != 0)
                std::fprintf(stderr, "cannot link %s: %s\n", link.c_str(), std::strerror(errno));
        }
        std::printf("%s\n", scale.PortPath().c_str());
        std::fflush(stdout);
        std::fprintf(stderr, "plugged in\n");
    };

    bool readStdin = true;
    std::size_t shown = 0;
    std::string typed;
    while (!g_stop) {
        pollfd in{STDIN_FILENO, POLLIN, 0};
        const int ready = ::poll(&in, readStdin ? 1 : 0, 50);
        if (ready > 0 && (in.revents & (POLLIN | POLLHUP))) {
            char buffer[256];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {
                readStdin = false;  // stdin closed: keep running until signalled
            } else {
                typed.append(buffer, std::size_t(n));
                for (auto end = typed.find('\n'); end != std::string::npos; end = typed.find('\n')) {
                    const std::string line = typed.substr(0, end);
                    typed.erase(0, end + 1);
                    double kg = 0.0;
                    if (line == "u" || line == "p") {
                        setPlugged(line == "p");
                    } else if (ParseKilograms(line.c_str(), kg)) {
                        scale.PlaceLoad(kg);
                        std::fprintf(stderr, "load %.3f kg\n", kg);
                    } else if (!line.empty()) {
                        std::fprintf(stderr, "not a weight: %s\n", line.c_str());
                    }
                }
            }
        }
        if (g_togglePlug) {
            g_togglePlug = 0;
            setPlugged(!scale.IsRunning());
        }
        if (verbose) {
            const auto commands = scale.Commands();
            for (; shown < commands.size(); ++shown)
                std::printf("%s\n", Escaped(commands[shown]).c_str());
            std::fflush(stdout);
            if (commands.size() > 4096) {
                scale.ClearReceived();
                shown = 0;
            }
        }
    }

    scale.Stop();
    if (!link.empty())
        ::unlink(link.c_str());
    return 0;
}
