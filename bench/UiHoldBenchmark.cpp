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

void Report(const char* flow, double holdMs, const char* extra = "")
{
    std::printf("%-34s longest hold %6.2f ms  %s\n", flow, holdMs, extra);
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
    TempAppDirectory dir;
    VirtualScale scale;
    std::unique_ptr<ScaleMainDialog> dialog;
    MessageRecorder messages{QMessageBox::Ok};
    bool ok = false;
};

std::size_t Count(const std::vector<Bytes>& commands, const Bytes& command)
{
    return std::size_t(std::count(commands.begin(), commands.end(), command));
}

void Reading(int storedType, const char* name, const Bytes& poll)
{
    Rig rig("Sleep=0\r\nType=" + QByteArray::number(storedType) + "\r\n");
    if (!rig.ok)
        return Report(name, -1, "no scale");
    HoldMeter meter;
    rig.scale.ClearReceived();
    QElapsedTimer clock;
    clock.start();
    Button(rig.dialog.get(), "autoReadCheck")->click();
    Pause(2000);
    const double seconds = double(clock.elapsed()) / 1000.0;
    const double perSecond = double(Count(rig.scale.Commands(), poll)) / seconds;
    Button(rig.dialog.get(), "autoReadCheck")->click();
    Wait([&] { return !rig.dialog->IsReading(); });
    char extra[64];
    std::snprintf(extra, sizeof extra, "%.0f cycles/s", perSecond);
    Report(name, meter.WorstMs(), extra);
}

void ReportToField()
{
    Rig rig("Sleep=0\r\nType=2\r\n");
    if (!rig.ok)
        return Report("report to field", -1, "no scale");
    Button(rig.dialog.get(), "activeReturnCheck")->click();
    auto* field = RequireControl<QLineEdit>(rig.dialog.get(), "value1");
    QElapsedTimer clock;
    qint64 shownAt = 0;
    QObject::connect(field, &QLineEdit::textChanged, field, [&] { shownAt = clock.nsecsElapsed(); });
    HoldMeter meter;
    Button(rig.dialog.get(), "autoReadCheck")->click();
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
    Button(rig.dialog.get(), "autoReadCheck")->click();
    std::sort(micros.begin(), micros.end());
    char extra[80];
    std::snprintf(extra, sizeof extra, "report to field median %.0f us (%zu of 200)",
                  micros.empty() ? -1.0 : micros[micros.size() / 2], micros.size());
    Report("reading RIVAV, active return", meter.WorstMs(), extra);
}

void Upload()
{
    Rig rig("Type=1\r\n");
    if (!rig.ok)
        return Report("upload", -1, "no scale");
    HoldMeter meter;
    QElapsedTimer clock;
    clock.start();
    Button(rig.dialog.get(), "uploadButton")->click();
    Wait([&] { return Button(rig.dialog.get(), "uploadButton")->isEnabled(); }, 20000);
    char extra[64];
    std::snprintf(extra, sizeof extra, "202 writes in %lld ms", clock.elapsed());
    Report("upload", meter.WorstMs(), extra);
}

void Readout()
{
    Rig rig("Type=1\r\n");
    if (!rig.ok)
        return Report("parameter readout", -1, "no scale");
    HoldMeter meter;
    // The dump's window is closed as soon as it shows.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &closer, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(20);
    Button(rig.dialog.get(), "readParamButton")->click();
    Wait([&] { return Button(rig.dialog.get(), "readParamButton")->isEnabled() && !QApplication::activeModalWidget(); });
    Pause(100);
    Report("parameter readout", meter.WorstMs());
}

void CalibrationTick()
{
    Rig rig("Type=1\r\n");
    if (!rig.ok)
        return Report("calibration tick", -1, "no scale");
    CalibrationDialog calibration(rig.dialog->Link());
    calibration.show();
    HoldMeter meter;
    for (int i = 0; i < 10; ++i) {
        rig.scale.SendCalibrationLines("C 15\r\nF 5\r\nW 0.000\r\n");
        Pause(200);
    }
    Report("calibration tick (2 s)", meter.WorstMs());
}

void CloseOnHeldLine()
{
    Rig rig("Type=0\r\n");
    if (!rig.ok)
        return Report("close, line held", -1, "no scale");
    rig.scale.SendRaw("\x13");
    Pause(50);
    for (int i = 0; i < 5; ++i)
        Button(rig.dialog.get(), "companyButton")->click();
    Pause(100);
    HoldMeter meter;
    QElapsedTimer clock;
    clock.start();
    Button(rig.dialog.get(), "openButton")->click();
    Wait([&] { return Button(rig.dialog.get(), "openButton")->text() == QString("&Open port"); });
    char extra[64];
    std::snprintf(extra, sizeof extra, "closed after %lld ms", clock.elapsed());
    Report("close, line held (XOFF)", meter.WorstMs(), extra);
}

void Loss()
{
    Rig rig("Sleep=10\r\nType=1\r\n");
    if (!rig.ok)
        return Report("loss", -1, "no scale");
    Button(rig.dialog.get(), "autoReadCheck")->click();
    Pause(300);
    HoldMeter meter;
    QElapsedTimer clock;
    clock.start();
    rig.scale.Unplug();
    Wait([&] { return rig.messages.Messages().size() == 1; });
    char extra[64];
    std::snprintf(extra, sizeof extra, "reported after %lld ms", clock.elapsed());
    Pause(100);
    Report("loss while reading", meter.WorstMs(), extra);
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    Reading(0, "reading ZUD, Sleep 0", "R");
    Reading(1, "reading ZEV, Sleep 0", "\x11");
    ReportToField();
    Upload();
    Readout();
    CalibrationTick();
    CloseOnHeldLine();
    Loss();
    return 0;
}
