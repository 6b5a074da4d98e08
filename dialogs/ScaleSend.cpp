#include "dialogs/ScaleSend.h"

#include "dialogs/PortLink.h"
#include "dialogs/ReportQueue.h"

#include <utility>

ScaleSend::ScaleSend(std::shared_ptr<ReportDrop> drop, Events events)
    : drop_(std::move(drop))
    , events_(std::move(events))
{
}

ScaleSend::~ScaleSend()
{
    Cancel();
    session_.reset();
}

void ScaleSend::Start(const std::string& port, int baud, Writes writes, PortLink* link)
{
    if (link != nullptr) {
        link->Run(Job(std::move(writes), false));
        return;
    }
    PortSession::Callbacks callbacks;
    callbacks.held = [drop = drop_, held = events_.held](bool on) { drop->Post([held, on] { held(on); }); };
    session_ = std::make_unique<PortSession>(std::move(callbacks));
    // The port closes once the upload has ended: a close asked for now would end it at once. The
    // end is heard on the window's thread, where this object lives until then.
    const auto ended = events_.ended;
    events_.ended = [this, ended](const UploadOutcome& outcome, std::optional<int> openError) {
        session_->Close();
        ended(outcome, openError);
    };
    session_->Open(port, baud);
    session_->Post(Job(std::move(writes), true));
}

void ScaleSend::Cancel()
{
    cancel_->Raise(StopReason::Cancel);
}

PortSession::Job ScaleSend::Job(Writes writes, bool ownPort) const
{
    // The job holds its own copies: it may outlive this object on another window's link.
    return [drop = drop_, events = events_, cancel = cancel_, writes = std::move(writes),
            ownPort](SerialLink::PortHandle& port, const StopSignal& stop) {
        if (!port.IsOpen()) {
            // A port of its own did not open; the window's port was closed or lost meanwhile.
            UploadOutcome closed;
            closed.end = UploadOutcome::End::Line;
            closed.reason = "the port is closed";
            const std::optional<int> error = ownPort ? std::optional<int>(port.OpenError()) : std::nullopt;
            drop->Post([events, closed, error] { events.ended(closed, error); });
            return;
        }
        UploadWatch watch;
        watch.cancelled = [&] { return cancel->Raised() || stop.EndsExchange(); };
        watch.progress = [&](std::size_t sent) { drop->Post([events, sent] { events.progress(sent); }); };
        const UploadOutcome outcome = SendUpload(port, writes.companyLine, writes.block, watch);
        drop->Post([events, outcome] { events.ended(outcome, std::nullopt); });
    };
}
