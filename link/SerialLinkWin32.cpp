#include "link/SerialLink.h"


#include <windows.h>

#include <algorithm>
#include <climits>

namespace SerialLink {

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// Port time-outs in milliseconds: a read with nothing arriving waits 100 ms plus 1 ms per byte
// asked for, and ends 100 ms after the last byte; writes have no time-out of their own.
constexpr DWORD kReadIntervalTimeout = 100;
constexpr DWORD kReadTotalMultiplier = 1;
constexpr DWORD kReadTotalConstant = 100;
// The pause between two reads that delivered nothing.
constexpr DWORD kReadPauseMs = 20;

// Binary, the given rate, 8N1, XON/XOFF both ways (sending goes on after our own XOFF), DTR and
// RTS off; every other field keeps the driver's value.
bool Configure(HANDLE port, int baud)
{
    DCB settings {};
    settings.DCBlength = sizeof settings;
    (void)::GetCommState(port, &settings);
    settings.BaudRate = static_cast<DWORD>(baud);
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    settings.fBinary = TRUE;
    settings.fParity = FALSE;
    settings.fDtrControl = DTR_CONTROL_DISABLE;
    settings.fRtsControl = RTS_CONTROL_DISABLE;
    settings.fTXContinueOnXoff = TRUE;
    settings.fOutX = TRUE;
    settings.fInX = TRUE;
    if (!::SetCommState(port, &settings))
        return false;

    COMMTIMEOUTS timeouts {};
    (void)::GetCommTimeouts(port, &timeouts);
    timeouts.ReadIntervalTimeout = kReadIntervalTimeout;
    timeouts.ReadTotalTimeoutMultiplier = kReadTotalMultiplier;
    timeouts.ReadTotalTimeoutConstant = kReadTotalConstant;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    return ::SetCommTimeouts(port, &timeouts) != FALSE;
}

// Gives queued output its time on the wire until `until`, then drops what a held line keeps.
// Nothing is dropped once the queue is empty: a purge would also take bytes the far side of a
// virtual port has not read yet.
void DrainOutput(HANDLE port, Clock::time_point until)
{
    for (;;) {
        DWORD errors = 0;
        COMSTAT status {};
        if (!::ClearCommError(port, &errors, &status) || status.cbOutQue == 0)
            return;
        if (Clock::now() >= until)
            break;
        ::Sleep(5);
    }
    ::PurgeComm(port, PURGE_TXABORT | PURGE_TXCLEAR);
}

Clock::time_point Earlier(Clock::time_point until, Clock::rep deadline)
{
    if (deadline == 0)
        return until;
    return std::min(until, Clock::time_point(Clock::duration(deadline)));
}

} // namespace

// The deadline timer's callback: ends the I/O in progress, which a held write has no other way to.
void CancelIoOnDeadline(PortHandle& handle)
{
    std::lock_guard<std::mutex> lock(handle.mutex_);
    if (handle.device_.IsOpen() && handle.usesInProgress_ > 0)
        ::CancelIoEx(handle.device_.handle, nullptr);
}

namespace {

void CALLBACK OnDeadline(PTP_CALLBACK_INSTANCE, PVOID context, PTP_TIMER)
{
    CancelIoOnDeadline(*static_cast<PortHandle*>(context));
}

} // namespace

