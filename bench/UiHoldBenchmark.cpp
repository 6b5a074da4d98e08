// How long each port flow holds the window's thread, measured as the lateness of a 1 ms timer on it,
// with the main dialog against the virtual scale; also polled cycles per second through the dialog
// and the time from a report's arrival to the field showing it.
//
//   bench_ui_hold        prints one line per flow

#include "dialogs/CalibrationDialog.h"
#include "dialogs/ScaleMainDialog.h"
#include "sim/VirtualScale.h"
#include "support/ControlLookup.h"
#include "support/MessageRecorder.h"
#include "support/TempDirectory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

// The worst lateness of a 1 ms timer on the window's thread while it runs.
class HoldMeter {
public:
    HoldMeter()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            const qint64 now = clock_.nsecsElapsed();
            worst_ = std::max(worst_, now - last_ - 1000000);
            last_ = now;
        });
        clock_.start();
        last_ = clock_.nsecsElapsed();
        timer_.start();
    }
    // Forgets what was measured so far: a flow's preparation does not count.
    void Restart()
    {
        worst_ = 0;
        last_ = clock_.nsecsElapsed();
    }
    double WorstMs() const { return double(worst_) / 1e6; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 worst_ = 0;
};

QAbstractButton* Button(QWidget* dialog, const char* name)
{
    return RequireControl<QAbstractButton>(dialog, name);
}

// QTest's waits sleep in 10 ms steps between event rounds, which the meter would count; these
// wait in a plain event loop.
bool Wait(const std::function<bool()>& done, int ms = 5000)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

void Pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool OpenOn(ScaleMainDialog& dialog, VirtualScale& scale)
{
    auto* ports = RequireControl<QComboBox>(&dialog, "portCombo");
    ports->addItem(QString::fromStdString(scale.PortPath()));
    ports->setCurrentIndex(ports->count() - 1);
    Button(&dialog, "openButton")->click();
    return Wait([&] { return Button(&dialog, "openButton")->text() == QString("Cl&ose port"); });
}

void Report(const char* flow, double holdMs, const QString& extra = {})
{
    std::printf("%-34s longest hold %6.2f ms  %s\n", flow, holdMs, qPrintable(extra));
    std::fflush(stdout);
}

// One main dialog on a fresh scale, with the settings given.
struct Rig {
    explicit Rig(const QByteArray& settings)
    {
        dir.WriteFile("Option.ini", "[System]\r\n" + settings);
        ok = scale.Start();
        scale.SetSettlingTime(std::chrono::milliseconds(0));
        // Made once the settings are written: it reads them when it is built.
        dialog = std::make_unique<ScaleMainDialog>();
        dialog->show();
        ok = ok && OpenOn(*dialog, scale);
    }
    QAbstractButton* Button(const char* name) const { return ::Button(dialog.get(), name); }
    PortLink& Link() const { return *RequireControl<PortLink>(dialog.get(), "portLink"); }

    TempAppDirectory dir;
    VirtualScale scale;
    std::unique_ptr<ScaleMainDialog> dialog;
    MessageRecorder messages{QMessageBox::Ok};
    bool ok = false;
};

// A flow on a rig whose port is open: returns what to print beside its longest hold. It restarts
// the meter once its own preparation is done.
using Flow = std::function<QString(Rig& rig, HoldMeter& meter)>;

void Measure(const char* name, const QByteArray& settings, const Flow& flow)
{
    Rig rig(settings);
    if (!rig.ok)
        return Report(name, -1, "no scale");
    HoldMeter meter;
    const QString extra = flow(rig, meter);
    Report(name, meter.WorstMs(), extra);
}

QString Reading(Rig& rig, HoldMeter& meter, const Bytes& poll)
{
    meter.Restart();
    rig.scale.ClearReceived();
    QElapsedTimer clock;
    clock.start();
    rig.Button("autoReadCheck")->click();
    Pause(2000);
    const double seconds = double(clock.elapsed()) / 1000.0;
    const auto commands = rig.scale.Commands();
    const double polls = double(std::count(commands.begin(), commands.end(), poll));
    rig.Button("autoReadCheck")->click();
    Wait([&] { return !rig.Link().IsReading(); });
    return QString("%1 cycles/s").arg(polls / seconds, 0, 'f', 0);
}

QString ReportToField(Rig& rig, HoldMeter& meter)
{
    rig.Button("activeReturnCheck")->click();
    auto* field = RequireControl<QLineEdit>(rig.dialog.get(), "value1");
    QElapsedTimer clock;
    qint64 shownAt = 0;
    QObject::connect(field, &QLineEdit::textChanged, field, [&] { shownAt = clock.nsecsElapsed(); });
    meter.Restart();
    rig.Button("autoReadCheck")->click();
    std::vector<double> micros;
    for (int round = 0; round < 200; ++round) {
        char weight[16];
        std::snprintf(weight, sizeof weight, "%9.3f", 1.0 + round / 1000.0);
        const Bytes report = Bytes("\x01\x02S") + weight + Bytes("k\x03\x04\r", 4);
        Pause(3);  // the cycle is back in its read
        shownAt = 0;
        clock.start();
        rig.scale.SendRaw(report);
        if (Wait([&] { return shownAt != 0; }, 500))
            micros.push_back(double(shownAt) / 1000.0);
    }
    rig.Button("autoReadCheck")->click();
    std::sort(micros.begin(), micros.end());
    const double median = micros.empty() ? -1.0 : micros[micros.size() / 2];
    return QString("report to field median %1 us (%2 of 200)").arg(median, 0, 'f', 0).arg(micros.size());
}

