#include "dialogs/PortLink.h"

#include "commodity/CommodityUpload.h"
#include "link/ParameterDump.h"
#include "link/WeightReading.h"
#include "rules/CalibrationReading.h"

#include <utility>

namespace {

QByteArray ToBytes(const std::string& text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

} // namespace

PortLink::PortLink(QObject* parent)
    : QObject(parent)
{
    // Called on the worker: each report is emitted later on the window's thread, after the state
    // the queries tell has been brought up to it.
    PortSession::Callbacks callbacks;
    callbacks.opened = [this](int error) {
        reports_.Post([this, error] {
            changing_ = false;
            open_ = error == 0;
            emit opened(error);
        });
    };
    callbacks.closed = [this] {
        reports_.Post([this] {
            changing_ = false;
            open_ = false;
            emit closed();
        });
    };
    callbacks.lost = [this](SerialLink::PortFaultInfo fault) {
        reports_.Post([this, fault] {
            changing_ = false;
            open_ = false;
            emit lost(int(fault.fault), fault.error);
        });
    };
    callbacks.held = [this](bool held) { reports_.Post([this, held] { emit lineHeld(held); }); };
    callbacks.cycleEnded = [this] {
        reports_.Post([this] {
            if (readings_ > 0 && --readings_ == 0)
                emit readingEnded();
        });
    };
    session_ = std::make_unique<PortSession>(std::move(callbacks));
}

PortLink::~PortLink()
{
    session_.reset();
}

void PortLink::Open(const std::string& name, int baud)
{
    name_ = name;
    changing_ = true;
    session_->Open(name, baud);
}

void PortLink::Close()
{
    changing_ = true;
    session_->Close();
}

void PortLink::Send(const Bytes& bytes, const QString& what)
{
    if (bytes.empty())
        return;
    if (!open_) {
        if (!what.isEmpty())
            emit sent(what, false);
        return;
    }
    session_->Post([this, bytes, what](SerialLink::PortHandle& port, const StopSignal&) {
        // Sent means on the wire: the bytes have left the port, not only reached the driver.
        const bool whole = SerialLink::WriteBytes(port, bytes.data(), bytes.size()) == int(bytes.size())
            && SerialLink::Drain(port);
        if (!what.isEmpty())
            reports_.Post([this, what, whole] { emit sent(what, whole); });
    });
}

void PortLink::StartReading(std::function<ScaleSeries()> series, std::function<bool()> activeReturn,
                            std::function<int()> sleepMs)
{
    ++readings_;
    session_->StartCycle([=, this](SerialLink::PortHandle& port, const StopSignal& stop) {
        const ScaleSeries cycleSeries = series();
        WeightReading::Callbacks shown;
        shown.valueRead = [this, cycleSeries](WeightReport::Quantity quantity, const std::string& text) {
            reports_.Post([this, cycleSeries, quantity, text = ToBytes(text)] { emit valueRead(cycleSeries, quantity, text); });
        };
        shown.stableRead = [this](bool stable) { reports_.Post([this, stable] { emit stableRead(stable); }); };
        WeightReading::RunCycle(port, cycleSeries, activeReturn, shown, [&stop] { return stop.Raised(); });
        return sleepMs();
    });
}

void PortLink::StopReading()
{
    session_->StopCycle();
}

void PortLink::Upload(std::vector<Bytes> writes)
{
    if (uploading_)
        return;
    uploading_ = true;
    uploadCancel_ = std::make_shared<StopSignal>();
    session_->Post([this, writes = std::move(writes), cancel = uploadCancel_](SerialLink::PortHandle& port,
                                                                               const StopSignal& stop) {
        const bool wasOpen = port.IsOpen();
        const auto cancelled = [&] { return cancel->Raised() || stop.EndsExchange(); };
        const bool sent = SendUploadBlock(port, writes, cancelled,
                                          [this](int count) { reports_.Post([this, count] { emit uploadProgress(count); }); });
        // Done only once the last line has left for the scale.
        reports_.Post([this] { emit uploadDraining(); });
        const bool drained = SerialLink::Drain(port);
        const bool whole = wasOpen && sent && drained && !cancelled();
        reports_.Post([this, whole] {
            uploading_ = false;
            emit uploadEnded(whole);
        });
    });
}

void PortLink::Run(PortSession::Job job)
{
    session_->Post(std::move(job));
}

void PortLink::CancelUpload()
{
    uploadCancel_->Raise(StopReason::Cancel);
}

void PortLink::ReadParameters()
{
    session_->Post([this](SerialLink::PortHandle& port, const StopSignal& stop) {
        const bool wasOpen = port.IsOpen();
        const QByteArray dump = ToBytes(ReadParameterDump(port, &stop));
        const bool whole = wasOpen && port.Fault().fault == SerialLink::PortFault::None;
        reports_.Post([this, dump, whole] { emit parametersRead(dump, whole); });
    });
}

void PortLink::ReadCalibration()
{
    if (tickPending_ || !open_)
        return;
    tickPending_ = true;
    session_->Post([this](SerialLink::PortHandle& port, const StopSignal&) {
        const QByteArray received = ToBytes(CalibrationReading::ReadBlock(port));
        reports_.Post([this, received] {
            tickPending_ = false;
            emit calibrationRead(received);
        });
    });
}

void PortLink::SetLineObserver(SerialLink::PortHandle::LineObserver observer)
{
    session_->SetLineObserver(std::move(observer));
}

void PortLink::ListPorts()
{
    session_->Post([this](SerialLink::PortHandle&, const StopSignal&) {
        reports_.Post([this, names = SystemPorts()] { emit portsListed(names); });
    });
}

QStringList PortLink::SystemPorts()
{
    std::vector<std::string> ports;
    SerialLink::ListSerialPorts(ports);
    QStringList names;
    for (const std::string& listed : ports)
        names << QString::fromLocal8Bit(SerialLink::OfferedPortName(listed).c_str());
    return names;
}
