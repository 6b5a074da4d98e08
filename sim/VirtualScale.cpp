#include "sim/VirtualScale.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A lone T or Z is the one-byte form once nothing has followed it for this long.
constexpr milliseconds kLoneByteWait{30};
// An unfinished command is recorded as it stands after this much silence.
constexpr milliseconds kIdleFlush{200};
// The parameter dump leaves the scale in pieces, like the real one's slow UART firmware.
constexpr std::size_t kDumpChunk = 48;
constexpr milliseconds kDumpFirstDelay{5};
constexpr milliseconds kDumpGap{15};
// Bytes the tool has not read yet beyond this are dropped, like an overrun on a real line.
constexpr std::size_t kBacklogLimit = 8192;

constexpr double kZeroRangeFraction = 0.04;  // zero works within 4 % of capacity

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

std::size_t EscArgumentCount(std::uint8_t code)
{
    switch (code) {
    case 0x01: case 0x03: case 0x04: case 0x05: case 0x07: case 0x08: case 0x09: case 0x0E:
        return 1;
    case 0x02: case 0x0A: case 0x0B:
        return 2;
    default:
        return 0;
    }
}

// Weight as the scale prints it: three decimals, right-aligned in `width` characters.
Bytes WeightText(double kg, int width)
{
    kg = std::clamp(kg, -99999.999, 99999.999);
    if (std::fabs(kg) < 0.0005)
        kg = 0.0;
    char text[32];
    std::snprintf(text, sizeof text, "%*.3f", width, kg);
    return text;
}

struct LineRate {
    int baud;
    speed_t speed;
};
constexpr LineRate kLineRates[] = {
    {1200, B1200}, {2400, B2400}, {4800, B4800}, {9600, B9600}, {19200, B19200},
    {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
};

int BaudOf(speed_t speed)
{
    for (const LineRate& rate : kLineRates) {
        if (rate.speed == speed)
            return rate.baud;
    }
    return 0;
}

bool SpeedOf(int baud, speed_t& speed)
{
    for (const LineRate& rate : kLineRates) {
        if (rate.baud == baud) {
            speed = rate.speed;
            return true;
        }
    }
    return false;
}

// What bytes sent at one rate look like to a receiver set to another: a faster receiver sees each
// byte as two, a slower one sees every other, and none of them is the byte that was sent. The
// noise keeps the high bit set, so it never forms a report or a command.
Bytes Garbled(const Bytes& bytes, bool receiverFaster)
{
    Bytes noise;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = std::uint8_t(bytes[i]);
        if (receiverFaster) {
            noise += char(0x80 | (b >> 1));
            noise += char(0xFF);
        } else if (i % 2 == 0) {
            noise += char(0x80 | (b ^ 0x5A));
        }
    }
    return noise;
}

} // namespace

struct VirtualScale::State {
    mutable std::mutex mutex;
    mutable std::condition_variable commandArrived;
    std::mutex lifecycle;  // one Start or Stop at a time

    // Lifecycle (guarded by mutex; the descriptors change only while the worker is not running).
    std::thread worker;
    bool running = false;
    bool stopping = false;
    int master = -1;
    int slave = -1;
    int wakeRead = -1;
    int wakeWrite = -1;
    std::string portPath;

    // What arrived.
    Bytes received;
    std::vector<Bytes> commands;
    Bytes pending;  // bytes of a command not complete yet
    Clock::time_point lastByteAt{};

    // The line: the rate the scale talks at, and the poll it answers (SeriesNone: both).
    int lineBaud = 9600;
    int series = SeriesNone;

    // Answers.
    bool silent = false;
    std::deque<Bytes> queuedReplies;
    std::optional<Bytes> dumpOverride;
    struct Outgoing {
        Clock::time_point due;
        Bytes bytes;
    };
    std::deque<Outgoing> output;
    std::size_t frontWritten = 0;
    std::size_t backlog = 0;
    bool writeBlocked = false;

    // The load and the reading.
    double fromKg = 0.0;
    double targetKg = 0.0;
    Clock::time_point movedAt{};
    milliseconds settling{600};
    double zeroOffset = 0.0;
    double tare = 0.0;
    bool tarePending = false;
    bool zeroPending = false;
    bool wasStable = true;

