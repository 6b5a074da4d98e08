#include "sim/VirtualScale.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "sim/CommandSplitter.h"
#include "sim/ScaleModel.h"
#include "sim/TcpLine.h"
#ifndef _WIN32
#include "sim/PseudoTerminal.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

} // namespace

// The line: a worker thread reads what the tool sends, records it, cuts it into commands for the
// model and writes the model's answers to the tool as they fall due.
struct VirtualScale::State {
    std::mutex mutex;  // guards everything below but the worker
    std::condition_variable commandArrived;
    std::mutex lifecycle;  // one Start or Stop at a time

    // Lifecycle (the line is opened and closed only while the worker is not running).
    std::thread worker;
    bool running = false;
    bool stopping = false;
    std::unique_ptr<ScaleLine> line;

    // What arrived, and the scale that makes sense of it.
    Bytes received;
    // A hold armed by HoldLine(): XOFF once this many more bytes have arrived, XON after holdFor.
    std::optional<std::size_t> holdAt;
    milliseconds holdFor{0};
    std::vector<Bytes> commands;
    // Takes bytes no faster than the line's rate carries them.
    bool wireTime = false;
    CommandSplitter splitter;
    ScaleModel model;

    // Runs `f` on the state under its lock and returns what it returns.
    template <typename F>
    auto Locked(F f)
    {
        std::lock_guard lock(mutex);
        return f(*this);
    }

    void Send(std::vector<ScaleModel::Reply> replies)
    {
        for (ScaleModel::Reply& reply : replies)
            line->Send(std::move(reply.bytes), reply.due, model.BaudRate());
    }

    // The scale busy writing its memory: XOFF now, XON once it is done.
    void HoldNow(Clock::time_point now)
    {
        holdAt.reset();
        if (!line)
            return;
        line->EnableToolFlowControl();
        line->Send(Bytes("\x13"), now, model.BaudRate());
        line->Send(Bytes("\x11"), now + holdFor, model.BaudRate());
        line->Flush(now);
        Wake();
    }

    void Wake() const
    {
        if (line)
            line->Wake();
    }

    // Everything that happens with time: commands complete, the model answers and moves on,
    // answers fall due.
    void Service(Clock::time_point now)
    {
        for (const Bytes& command : splitter.Take(now)) {
            commands.push_back(command);
            commandArrived.notify_all();
            Send(model.Handle(command, now));
        }
        Send(model.Tick(now));
        line->Flush(now);
    }

    // How long the worker may sleep before something falls due; -1 for as long as it likes.
    int WaitMilliseconds(Clock::time_point now) const
    {
        std::optional<Clock::time_point> next = splitter.NextDue(now);
        const auto consider = [&](std::optional<Clock::time_point> t) {
            if (t && (!next || *t < *next))
                next = t;
        };
        consider(line->NextWrite());
        consider(model.NextTick());
        if (!next)
            return -1;
        if (*next <= now)
            return 0;
        return int(std::chrono::ceil<milliseconds>(*next - now).count());
    }