QString Upload(Rig& rig, HoldMeter&)
{
    QElapsedTimer clock;
    clock.start();
    rig.Button("uploadButton")->click();
    Wait([&] { return rig.Button("uploadButton")->isEnabled(); }, 20000);
    return QString("202 writes in %1 ms").arg(clock.elapsed());
}

QString Readout(Rig& rig, HoldMeter&)
{
    // The dump's window is closed as soon as it shows.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &closer, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(20);
    rig.Button("readParamButton")->click();
    Wait([&] { return rig.Button("readParamButton")->isEnabled() && !QApplication::activeModalWidget(); });
    Pause(100);
    return {};
}

QString CalibrationTick(Rig& rig, HoldMeter& meter)
{
    CalibrationDialog calibration(rig.Link());
    calibration.show();
    meter.Restart();
    for (int i = 0; i < 10; ++i) {
        rig.scale.SendCalibrationLines("C 15\r\nF 5\r\nW 0.000\r\n");
        Pause(200);
    }
    return {};
}

QString CloseOnHeldLine(Rig& rig, HoldMeter& meter)
{
    // The scale holds the line for a second, as one writing its memory; the close waits for it.
    rig.scale.HoldLine(0, std::chrono::milliseconds(1000));
    Pause(50);
    for (int i = 0; i < 5; ++i)
        rig.Button("companyButton")->click();
    Pause(100);
    meter.Restart();
    QElapsedTimer clock;
    clock.start();
    rig.Button("openButton")->click();
    Wait([&] { return rig.Button("openButton")->text() == QString("&Open port"); });
    const qint64 closed = clock.elapsed();
    const std::vector<Bytes> commands = rig.scale.Commands();
    const auto names = std::count_if(commands.begin(), commands.end(), [](const Bytes& c) { return c.starts_with("Co."); });
    return QString("closed after %1 ms, %2 of 5 names arrived").arg(closed).arg(names);
}

QString CloseAfterUpload(Rig& rig, HoldMeter& meter)
{
    meter.Restart();
    QElapsedTimer clock;
    clock.start();
    rig.Button("uploadButton")->click();
    rig.Button("openButton")->click();
    Wait([&] { return rig.Button("openButton")->text() == QString("&Open port"); }, 20000);
    const qint64 closed = clock.elapsed();
    Pause(200);
    return QString("closed after %1 ms, the scale has %2 of 200 lines").arg(closed).arg(rig.scale.UploadedLines().size());
}

// Quitting: the window goes at once; the port's end (a readout in progress) follows.
QString QuitDuringReadout(Rig& rig, HoldMeter& meter)
{
    rig.scale.SetSilent(true);
    rig.Button("readParamButton")->click();
    Pause(100);
    meter.Restart();
    QElapsedTimer clock;
    clock.start();
    rig.dialog->reject();
    const qint64 hidden = rig.dialog->isVisible() ? -1 : clock.elapsed();
    rig.dialog.reset();
    return QString("window gone after %1 ms, port closed after %2 ms").arg(hidden).arg(clock.elapsed());
}

QString Loss(Rig& rig, HoldMeter& meter)
{
    rig.Button("autoReadCheck")->click();
    Pause(300);
    meter.Restart();
    QElapsedTimer clock;
    clock.start();
    rig.scale.Unplug();
    Wait([&] { return rig.messages.Messages().size() == 1; });
    const QString extra = QString("reported after %1 ms").arg(clock.elapsed());
    Pause(100);
    return extra;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    Measure("reading ZUD, Sleep 0", "Sleep=0\r\nType=0\r\n",
            [](Rig& rig, HoldMeter& meter) { return Reading(rig, meter, "R"); });
    Measure("reading ZEV, Sleep 0", "Sleep=0\r\nType=1\r\n",
            [](Rig& rig, HoldMeter& meter) { return Reading(rig, meter, "\x11"); });
    Measure("reading RIVAV, active return", "Sleep=0\r\nType=2\r\n", ReportToField);
    Measure("upload", "Type=1\r\n", Upload);
    Measure("parameter readout", "Type=1\r\n", Readout);
    Measure("calibration tick (2 s)", "Type=1\r\n", CalibrationTick);
    Measure("close, line held 1 s (XOFF)", "Type=0\r\n", CloseOnHeldLine);
    Measure("close right after an upload", "Type=1\r\n", CloseAfterUpload);
    Measure("quit during a readout", "Type=1\r\n", QuitDuringReadout);
    Measure("loss while reading", "Sleep=10\r\nType=1\r\n", Loss);
    return 0;
}