    // Reporting by itself: 1..10 per second, or one report each time the reading comes to rest.
    int postbackRate = 0;
    bool stableBack = false;
    Clock::time_point nextPostback{};

    // Shop data.
    Bytes companyName;
    std::vector<Bytes> uploaded;
    std::vector<Bytes> uploading;
    bool inUpload = false;

    // Settings the scale keeps and lists in its parameter dump.
    int capacityKg = 15;
    int calibrationWeightKg = 5;
    int divisionGrams = 5;
    Bytes areaCode = "020";
    Bytes gravity = "9.788300";
    Bytes latitude = "23.12";
    Bytes altitude = "0050";
    Bytes baud = "9600";
    Bytes backMode = "CMD";
    int protocol = 0x11;
    int precisionDecimals = 0, precisionUnit = 0;
    int zeroTrackKind = 1, zeroTrackValue = 5;
    int overflowAlarm = 3;
    bool animal = false;
    int falseStability = 2;
    int ledBrightness = 3;
    bool keysLocked = false;

    // --- reading -------------------------------------------------------------------------------

    double GrossAt(Clock::time_point now) const
    {
        const double settled = targetKg - zeroOffset;
        const auto elapsed = now - movedAt;
        if (elapsed >= settling)
            return settled;
        // A damped swing past the target with a little noise, as a pan does when loaded.
        const double t = std::chrono::duration<double, std::milli>(elapsed).count();
        const double swing = (fromKg - targetKg) * std::exp(-t / 100.0) * std::cos(t * 3.14159265 / 200.0);
        const double noise = 0.002 * std::sin(t * 0.37) * (1.0 - t / double(settling.count()));
        return settled + swing + noise;
    }

    bool StableAt(Clock::time_point now) const { return now - movedAt >= settling; }

    Bytes ZudReports(Clock::time_point now) const
    {
        const double gross = GrossAt(now);
        return "ww" + WeightText(gross, 11) + "wn" + WeightText(gross - tare, 11) + "wt" + WeightText(tare, 11);
    }

    Bytes FramedReport(Clock::time_point now, bool byItself) const
    {
        Bytes report;
        report += '\x01';
        report += '\x02';
        report += StableAt(now) ? 'S' : 'U';
        report += WeightText(GrossAt(now) - tare, 9);
        report += 'k';
        report += '\x03';
        report += '\x04';
        if (byItself)
            report += '\r';
        return report;
    }

    // --- output --------------------------------------------------------------------------------

    // The rate the tool's side of the line is set to; 0 when it cannot be told.
    int ToolBaud() const
    {
        termios line{};
        if (slave < 0 || ::tcgetattr(slave, &line) != 0)
            return 0;
        return BaudOf(::cfgetospeed(&line));
    }

    bool RateMatches() const
    {
        const int toolBaud = ToolBaud();
        return toolBaud == 0 || toolBaud == lineBaud;
    }

    void Send(Bytes bytes, Clock::time_point due)
    {
        if (bytes.empty() || master < 0)
            return;
        if (const int toolBaud = ToolBaud(); toolBaud != 0 && toolBaud != lineBaud)
            bytes = Garbled(bytes, toolBaud > lineBaud);
        if (bytes.empty())
            return;
        if (backlog + bytes.size() > kBacklogLimit)
            return;
        backlog += bytes.size();
        output.push_back({due, std::move(bytes)});
    }