    void Run()
    {
        char buffer[4096];
        // With wire time: when the line has carried what was read so far, and how much one read takes.
        Clock::time_point readAt = Clock::now();
        for (;;) {
            int waitMs;
            bool wantWrite;
            bool paced;
            int lineBaud;
            {
                std::lock_guard lock(mutex);
                if (stopping)
                    return;
                waitMs = WaitMilliseconds(Clock::now());
                wantWrite = line->WriteBlocked();
                paced = wireTime;
                lineBaud = paced ? line->ToolBaud() : 0;
                if (lineBaud == 0)
                    lineBaud = model.BaudRate();
            }
            const auto before = Clock::now();
            const bool mayRead = !paced || before >= readAt;
            if (!mayRead) {
                const int untilRead = int(std::chrono::ceil<milliseconds>(readAt - before).count());
                waitMs = waitMs < 0 ? untilRead : std::min(waitMs, untilRead);
            }
            const ScaleLine::Readiness ready = line->Wait(mayRead, wantWrite, waitMs);
            if (!mayRead && ready.hungUp)
                std::this_thread::sleep_for(milliseconds(std::max(1, std::min(waitMs, 5))));  // a hang-up is not read yet
            std::unique_lock lock(mutex);
            if (stopping)
                return;
            // A wire-time switch that came during the wait holds from this read on.
            if (wireTime && !paced)
                continue;
            line->Accept();
            Bytes arrived;
            if (mayRead && ready.readable) {
                // Paced, a read takes about 10 ms of the line's bytes, so they trickle in as on a wire.
                const std::size_t chunk = paced ? std::size_t(std::max(1, lineBaud / 1000)) : sizeof buffer;
                const long n = line->Read(buffer, std::min(chunk, sizeof buffer));
                if (n > 0) {
                    arrived.assign(buffer, std::size_t(n));
                    if (paced) {
                        // Ten bits a byte: start, eight data, stop.
                        const auto carried = std::chrono::duration_cast<Clock::duration>(
                            std::chrono::duration<double>(double(n) * 10.0 / double(lineBaud)));
                        // A wake-up that came late is made up for while the bytes keep coming; after
                        // a pause the line starts afresh.
                        const auto now = Clock::now();
                        readAt = (now - readAt > milliseconds(50) ? now : readAt) + carried;
                    }
                } else if (n < 0) {
                    lock.unlock();
                    std::this_thread::sleep_for(milliseconds(5));  // nobody on the far side; do not spin
                    lock.lock();
                    if (stopping)
                        return;
                }
            }
            const auto now = Clock::now();
            if (!arrived.empty()) {
                received += arrived;
                commandArrived.notify_all();
                if (holdAt && received.size() >= *holdAt)
                    HoldNow(now);
                // Sent at another rate, the bytes reach the scale as noise it ignores.
                if (const int toolBaud = line->ToolBaud(); toolBaud == 0 || toolBaud == model.BaudRate())
                    splitter.Add(arrived, now);
            }
            Service(now);
        }
    }
};

VirtualScale::VirtualScale(LineKind kind) : line_(kind), state_(std::make_unique<State>())
{
#ifndef _WIN32
    if (kind == LineKind::PseudoTerminal)
        state_->line = std::make_unique<PseudoTerminal>();
#endif
    if (kind == LineKind::Tcp)
        state_->line = std::make_unique<TcpLine>();
}

VirtualScale::VirtualScale(const Bridge& bridge) : line_(LineKind::Bridged), state_(std::make_unique<State>())
{
    state_->line = std::make_unique<TcpLine>(bridge.portName, bridge.tcpPort);
}

VirtualScale::~VirtualScale()
{
    Stop();
}

bool VirtualScale::Start()
{
    State& s = *state_;
    std::lock_guard life(s.lifecycle);
    std::lock_guard lock(s.mutex);
    if (s.running)
        return true;
    // The line starts at the scale's own rate; the tool's open sets the rate it chose.
    if (!s.line) {
        errno = ENOSYS;
        return false;
    }
    if (!s.line->Open(s.model.BaudRate()))
        return false;
    s.splitter.Clear();
    s.stopping = false;
    s.running = true;
    s.model.LineUp(Clock::now());
    s.worker = std::thread([&s] { s.Run(); });
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
    s.line->Close();  // the tool's side hangs up: its reads end and its writes fail
    s.splitter.Clear();
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
    return state_->Locked([](State& s) { return s.running; });
}

std::string VirtualScale::PortPath() const
{
    return state_->Locked([](State& s) { return s.line ? s.line->Path() : std::string(); });
}

// --- what arrived ------------------------------------------------------------------------------------

Bytes VirtualScale::Received() const
{
    return state_->Locked([](State& s) { return s.received; });
}

std::vector<Bytes> VirtualScale::Commands() const
{
    return state_->Locked([](State& s) { return s.commands; });
}

void VirtualScale::ClearReceived()
{
    state_->Locked([](State& s) {
        s.received.clear();
        s.commands.clear();
    });
}

bool VirtualScale::WaitForCommands(std::size_t count, std::chrono::milliseconds timeout) const
{
    State& s = *state_;
    std::unique_lock lock(s.mutex);
    return s.commandArrived.wait_for(lock, timeout, [&] { return s.commands.size() >= count; });
}

