// Find scale and the line monitor, driven from the main dialog as a technician would.

#include "MainDialogTestSupport.h"

#include "app/Language.h"
#include "dialogs/LineMonitorWindow.h"
#include "support/Languages.h"
#include "support/ScaleSetUp.h"

#include <QLocale>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <chrono>
#include <string>

using namespace MainDialogSupport;
using namespace std::chrono_literals;

class FindScaleMonitorTest : public QObject {
    Q_OBJECT
private slots:
    void findScaleSelectsPortRateAndSeries_data()
    {
        AddLanguageRows();
    }

    void findScaleSelectsPortRateAndSeries()
    {
        QFETCH(bool, chinese);
        InstallLanguage(chinese);
        TempAppDirectory dir;
        WriteSystemSettings(dir, "VirtualScale=0\r\nBaudrate=0\r\nType=0\r\n");
        VirtualScale zev;
        ScaleSetUp::Answering(zev, 19200, ScaleSeries::Zev, 3.75);
        VirtualScale rivav;
        ScaleSetUp::Reporting(rivav, 4800, ScaleSeries::Rivav);
        QVERIFY(zev.Start() && rivav.Start());

        ScaleMainDialog dialog;
        QComboBox* ports = Combo(&dialog, "portCombo");
        ports->clear();  // only the lines of this test, not whatever the machine has
        ports->addItem(QString::fromStdString(rivav.PortPath()));
        ports->addItem(QStringLiteral("/dev/ttyNoSuchAdapter0"));
        ports->addItem(QString::fromStdString(zev.PortPath()));
        ports->setCurrentIndex(0);
        QVERIFY(ShowExposed(&dialog));
        auto* find = dialog.findChild<QPushButton*>("findButton");
        QVERIFY(find && find->isEnabled());

        bool sawProgress = false;
        bool finished = false;
        WhenModalShows([&](QWidget* modal) {
            auto* use = modal->findChild<QPushButton*>("useButton");
            auto* tree = modal->findChild<QTreeWidget*>("resultTree");
            auto* bar = modal->findChild<QProgressBar*>("progressBar");
            for (int waited = 0; waited < 8000 && !use->isEnabled(); waited += 20) {
                sawProgress = sawProgress || (bar->value() > 0 && bar->value() < bar->maximum());
                QTest::qWait(20);
            }
            finished = use->isEnabled() && tree->topLevelItemCount() == 3;
            const QString shots = qEnvironmentVariable("SCALETOOL_SCREENSHOT_DIR");
            if (!shots.isEmpty()) {
                QTest::qWait(100);
                modal->grab().save(shots + (chinese ? "/find-scale-zh.png" : "/find-scale-en.png"));
            }
            // The ZEV scale is the second found; the unopenable adapter is listed last.
            tree->setCurrentItem(tree->topLevelItem(1));
            use->click();
        });
        find->click();

        QVERIFY(finished);
        QVERIFY(sawProgress);
        QCOMPARE(ports->currentText(), QString::fromStdString(zev.PortPath()));
        QCOMPARE(Combo(&dialog, "baudCombo")->currentText(), QString("19200"));
        QCOMPARE(Combo(&dialog, "modelCombo")->currentIndex(), int(ScaleSeries::Zev));
        for (const Bytes& command : zev.Commands())
            QVERIFY2(command == "R" || command == "\x11", command.c_str());
        // The operator opens the port as usual, and the scale answers at the rate found.
        Button(&dialog, "openButton")->click();
        QVERIFY(!find->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(Button(&dialog, "autoReadCheck")->isEnabled(), 2000);
        Button(&dialog, "autoReadCheck")->click();
        QTRY_COMPARE_WITH_TIMEOUT(Edit(&dialog, "value1")->text(), QString("3.750"), 3000);
        Button(&dialog, "openButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(find->isEnabled(), 2000);
        Language::Install(QLocale::c());
    }

    void monitorShowsEachWriteAndReadWhileOpen_data()
    {
        AddLanguageRows();
    }

    void monitorShowsEachWriteAndReadWhileOpen()
    {
        QFETCH(bool, chinese);
        InstallLanguage(chinese);
        const QString tx = QCoreApplication::translate("LineMonitorWindow", "TX");
        const QString rx = QCoreApplication::translate("LineMonitorWindow", "RX");
        TempAppDirectory dir;
        WriteSystemSettings(dir, "VirtualScale=0\r\nType=1\r\nSleep=50\r\n");
        VirtualScale scale;
        scale.SetSettlingTime(0ms);
        scale.PlaceLoad(1.234);
        QVERIFY(scale.Start());
        ScaleMainDialog dialog;
        QVERIFY(ShowExposed(&dialog));
        dialog.findChild<QPushButton*>("monitorButton")->click();
        auto* monitor = dialog.findChild<LineMonitorWindow*>();
        QVERIFY(monitor && monitor->isVisible());

        QVERIFY(OpenOn(dialog, scale));
        QVERIFY(Button(&dialog, "autoReadCheck")->isEnabled());
        Button(&dialog, "autoReadCheck")->click();
        QTRY_VERIFY_WITH_TIMEOUT(monitor->RowCount() >= 6, 3000);
        Button(&dialog, "autoReadCheck")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!IsReading(&dialog), 2000);

        // Poll and report, one row each, in the order they crossed the line.
        int poll = 0;
        while (poll < monitor->RowCount() && !monitor->RowText(poll).contains(QLatin1Char('\t') + tx + QLatin1Char('\t')))
            ++poll;
        QVERIFY(poll + 1 < monitor->RowCount());
        QVERIFY2(monitor->RowText(poll).endsWith(QLatin1Char('\t') + tx + QStringLiteral("\t11\t\\x11")),
                 qPrintable(monitor->RowText(poll)));
        QVERIFY2(monitor->RowText(poll + 1)
                     .endsWith(QLatin1Char('\t') + rx
                               + QStringLiteral("\t01 02 53 20 20 20 20 31 2E 32 33 34 6B 03 04\t\\x01\\x02S    1.234k\\x03\\x04")),
                 qPrintable(monitor->RowText(poll + 1)));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\t")).match(monitor->RowText(poll)).hasMatch());

        const QString shots = qEnvironmentVariable("SCALETOOL_SCREENSHOT_DIR");
        if (!shots.isEmpty()) {
            monitor->resize(760, 360);
            QTest::qWait(200);
            monitor->grab().save(shots + (chinese ? "/line-monitor-zh.png" : "/line-monitor-en.png"));
        }

        // Closed, it records nothing: half a second of reading leaves at most the exchange in flight.
        monitor->close();
        Button(&dialog, "autoReadCheck")->click();
        QTest::qWait(500);
        Button(&dialog, "autoReadCheck")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!IsReading(&dialog), 2000);
        const int before = monitor->RowCount();
        monitor->TakeNew();
        QVERIFY2(monitor->RowCount() - before <= 2, qPrintable(QString::number(monitor->RowCount() - before)));
        Language::Install(QLocale::c());
    }

