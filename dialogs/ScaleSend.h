#pragma once

#include "commodity/CommodityUpload.h"
#include "link/PortSession.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class PortLink;
class ReportDrop;

// One upload to one scale: on a port session of its own (opened for it and closed once its output
// has left), or as an exchange on the window's link when that holds the scale's port open, so the
// port is never opened twice. Each event runs on the window's thread, through the drop.
class ScaleSend {
public:
    struct Events {
        std::function<void(std::size_t sent)> progress;
        std::function<void(bool held)> held;
        // `openError`: the port did not open, for this reason; else the upload's outcome.
        std::function<void(const UploadOutcome& outcome, std::optional<int> openError)> ended;
    };
    struct Writes {
        Bytes companyLine;  // empty: none
        std::vector<Bytes> block;
    };

    ScaleSend(std::shared_ptr<ReportDrop> drop, Events events);
    // Cancels; a session of its own then sends the block's last line, waits for its output to
    // leave and is joined.
    ~ScaleSend();
    ScaleSend(const ScaleSend&) = delete;
    ScaleSend& operator=(const ScaleSend&) = delete;

    // On `link` when given (its port is the scale's and open), else on a session of its own.
    void Start(const std::string& port, int baud, Writes writes, PortLink* link);
    void Cancel();

private:
    PortSession::Job Job(Writes writes, bool ownPort) const;

    std::shared_ptr<ReportDrop> drop_;
    Events events_;
    std::shared_ptr<StopSignal> cancel_ = std::make_shared<StopSignal>();
    std::unique_ptr<PortSession> session_;  // last: its worker reports through the members above
};
