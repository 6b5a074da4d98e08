#pragma once

#include "link/SerialLink.h"

namespace SerialLink {

// One I/O call's claim on the port. While any claim is alive the port stays open; Close() waits
// until the last one is gone. No claim is granted once Close() has begun.
class PortUse {
public:
    explicit PortUse(PortHandle& handle) : handle_(handle)
    {
        std::lock_guard<std::mutex> lock(handle_.mutex_);
        if (!handle_.device_.IsOpen() || handle_.closing_)
            return;
        ++handle_.usesInProgress_;
        granted_ = true;
        port = handle_.device_;
    }
    ~PortUse()
    {
        if (!granted_)
            return;
        std::lock_guard<std::mutex> lock(handle_.mutex_);
        if (--handle_.usesInProgress_ == 0)
            handle_.idle_.notify_all();
    }
    PortUse(const PortUse&) = delete;
    PortUse& operator=(const PortUse&) = delete;

    explicit operator bool() const { return granted_; }

    // The port as it was when the claim was granted; closed (the default) when it was refused.
    PortHandle::Device port;

private:
    PortHandle& handle_;
    bool granted_ = false;
};

} // namespace SerialLink