    void monitorKeepsTheNewestAndPausesTheRows()
    {
        LineMonitorWindow monitor;
        const auto record = monitor.Recorder();
        for (int i = 0; i < 10'005; ++i)
            record(LineLog::Direction::Written, std::to_string(i));
        record(LineLog::Direction::Read, "");  // an empty read is no entry
        monitor.TakeNew();
        QCOMPARE(monitor.RowCount(), 10'000);
        QVERIFY(monitor.RowText(0).endsWith("\t\t\t... 6 entries not shown: the monitor keeps the newest 10000 ..."));
        QVERIFY(monitor.RowText(1).endsWith("\tTX\t36\t6"));

        QVERIFY(ShowExposed(&monitor));
        auto* pause = monitor.findChild<QPushButton*>("pauseButton");
        pause->click();
        record(LineLog::Direction::Read, "\x01\x02S");
        QTest::qWait(250);
        QCOMPARE(monitor.RowCount(), 10'000);
        QVERIFY(monitor.RowText(9'999).endsWith("\t10004"));
        pause->click();
        QTRY_VERIFY(monitor.RowText(9'999).endsWith("\tRX\t01 02 53\t\\x01\\x02S"));

        // A pause that outlives the capacity leaves one line saying how much was not seen.
        pause->click();
        for (int i = 0; i < 10'010; ++i)
            record(LineLog::Direction::Read, "late");
        pause->click();
        QTRY_VERIFY(monitor.RowText(0).endsWith("\t\t\t... 11 entries not shown: the monitor keeps the newest 10000 ..."));

        // Saved as UTF-8 text, one row a line, as Copy gives them.
        record(LineLog::Direction::Read, "\xC6\xBB\xB9\xFB");  // 苹果 in GBK
        monitor.TakeNew();
        QTemporaryDir folder;
        const QString path = folder.filePath("log.txt");
        QVERIFY(monitor.SaveTo(path));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(saved.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), monitor.RowCount());
        QCOMPARE(lines.last(), monitor.RowText(monitor.RowCount() - 1));
        QVERIFY(lines.last().endsWith(QString::fromUtf8("\t苹果")));

        // An answer the next cycle's purge threw away is still shown, marked so.
        record(LineLog::Direction::Discarded, "late");
        monitor.TakeNew();
        QVERIFY(monitor.RowText(monitor.RowCount() - 1).endsWith("\tRX, discarded\t6C 61 74 65\tlate"));
        monitor.findChild<QPushButton*>("clearButton")->click();
        QCOMPARE(monitor.RowCount(), 0);
    }
};

QTEST_MAIN(FindScaleMonitorTest)
#include "FindScaleMonitorTest.moc"