    // Writes what is due, in order, without blocking.
    void Flush(Clock::time_point now)
    {
        writeBlocked = false;
        while (!output.empty() && output.front().due <= now && master >= 0) {
            const Bytes& bytes = output.front().bytes;
            const ssize_t n = ::write(master, bytes.data() + frontWritten, bytes.size() - frontWritten);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                writeBlocked = (errno == EAGAIN || errno == EWOULDBLOCK);
                if (!writeBlocked)
                    DropOutput();
                return;
            }
            frontWritten += std::size_t(n);
            if (frontWritten == bytes.size()) {
                backlog -= bytes.size();
                output.pop_front();
                frontWritten = 0;
            }
        }
    }

    void DropOutput()
    {
        output.clear();
        frontWritten = 0;
        backlog = 0;
        writeBlocked = false;
    }

    void Wake() const
    {
        if (wakeWrite >= 0) {
            const char byte = 1;
            [[maybe_unused]] const ssize_t n = ::write(wakeWrite, &byte, 1);
        }
    }

    // --- splitting the stream into commands ----------------------------------------------------

    // Length of the command at the front of `p`, or 0 while more bytes are needed. `quiet` says
    // nothing has arrived for kLoneByteWait, which settles the one-byte forms.
    static std::size_t CommandLength(std::string_view p, bool quiet)
    {
        const auto c = std::uint8_t(p[0]);
        switch (c) {
        case 'T':
        case 'Z':
            if (p.size() == 1)
                return quiet ? 1 : 0;
            if (p[1] != '\r')
                return 1;
            if (p.size() == 2)
                return quiet ? 1 : 0;
            return p[2] == '\n' ? 3 : 1;
        case 0x1B: {
            if (p.size() < 3)
                return 0;
            const std::size_t length = 3 + EscArgumentCount(std::uint8_t(p[2]));
            return p.size() >= length ? length : 0;
        }
        case 0xAB:
            return p.size() >= 13 ? 13 : 0;
        case '\r':
            if (p.size() == 1)
                return quiet ? 1 : 0;
            return p[1] == '\n' ? 2 : 1;
        default:
            break;
        }
        if (c < 0x20 || c == 'R')
            return 1;  // polls (R, DC1) and stray control bytes stand alone
        const auto end = p.find("\r\n");
        if (end == std::string_view::npos)
            return 0;
        const std::size_t line = end + 2;
        if (!StartsWith(p, "Lat="))
            return line;
        // The gravity position is two lines sent in one write.
        const std::string_view rest = p.substr(line);
        constexpr std::string_view kAsl = "ASL=";
        if (rest.size() < kAsl.size() && kAsl.substr(0, rest.size()) == rest)
            return quiet ? line : 0;
        if (!StartsWith(rest, kAsl))
            return line;
        const auto aslEnd = rest.find("\r\n");
        if (aslEnd == std::string_view::npos)
            return quiet ? line : 0;
        return line + aslEnd + 2;
    }

    void Split(Clock::time_point now)
    {
        const bool quiet = now - lastByteAt >= kLoneByteWait;
        while (!pending.empty()) {
            std::size_t length = CommandLength(pending, quiet);
            if (length == 0) {
                if (now - lastByteAt < kIdleFlush)
                    return;
                length = pending.size();
            }
            Bytes command = pending.substr(0, length);
            pending.erase(0, length);
            commands.push_back(command);
            commandArrived.notify_all();
            Handle(command, now);
        }
    }

    // --- what the scale does -------------------------------------------------------------------

    void AnswerPoll(bool framed, Clock::time_point now)
    {
        if (silent)
            return;
        if (series != SeriesNone && (series == SeriesZud) == framed)
            return;  // the other series' poll means nothing to this scale
        if (!queuedReplies.empty()) {
            Send(queuedReplies.front(), now);
            queuedReplies.pop_front();
            return;
        }
        Send(framed ? FramedReport(now, false) : ZudReports(now), now);
    }

    void SetPostbackRate(int rate, Clock::time_point now)
    {
        postbackRate = rate;
        stableBack = false;
        backMode = rate > 0 ? std::to_string(rate) + "HZ" : Bytes("OFF");
        nextPostback = now + milliseconds(rate > 0 ? 1000 / rate : 0);
    }

    void Handle(const Bytes& command, Clock::time_point now)
    {
        const std::string_view c = command;
        if (c == "R" || c == "\x11") {
            AnswerPoll(c == "\x11", now);
        } else if (c == "T" || c == "T\r\n") {
            tarePending = true;
            ApplyWhenStable(now);
        } else if (c == "Z" || c == "Z\r\n") {
            zeroPending = true;
            ApplyWhenStable(now);
        } else if (c.size() >= 3 && c[0] == '\x1B' && c.size() == 3 + EscArgumentCount(std::uint8_t(c[2]))) {
            HandleEsc(std::uint8_t(c[2]), c.substr(3), now);
        } else if (c.size() == 13 && std::uint8_t(c[0]) == 0xAB) {
            HandlePostbackFrame(c, now);
        } else if (c.size() >= 2 && c.substr(c.size() - 2) == "\r\n") {
            HandleLine(c.substr(0, c.size() - 2));
        }
    }

    void HandleEsc(std::uint8_t code, std::string_view args, Clock::time_point now)
    {
        const auto arg = [&](std::size_t i) { return int(std::uint8_t(args[i])); };
        switch (code) {
        case 0x02: divisionGrams = arg(0) * 256 + arg(1); break;
        case 0x03:
            if (arg(0) <= 10) {
                SetPostbackRate(arg(0), now);
            } else if (arg(0) == 0x0E) {
                SetPostbackRate(0, now);
                backMode = "CMD";
            } else if (arg(0) == 0x0F) {
                SetPostbackRate(0, now);
                stableBack = true;
                backMode = "STABLE";
            }
            break;
        case 0x04: overflowAlarm = arg(0); break;
        case 0x05: animal = arg(0) != 0; break;
        case 0x07: falseStability = arg(0); break;
        case 0x08: ledBrightness = arg(0); break;
        case 0x09: protocol = arg(0); break;
        case 0x0A: precisionDecimals = arg(0); precisionUnit = arg(1); break;
        case 0x0B: zeroTrackKind = arg(0); zeroTrackValue = arg(1); break;
        case 0x0E: keysLocked = arg(0) == 0; break;
        case 0xFF: SendDump(now); break;
        default: break;
        }
    }

    void HandlePostbackFrame(std::string_view frame, Clock::time_point now)
    {
        unsigned sum = 0;
        for (std::size_t i = 0; i < 12; ++i)
            sum += std::uint8_t(frame[i]);
        const bool wellFormed = (sum & 0xFF) == std::uint8_t(frame[12]) && frame.substr(1, 4) == std::string_view("\0\0\0\0", 4)
            && std::uint8_t(frame[5]) == 0x80 && std::uint8_t(frame[6]) == 0x01
            && frame.substr(8, 4) == std::string_view("\0\0\0\0", 4);
        const int rate = std::uint8_t(frame[7]);
        if (wellFormed && rate <= 10)
            SetPostbackRate(rate, now);
    }

    void HandleLine(std::string_view line)
    {
        if (inUpload) {
            if (line == "end") {
                uploaded = std::move(uploading);
                uploading.clear();
                inUpload = false;
            } else if (line == "plu") {
                uploading.clear();
            } else {
                uploading.emplace_back(line);
            }
            return;
        }
        if (line == "plu") {
            inUpload = true;
            uploading.clear();
        } else if (StartsWith(line, "Co.")) {
            companyName = Bytes(line.substr(3));
        } else if (StartsWith(line, "baud:")) {
            baud = Bytes(line.substr(5));
        } else if (StartsWith(line, "code:")) {
            areaCode = Bytes(line.substr(5));
        } else if (StartsWith(line, "g=")) {
            gravity = Bytes(line.substr(2));
        } else if (StartsWith(line, "Lat=")) {
            const auto split = line.find("\r\nASL=");
            latitude = Bytes(line.substr(4, split == std::string_view::npos ? line.npos : split - 4));
            if (split != std::string_view::npos)
                altitude = Bytes(line.substr(split + 6));
        } else {
            int capacity = 0, weight = 0;
            char extra = 0;
            const Bytes text(line);
            if (std::sscanf(text.c_str(), "%d,%d%c", &capacity, &weight, &extra) == 2 && capacity > 0 && weight > 0) {
                capacityKg = capacity;
                calibrationWeightKg = weight;
            }
        }
    }

    Bytes GeneratedDump() const
    {
        const auto hex = [](int value) {
            char text[8];
            std::snprintf(text, sizeof text, "%02X", value & 0xFF);
            return Bytes(text);
        };
        Bytes dump = "parameter\r\n";
        const auto add = [&dump](std::string_view key, const Bytes& value) {
            dump += key;
            dump += '=';
            dump += value;
            dump += "\r\n";
        };
        add("MODEL", "VS-" + std::to_string(capacityKg));
        add("VER", "2.10");
        add("CAP", std::to_string(capacityKg) + "kg");
        add("DIV", divisionGrams == 0 ? Bytes("AUTO") : std::to_string(divisionGrams) + "g");
        add("CAL", std::to_string(calibrationWeightKg) + "kg");
        add("CODE", areaCode);
        add("G", gravity);
        add("LAT", latitude);
        add("ASL", altitude);
        add("BAUD", baud);
        add("BACK", backMode);
        add("PROTOCOL", hex(protocol));
        add("PRECISION", std::to_string(precisionDecimals) + "," + std::to_string(precisionUnit));
        add("ZEROTRACK", std::to_string(zeroTrackKind) + "," + std::to_string(zeroTrackValue));
        add("ALARM", std::to_string(overflowAlarm));
        add("ANIMAL", animal ? "ON" : "OFF");
        add("FSTAB", std::to_string(falseStability));
        add("LED", std::to_string(ledBrightness));
        add("KEYLOCK", keysLocked ? "ON" : "OFF");
        dump += "end\r\n";
        return dump;
    }

    void SendDump(Clock::time_point now)
    {
        if (silent)
            return;
        const Bytes dump = dumpOverride ? *dumpOverride : GeneratedDump();
        auto due = now + kDumpFirstDelay;
        for (std::size_t at = 0; at < dump.size(); at += kDumpChunk, due += kDumpGap)
            Send(dump.substr(at, kDumpChunk), due);
    }

    // Tare and zero take effect once the reading is at rest.
    void ApplyWhenStable(Clock::time_point now)
    {
        if (!StableAt(now))
            return;
        const double gross = GrossAt(now);
        if (zeroPending) {
            zeroPending = false;
            if (std::fabs(gross) <= kZeroRangeFraction * capacityKg) {
                zeroOffset += gross;
                tare = 0.0;
            }
        }
        if (tarePending) {
            tarePending = false;
            const double current = GrossAt(now);  // after a zero just taken
            if (current > -0.0005)
                tare = std::max(current, 0.0);
        }
    }

    // Everything that happens with time: lone bytes settle, loads settle, reports fall due.
    void Service(Clock::time_point now)
    {
        Split(now);
        ApplyWhenStable(now);
        const bool stable = StableAt(now);
        if (stableBack && stable && !wasStable && !silent)
            Send(FramedReport(now, true), now);
        wasStable = stable;
        if (postbackRate > 0 && now >= nextPostback) {
            const milliseconds period(1000 / postbackRate);
            if (!silent)
                Send(FramedReport(now, true), now);
            nextPostback += period;
            if (nextPostback <= now)
                nextPostback = now + period;
        }
        Flush(now);
    }

    // How long the worker may sleep before something falls due; -1 for as long as it likes.
    int WaitMilliseconds(Clock::time_point now) const
    {
        std::optional<Clock::time_point> next;
        const auto consider = [&](Clock::time_point t) {
            if (!next || t < *next)
                next = t;
        };
        if (!pending.empty())
            consider(now - lastByteAt < kLoneByteWait ? lastByteAt + kLoneByteWait : lastByteAt + kIdleFlush);
        if (!output.empty() && !writeBlocked)
            consider(output.front().due);
        if (postbackRate > 0)
            consider(nextPostback);
        if (tarePending || zeroPending || !wasStable)
            consider(movedAt + settling);  // at rest: pending tare/zero apply, a stable-back report goes
        if (!next)
            return -1;
        if (*next <= now)
            return 0;
        return int(std::chrono::ceil<milliseconds>(*next - now).count());
    }

    // --- the worker ----------------------------------------------------------------------------

    void Run(int masterFd, int wakeFd)
    {
        char buffer[4096];
        for (;;) {
            int waitMs;
            bool wantWrite;
            {
                std::lock_guard lock(mutex);
                if (stopping)
                    return;
                waitMs = WaitMilliseconds(Clock::now());
                wantWrite = writeBlocked;
            }
            pollfd fds[2] = {{masterFd, short(POLLIN | (wantWrite ? POLLOUT : 0)), 0}, {wakeFd, POLLIN, 0}};
            const int ready = ::poll(fds, 2, waitMs);
            if (ready < 0 && errno != EINTR)
                std::this_thread::sleep_for(milliseconds(5));
            if (ready > 0 && (fds[1].revents & POLLIN)) {
                while (::read(wakeFd, buffer, sizeof buffer) > 0) {
                }
            }
            Bytes arrived;
            if (ready > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
                const ssize_t n = ::read(masterFd, buffer, sizeof buffer);
                if (n > 0)
                    arrived.assign(buffer, std::size_t(n));
                else if (n < 0 && errno != EAGAIN && errno != EINTR)
                    std::this_thread::sleep_for(milliseconds(5));  // nobody on the far side; do not spin
            }
            std::lock_guard lock(mutex);
            if (stopping)
                return;
            const auto now = Clock::now();
            if (!arrived.empty()) {
                received += arrived;
                // Sent at another rate, the bytes reach the scale as noise it ignores.
                if (RateMatches()) {
                    pending += arrived;
                    lastByteAt = now;
                }
            }
            Service(now);
        }
    }
};

