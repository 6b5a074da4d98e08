#pragma once

#include "link/PortSession.h"
#include "link/ScaleCommandSet.h"
#include "link/WeightReport.h"
#include "dialogs/ReportQueue.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The window's side of a port session: every exchange is asked for here and runs on the session's
// worker; what it reports arrives as queued signals on the window's thread. Nothing here waits for
// the port. Every signal is emitted on the window's thread, so any receiver runs there. The state
// queries tell what the window has been told so far.
class PortLink : public QObject {
    Q_OBJECT
public:
    explicit PortLink(QObject* parent = nullptr);
    ~PortLink() override;

    // Open from `opened(0)` until `closed` or `lost`.
    bool IsOpen() const { return open_; }
    // An open or a close has been asked for and not reported yet.
    bool IsChanging() const { return changing_; }
    // The name given to the last Open().
    const std::string& PortName() const { return name_; }
    bool IsReading() const { return readings_ > 0; }
    bool IsUploading() const { return uploading_; }

    void Open(const std::string& name, int baud);
    void Close();
    // A plain command; nothing is sent while the port is not open. With a `what` (the command as
    // the operator knows it), `sent` tells whether it left whole.
    void Send(const Bytes& bytes, const QString& what = QString());
    // The reading cycle, repeated until StopReading(), a close or a loss; `readingEnded` follows.
    // The three queries are asked on the worker at every cycle.
    void StartReading(std::function<ScaleSeries()> series, std::function<bool()> activeReturn,
                      std::function<int()> sleepMs);
    void StopReading();
    // One upload block at a time; `uploadProgress` after each write, then `uploadEnded`.
    void Upload(std::vector<Bytes> writes);
    void CancelUpload();
    // The parameter readout; `parametersRead` at its end.
    void ReadParameters();
    // One calibration reading tick (a read of up to 128 bytes, 50 ms); skipped while one is pending.
    void ReadCalibration();
    // An exchange of the caller's, run on the worker after what was asked before, as a job of the
    // session; it reports by itself (never to this object) and must not outlive what it reports to.
    void Run(PortSession::Job job);
    // The system's serial ports, listed on the worker; `portsListed` with the result.
    void ListPorts();
    // The same list at once, as the port list offers it: the system's device lists are read, no
    // port is opened.
    static QStringList SystemPorts();

    // Every write and read from the next exchange on, seen on the worker; empty removes it.
    void SetLineObserver(SerialLink::PortHandle::LineObserver observer);

signals:
    void opened(int error);
    void closed();
    // The port (PortName()) failed and is closed: `fault` is a SerialLink::PortFault, `error` its errno.
    void lost(int fault, int error);
    void readingEnded();
    // A reading decoded as `series` reports it; the series may have changed since.
    void valueRead(ScaleSeries series, WeightReport::Quantity quantity, const QByteArray& gbkText);
    void stableRead(bool stable);
    // A command given a name was written whole (or not: a closed or failed port).
    void sent(const QString& what, bool whole);
    void uploadProgress(int sent);
    // Every line is written; the upload waits for the scale to take the last of them.
    void uploadDraining();
    // `complete`: the whole block has left for the scale (not cancelled, not lost).
    void uploadEnded(bool complete);
    // Output waits on a line the scale holds (true), or moves again (false).
    void lineHeld(bool held);
    void parametersRead(const QByteArray& dump, bool complete);
    void calibrationRead(const QByteArray& bytes);
    void portsListed(const QStringList& ports);

private:

    bool open_ = false;
    bool changing_ = false;
    int readings_ = 0;  // cycles started whose end has not been reported yet
    bool uploading_ = false;
    bool tickPending_ = false;
    std::string name_;
    ReportQueue reports_;  // the worker's reports, run on the window's thread: every signal is emitted there
    std::shared_ptr<StopSignal> uploadCancel_ = std::make_shared<StopSignal>();
    std::unique_ptr<PortSession> session_;  // last: its worker reports into the members above
};
