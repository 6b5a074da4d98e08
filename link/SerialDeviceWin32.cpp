#include "link/PortDevice.h"

#include "link/ComPortName.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <string>

namespace SerialLink {

namespace {

// Binary, the given rate, 8N1, XON/XOFF both ways (sending goes on after our own XOFF), DTR and
// RTS off. What another program may have left set and this line does not have is cleared: CTS or
// DSR flow stalls every write on a three-wire cable, DSR sensitivity drops what arrives, null
// stripping and error-character replacement change the data, and abort-on-error makes one framing
// error fail every later read and write.
bool Configure(HANDLE port, int baud)
{
    DCB settings {};
    settings.DCBlength = sizeof settings;
    if (!::GetCommState(port, &settings))
        return false;
    settings.BaudRate = static_cast<DWORD>(baud);
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    settings.fBinary = TRUE;
    settings.fParity = FALSE;
    settings.fOutxCtsFlow = FALSE;
    settings.fOutxDsrFlow = FALSE;
    settings.fDsrSensitivity = FALSE;
    settings.fDtrControl = DTR_CONTROL_DISABLE;
    settings.fRtsControl = RTS_CONTROL_DISABLE;
    settings.fTXContinueOnXoff = TRUE;
    settings.fOutX = TRUE;
    settings.fInX = TRUE;
    settings.XonChar = 0x11;
    settings.XoffChar = 0x13;
    settings.fErrorChar = FALSE;
    settings.fNull = FALSE;
    settings.fAbortOnError = FALSE;
    return ::SetCommState(port, &settings) != FALSE;
}

std::wstring Wide(const std::string& utf8)
{
    const int chars = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(chars > 0 ? chars : 0), L'\0');
    if (chars > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), chars);
    return wide;
}

class Win32SerialDevice final : public PortDevice {
public:
    Win32SerialDevice(HANDLE port, bool comPort, int baud) : port_(port), comPort_(comPort), baud_(baud) {}

    ~Win32SerialDevice() override { ::CloseHandle(port_); }

    IoResult Write(const char* bytes, std::size_t length, int waitMs) override
    {
        // A write ends after its wait with what went out; the handle judges the line's progress.
        SetTimeouts(0, DWORD(std::max(waitMs, 1)));
        DWORD written = 0;
        const DWORD asked = DWORD(std::min<std::size_t>(length, INT_MAX));
        if (!::WriteFile(port_, bytes, asked, &written, nullptr)) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_TIMEOUT && error != ERROR_SEM_TIMEOUT && !ClearedLineError(error))
                return Failure(error, written);
        }
        return IoResult{written};
    }

    IoResult Read(char* buffer, std::size_t count, int waitMs) override
    {
        // What has arrived at once; else the first bytes to arrive within the wait.
        SetTimeouts(DWORD(std::max(waitMs, 0)), 0);
        DWORD n = 0;
        const DWORD asked = DWORD(std::min<std::size_t>(count, INT_MAX));
        if (!::ReadFile(port_, buffer, asked, &n, nullptr)) {
            const DWORD error = ::GetLastError();
            if (!ClearedLineError(error))
                return Failure(error, n);
        }
        // A port whose device went away (an adapter pulled, the far side of a virtual port closed)
        // may read nothing without an error: only its status says so.
        if (n == 0 && comPort_ && waitMs > 0 && HasHungUp())
            return IoResult{0, PortFault::HungUp, 0};
        if (n == 0 && !comPort_ && waitMs > 0)
            ::Sleep(DWORD(waitMs));  // another driver's device may not wait: the wait is spent here
        return IoResult{n};
    }

    std::size_t OutputQueued() override
    {
        DWORD errors = 0;
        COMSTAT status {};
        return comPort_ && ::ClearCommError(port_, &errors, &status) ? status.cbOutQue : 0;
    }

    void DiscardInput() override
    {
        if (comPort_)
            ::PurgeComm(port_, PURGE_RXCLEAR);
    }

    void DiscardOutput() override
    {
        if (comPort_)
            ::PurgeComm(port_, PURGE_TXABORT | PURGE_TXCLEAR);
    }

    bool HasHungUp() override
    {
        // A COM port that no longer answers even for its status is gone.
        DWORD errors = 0;
        COMSTAT status {};
        return comPort_ && !::ClearCommError(port_, &errors, &status);
    }

    int Baud() const override { return comPort_ ? baud_ : 0; }

private:
    // Reads: MAXDWORD/MAXDWORD/wait returns what is there at once, else waits for the first byte;
    // with a wait of 0 it returns at once. Writes: a total time-out of the wait.
    void SetTimeouts(DWORD readWait, DWORD writeWait)
    {
        COMMTIMEOUTS timeouts {};
        if (writeWait == 0) {
            timeouts.ReadIntervalTimeout = MAXDWORD;
            timeouts.ReadTotalTimeoutMultiplier = readWait > 0 ? MAXDWORD : 0;
            timeouts.ReadTotalTimeoutConstant = readWait;
        }
        timeouts.WriteTotalTimeoutConstant = writeWait;
        if (timeoutsSet_ && std::memcmp(&timeouts, &timeouts_, sizeof timeouts) == 0)
            return;
        timeoutsSet_ = ::SetCommTimeouts(port_, &timeouts) != FALSE;
        timeouts_ = timeouts;
    }

    // A driver that aborts on a line error (a framing error, an overrun) despite the settings
    // fails every call until the error is cleared: clear it, and the caller goes on.
    bool ClearedLineError(DWORD error)
    {
        DWORD errors = 0;
        COMSTAT status {};
        return comPort_ && error == ERROR_OPERATION_ABORTED && ::ClearCommError(port_, &errors, &status);
    }

    IoResult Failure(DWORD error, DWORD moved)
    {
        return IoResult{moved, HasHungUp() ? PortFault::HungUp : PortFault::IoError, int(error)};
    }

    HANDLE port_;
    bool comPort_;
    int baud_;
    bool timeoutsSet_ = false;
    COMMTIMEOUTS timeouts_ {};
};

} // namespace

std::unique_ptr<PortDevice> OpenDevice(const std::string& name, int baud, int& error)
{
    const std::optional<std::string> comPath = ComDevicePath(name);
    HANDLE port = ::CreateFileW(Wide(comPath.value_or(name)).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        error = int(::GetLastError());
        return nullptr;
    }
    // A device that has no line settings (a file, a pipe) keeps what it has; any serial device
    // (another driver's virtual port included) is set up as a COM port is.
    DCB found {};
    found.DCBlength = sizeof found;
    const bool comPort = comPath.has_value() || ::GetCommState(port, &found);
    if (comPort) {
        if (baud <= 0 || !Configure(port, baud)) {
            error = baud <= 0 ? ERROR_INVALID_PARAMETER : int(::GetLastError());
            if (error == 0)
                error = ERROR_INVALID_PARAMETER;
            ::CloseHandle(port);
            return nullptr;
        }
        ::PurgeComm(port, PURGE_TXCLEAR | PURGE_RXCLEAR);
        DWORD errors = 0;
        ::ClearCommError(port, &errors, nullptr);
    }
    return std::make_unique<Win32SerialDevice>(port, comPort, baud);
}

} // namespace SerialLink