// --- the scale ---------------------------------------------------------------------------------------

Bytes VirtualScale::CompanyName() const
{
    return state_->Locked([](State& s) { return s.model.CompanyName(); });
}

std::vector<Bytes> VirtualScale::UploadedLines() const
{
    return state_->Locked([](State& s) { return s.model.UploadedLines(); });
}

void VirtualScale::PlaceLoad(double kilograms)
{
    state_->Locked([kilograms](State& s) {
        s.model.PlaceLoad(kilograms, Clock::now());
        s.Wake();
    });
}

double VirtualScale::DisplayedWeight() const
{
    return state_->Locked([](State& s) { return s.model.Gross(Clock::now()); });
}

double VirtualScale::NetWeight() const
{
    return state_->Locked([](State& s) { return s.model.Net(Clock::now()); });
}

bool VirtualScale::IsStable() const
{
    return state_->Locked([](State& s) { return s.model.IsStable(Clock::now()); });
}

double VirtualScale::Tare() const
{
    return state_->Locked([](State& s) { return s.model.Tare(); });
}

void VirtualScale::SetSettlingTime(std::chrono::milliseconds settling)
{
    state_->Locked([settling](State& s) {
        s.model.SetSettlingTime(settling);
        s.Wake();
    });
}

void VirtualScale::StartLife()
{
    state_->Locked([](State& s) {
        s.model.StartLife(Clock::now());
        s.Wake();
    });
}

// --- test controls and options -----------------------------------------------------------------------

void VirtualScale::SetSilent(bool silent)
{
    state_->Locked([silent](State& s) { s.model.SetSilent(silent); });
}

void VirtualScale::QueueReply(const Bytes& bytes)
{
    state_->Locked([&bytes](State& s) { s.model.QueueReply(bytes); });
}

bool VirtualScale::WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const
{
    State& s = *state_;
    std::unique_lock lock(s.mutex);
    return s.commandArrived.wait_for(lock, timeout, [&] { return s.received.size() >= count; });
}

void VirtualScale::HoldLine(std::size_t afterBytes, std::chrono::milliseconds holdFor)
{
    state_->Locked([&](State& s) {
        s.holdAt = s.received.size() + afterBytes;
        s.holdFor = holdFor;
        if (afterBytes == 0)
            s.HoldNow(Clock::now());
    });
}

void VirtualScale::SendRaw(const Bytes& bytes)
{
    state_->Locked([&bytes](State& s) {
        const auto now = Clock::now();
        if (!s.line)
            return;
        s.line->Send(bytes, now, s.model.BaudRate());
        s.line->Flush(now);
        if (s.line->WriteBlocked())
            s.Wake();
    });
}

void VirtualScale::SetParameterDump(const Bytes& dump)
{
    state_->Locked([&dump](State& s) { s.model.SetParameterDump(dump); });
}

void VirtualScale::SendCalibrationLines(const Bytes& lines)
{
    SendRaw(lines);
}

int VirtualScale::PostbackRate() const
{
    return state_->Locked([](State& s) { return s.model.PostbackRate(); });
}

void VirtualScale::SetBaudRate(int baud)
{
    state_->Locked([baud](State& s) { s.model.SetBaudRate(baud); });
}

int VirtualScale::BaudRate() const
{
    return state_->Locked([](State& s) { return s.model.BaudRate(); });
}

void VirtualScale::SetSeries(ScaleSeries series)
{
    state_->Locked([series](State& s) { s.model.SetSeries(series); });
}

ScaleSeries VirtualScale::Series() const
{
    return state_->Locked([](State& s) { return s.model.Series(); });
}

void VirtualScale::SetPostbackRate(int perSecond)
{
    state_->Locked([perSecond](State& s) {
        s.model.SetPostbackRate(perSecond, Clock::now());
        s.Wake();
    });
}

void VirtualScale::SetWireTime(bool on)
{
    state_->Locked([on](State& s) {
        s.wireTime = on;
        s.Wake();
    });
}
