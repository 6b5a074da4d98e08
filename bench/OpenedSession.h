#pragma once

#include "link/PortSession.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

// A port session opened on `path` for a benchmark, once the open has ended (at most 5 s); null when
// the port did not open.
inline std::unique_ptr<PortSession> OpenedSession(const std::string& path, int baud)
{
    struct Outcome {
        std::mutex mutex;
        std::condition_variable reported;
        int error = -1;  // -1 until the session reports
    };
    auto outcome = std::make_shared<Outcome>();
    PortSession::Callbacks callbacks;
    callbacks.opened = [outcome](int error) {
        std::lock_guard lock(outcome->mutex);
        outcome->error = error;
        outcome->reported.notify_all();
    };
    auto session = std::make_unique<PortSession>(callbacks);
    session->Open(path, baud);
    std::unique_lock lock(outcome->mutex);
    outcome->reported.wait_for(lock, std::chrono::seconds(5), [&] { return outcome->error >= 0; });
    return outcome->error == 0 ? std::move(session) : nullptr;
}