std::size_t VirtualScale::CommandLength(std::string_view pending, bool quiet)
{
    return State::CommandLength(pending, quiet);
}

VirtualScale::VirtualScale() : state_(std::make_unique<State>()) {}

VirtualScale::~VirtualScale()
{
    Stop();
}

bool VirtualScale::Start()
{
    State& s = *state_;
    std::lock_guard life(s.lifecycle);
    {
        std::lock_guard lock(s.mutex);
        if (s.running)
            return true;
    }
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return false;
    char name[256] = {};
    int wake[2] = {-1, -1};
    int slave = -1;
    const auto fail = [&] {
        for (int fd : {master, slave, wake[0], wake[1]})
            if (fd >= 0)
                ::close(fd);
        return false;
    };
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0)
        return fail();
    // Keeping the far side open ourselves means the tool can close and reopen the port without
    // the pair hanging up; raw from the start so nothing is echoed or cooked.
    slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0)
        return fail();
    termios raw{};
    if (::tcgetattr(slave, &raw) != 0)
        return fail();
    ::cfmakeraw(&raw);
    // The line starts at the scale's own rate; the tool's open sets the rate it chose.
    speed_t speed;
    {
        std::lock_guard lock(s.mutex);
        if (SpeedOf(s.lineBaud, speed)) {
            ::cfsetispeed(&raw, speed);
            ::cfsetospeed(&raw, speed);
        }
    }
    if (::tcsetattr(slave, TCSANOW, &raw) != 0)
        return fail();
    if (::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0
        || ::fcntl(master, F_SETFD, FD_CLOEXEC) != 0 || ::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail();

    const auto now = Clock::now();
    std::lock_guard lock(s.mutex);
    s.master = master;
    s.slave = slave;
    s.wakeRead = wake[0];
    s.wakeWrite = wake[1];
    s.portPath = name;
    s.pending.clear();
    s.DropOutput();
    s.stopping = false;
    s.running = true;
    if (s.postbackRate > 0)
        s.nextPostback = now + milliseconds(1000 / s.postbackRate);
    s.worker = std::thread([&s, master, wakeRead = wake[0]] { s.Run(master, wakeRead); });
    return true;
}