PortHandle::PortHandle()
{
    // Without the event a close still waits for calls in progress; they end by their own bounds.
    wake_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

PortHandle::~PortHandle()
{
    Close();
    if (deadlineTimer_ != nullptr) {
        auto* timer = static_cast<PTP_TIMER>(deadlineTimer_);
        ::SetThreadpoolTimer(timer, nullptr, 0, 0);
        ::WaitForThreadpoolTimerCallbacks(timer, TRUE);
        ::CloseThreadpoolTimer(timer);
    }
    if (wake_ != nullptr)
        ::CloseHandle(wake_);
}

void PortHandle::WakeUses()
{
    if (wake_ != nullptr)
        ::SetEvent(wake_);
    // A write held by XOFF has no time-out: cancelling is what ends it.
    ::CancelIoEx(device_.handle, nullptr);
}

void PortHandle::ResetWake()
{
    if (wake_ != nullptr)
        ::ResetEvent(wake_);
}

void PortHandle::CloseDevice(const Device& closed)
{
    if (deadlineTimer_ != nullptr)
        ::SetThreadpoolTimer(static_cast<PTP_TIMER>(deadlineTimer_), nullptr, 0, 0);
    if (closed.comPort)
        DrainOutput(closed.handle, Earlier(Clock::now() + Millis(kCloseDrainMs), deadline_.load()));
    ::CloseHandle(closed.handle);
}

void PortHandle::SetIoDeadline(Clock::time_point deadline)
{
    deadline_ = deadline.time_since_epoch().count();
    std::lock_guard<std::mutex> lock(mutex_);
    if (deadlineTimer_ == nullptr)
        deadlineTimer_ = ::CreateThreadpoolTimer(&OnDeadline, this, nullptr);
    if (deadlineTimer_ == nullptr)
        return;
    const auto left = std::max<long long>(std::chrono::ceil<Millis>(deadline - Clock::now()).count(), 0);
    // A negative due time is relative, in 100 ns units.
    ULARGE_INTEGER due;
    due.QuadPart = static_cast<ULONGLONG>(-(left * 10000));
    FILETIME dueTime {due.LowPart, due.HighPart};
    ::SetThreadpoolTimer(static_cast<PTP_TIMER>(deadlineTimer_), &dueTime, 0, 0);
}

int OpenSerialPort(const std::string& name, PortHandle& handle, int baud)
{
    std::lock_guard<std::mutex> serial(handle.openClose_);
    handle.CloseHeld();

    HANDLE port = ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    if (port == INVALID_HANDLE_VALUE)
        return 0;
    // A device named otherwise (a virtual-port driver's) keeps the settings its driver has.
    const bool comPort = name.find("COM") != std::string::npos;
    if (comPort) {
        if (baud <= 0 || !Configure(port, baud)) {
            ::PurgeComm(port, PURGE_TXCLEAR | PURGE_RXCLEAR);
            ::CloseHandle(port);
            return 0;
        }
        ::PurgeComm(port, PURGE_TXCLEAR | PURGE_RXCLEAR);
    }

    std::lock_guard<std::mutex> lock(handle.mutex_);
    handle.device_ = PortHandle::Device{port, comPort};
    handle.fault_ = PortFaultInfo{};
    handle.deadline_ = 0;
    return 1;
}

int PortHandle::WriteDevice(const Device& device, const void* bytes, std::size_t length)
{
    DWORD written = 0;
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(length, INT_MAX));
    const bool ok = ::WriteFile(device.handle, bytes, asked, &written, nullptr) != FALSE;
    const DWORD error = ok ? 0 : ::GetLastError();
    Observe(LineDirection::Written, bytes, static_cast<int>(written));
    // A write cancelled by a close or the owner's deadline is not the line's fault.
    if (written < asked && error != ERROR_OPERATION_ABORTED) {
        if (ok)
            NoteFault(PortFault::ShortWrite, 0);
        else
            NoteFault(PortHandle::HasHungUp(device) ? PortFault::HungUp : PortFault::IoError,
                             static_cast<int>(error));
    }
    return static_cast<int>(written);
}

int PortHandle::ReadDevice(const Device& device, void* buffer, int count, int limitMs)
{
    auto* data = static_cast<char*>(buffer);
    const DWORD limit = static_cast<DWORD>(std::max(limitMs, 0));
    const DWORD start = ::GetTickCount();
    int received = 0;
    bool closing = false;
    PortFault fault = PortFault::None;
    DWORD error = 0;
    while (received < count) {
        DWORD n = 0;
        if (!::ReadFile(device.handle, data + received, static_cast<DWORD>(count - received), &n, nullptr)) {
            const DWORD failure = ::GetLastError();
            if (failure == ERROR_OPERATION_ABORTED) {
                closing = true;  // cancelled by a close or the owner's deadline
                break;
            }
            if (fault == PortFault::None) {
                fault = PortHandle::HasHungUp(device) ? PortFault::HungUp : PortFault::IoError;
                error = failure;
            }
            n = 0;
        }
        if (n > 0) {
            // Bytes keep the read going: the limit is looked at only once the line is silent.
            received += static_cast<int>(n);
            continue;
        }
        // A read can end empty on a port whose device is gone; its status says so.
        if (fault == PortFault::None && PortHandle::HasHungUp(device))
            fault = PortFault::HungUp;
        if (::GetTickCount() - start >= limit)
            break;
        // A dead port fails at once: the pause keeps a caller that loops on it from spinning.
        if (wake_ != nullptr) {
            if (::WaitForSingleObject(wake_, kReadPauseMs) == WAIT_OBJECT_0) {
                closing = true;
                break;
            }
        } else {
            ::Sleep(kReadPauseMs);
        }
    }
    return EndRead(data, received, fault, static_cast<int>(error), closing);
}

void PortHandle::PurgeInput(const Device& device)
{
    // Input only: what a write handed to the driver still goes out.
    if (device.comPort)
        ::PurgeComm(device.handle, PURGE_RXCLEAR);
}

bool PortHandle::HasHungUp(const Device& device)
{
    // A COM port that no longer answers even for its status is gone.
    DWORD errors = 0;
    COMSTAT status {};
    return device.comPort && !::ClearCommError(device.handle, &errors, &status);
}

} // namespace SerialLink