void VirtualScale::Stop()
{
    State& s = *state_;
    std::lock_guard life(s.lifecycle);
    {
        std::lock_guard lock(s.mutex);
        if (!s.running)
            return;
        s.stopping = true;
        s.Wake();
    }
    s.worker.join();
    std::lock_guard lock(s.mutex);
    // Closing our side hangs up the tool's: its reads end and its writes fail.
    for (int* fd : {&s.master, &s.slave, &s.wakeRead, &s.wakeWrite}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    s.DropOutput();
    s.pending.clear();
    s.running = false;
    s.stopping = false;
}

void VirtualScale::Unplug()
{
    Stop();
}

bool VirtualScale::PlugIn()
{
    return Start();
}

bool VirtualScale::IsRunning() const
{
    std::lock_guard lock(state_->mutex);
    return state_->running;
}

std::string VirtualScale::PortPath() const
{
    std::lock_guard lock(state_->mutex);
    return state_->portPath;
}

Bytes VirtualScale::Received() const
{
    std::lock_guard lock(state_->mutex);
    return state_->received;
}

std::vector<Bytes> VirtualScale::Commands() const
{
    std::lock_guard lock(state_->mutex);
    return state_->commands;
}

void VirtualScale::ClearReceived()
{
    std::lock_guard lock(state_->mutex);
    state_->received.clear();
    state_->commands.clear();
}

bool VirtualScale::WaitForCommands(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(state_->mutex);
    return state_->commandArrived.wait_for(lock, timeout, [&] { return state_->commands.size() >= count; });
}

Bytes VirtualScale::CompanyName() const
{
    std::lock_guard lock(state_->mutex);
    return state_->companyName;
}

std::vector<Bytes> VirtualScale::UploadedLines() const
{
    std::lock_guard lock(state_->mutex);
    return state_->uploaded;
}

void VirtualScale::PlaceLoad(double kilograms)
{
    State& s = *state_;
    std::lock_guard lock(s.mutex);
    if (kilograms == s.targetKg)
        return;
    const auto now = Clock::now();
    s.fromKg = s.GrossAt(now) + s.zeroOffset;
    s.targetKg = kilograms;
    s.movedAt = now;
    s.wasStable = s.StableAt(now);
    s.Wake();
}

double VirtualScale::DisplayedWeight() const
{
    std::lock_guard lock(state_->mutex);
    return state_->GrossAt(Clock::now());
}

double VirtualScale::NetWeight() const
{
    std::lock_guard lock(state_->mutex);
    return state_->GrossAt(Clock::now()) - state_->tare;
}

bool VirtualScale::IsStable() const
{
    std::lock_guard lock(state_->mutex);
    return state_->StableAt(Clock::now());
}

double VirtualScale::Tare() const
{
    std::lock_guard lock(state_->mutex);
    return state_->tare;
}

void VirtualScale::SetSettlingTime(std::chrono::milliseconds settling)
{
    std::lock_guard lock(state_->mutex);
    state_->settling = std::max(settling, milliseconds(0));
    state_->Wake();
}

void VirtualScale::SetSilent(bool silent)
{
    std::lock_guard lock(state_->mutex);
    state_->silent = silent;
}

void VirtualScale::QueueReply(const Bytes& bytes)
{
    std::lock_guard lock(state_->mutex);
    state_->queuedReplies.push_back(bytes);
}

void VirtualScale::SendRaw(const Bytes& bytes)
{
    State& s = *state_;
    std::lock_guard lock(s.mutex);
    const auto now = Clock::now();
    s.Send(bytes, now);
    s.Flush(now);
    if (s.writeBlocked)
        s.Wake();
}

void VirtualScale::SetParameterDump(const Bytes& dump)
{
    std::lock_guard lock(state_->mutex);
    state_->dumpOverride = dump;
}

void VirtualScale::SendCalibrationLines(const Bytes& lines)
{
    SendRaw(lines);
}

int VirtualScale::PostbackRate() const
{
    std::lock_guard lock(state_->mutex);
    return state_->postbackRate;
}

void VirtualScale::SetBaudRate(int baud)
{
    std::lock_guard lock(state_->mutex);
    state_->lineBaud = baud;
    state_->baud = std::to_string(baud);
}

int VirtualScale::BaudRate() const
{
    std::lock_guard lock(state_->mutex);
    return state_->lineBaud;
}

void VirtualScale::SetSeries(int series)
{
    std::lock_guard lock(state_->mutex);
    state_->series = series;
}

int VirtualScale::Series() const
{
    std::lock_guard lock(state_->mutex);
    return state_->series;
}

void VirtualScale::SetPostbackRate(int perSecond)
{
    State& s = *state_;
    std::lock_guard lock(s.mutex);
    s.SetPostbackRate(std::clamp(perSecond, 0, 10), Clock::now());
    s.Wake();
}
