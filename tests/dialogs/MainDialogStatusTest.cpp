// What the main dialog tells the operator without a message box: the status line after each kind
// of flow (an upload, a command, a settings dialog's Set, reading stopped for the settings), reading
// fields that never show another port's or series' weight as live, and why a control is disabled.
#include "MainDialogTestSupport.h"

#include "support/Languages.h"

#include <QLabel>
#include <QTest>

using namespace MainDialogSupport;
using namespace std::chrono_literals;

namespace {

QString StatusOf(const QWidget* window)
{
    return RequireControl<QLabel>(window, "statusLine")->text();
}

enum Flow { Upload, Postback, MoreSet, ReadingStopped };

} // namespace

class MainDialogStatusTest : public QObject {
    Q_OBJECT

private slots:
    void statusLineSaysWhatWasSentAndHowItEnded_data()
    {
        QTest::addColumn<int>("flow");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QString>("expected");
        QTest::newRow("upload") << int(Upload) << false << "202 lines sent";
        QTest::newRow("upload, Chinese") << int(Upload) << true << QString::fromUtf8("已发送202行");
        QTest::newRow("postback, Chinese") << int(Postback) << true << QString::fromUtf8("回传频率已发送");
        QTest::newRow("More settings Set") << int(MoreSet) << false << "Overflow alarm sent";
        QTest::newRow("reading stopped") << int(ReadingStopped) << false << "Automatic reading stopped for the settings";
    }

    void statusLineSaysWhatWasSentAndHowItEnded()
    {
        QFETCH(int, flow);
        QFETCH(bool, chinese);
        QFETCH(QString, expected);
        InstallLanguage(chinese);
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Sleep=20\r\nBaudrate=6\r\nType=0\r\n");
        VirtualScale scale;
        scale.SetBaudRate(115200);
        QVERIFY(scale.Start());
        ScaleMainDialog dialog;
        QVERIFY(OpenOn(dialog, scale));
        QVERIFY(StatusOf(&dialog).isEmpty());

        QString inSettingsDialog;
        switch (flow) {
        case Upload:
            Button(&dialog, "uploadButton")->click();
            QTRY_VERIFY_WITH_TIMEOUT(StatusOf(&dialog).endsWith(expected), 10000);
            QTRY_COMPARE(scale.UploadedLines().size(), std::size_t(200));
            break;
        case Postback:
            Button(&dialog, "postbackButton")->click();
            break;
        case MoreSet:
            WhenModalShows([&](QWidget* more) {
                Button(more, "alarmSet")->click();
                QTRY_VERIFY(!StatusOf(more).isEmpty());
                inSettingsDialog = StatusOf(more);
            });
            Button(&dialog, "moreButton")->click();
            QCOMPARE(inSettingsDialog, expected);
            break;
        case ReadingStopped:
            Button(&dialog, "autoReadCheck")->click();
            QVERIFY(IsReading(&dialog));
            WhenModalShows([](QWidget*) {});
            Button(&dialog, "moreButton")->click();
            break;
        }
        QTRY_VERIFY(StatusOf(&dialog).endsWith(expected));
        Language::Install(QLocale::c());
    }

    // A weight is another port's or series' no longer: the fields empty. A silent second greys them.
    // A disabled control says what enables it.
    void readingFieldsNeverShowAnOldWeightAsLive()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Type=0\r\n");
        VirtualScale scale;
        QVERIFY(scale.Start());
        ScaleMainDialog dialog;
        QLineEdit* net = Edit(&dialog, "value3");
        PortLink& link = LinkOf(&dialog);
        QCOMPARE(Button(&dialog, "tareButton")->toolTip(), QString("Open the port first"));
        emit link.valueRead(ScaleSeries::Zud, WeightReport::Quantity::Net, "1.234");
        const QImage live = net->grab().toImage();
        QTRY_VERIFY_WITH_TIMEOUT(net->grab().toImage() != live, 2000);
        QCOMPARE(net->text(), QString("1.234"));  // greyed, still there
        emit link.valueRead(ScaleSeries::Zud, WeightReport::Quantity::Net, "1.234");
        QCOMPARE(net->grab().toImage(), live);

        QVERIFY(OpenOn(dialog, scale));
        QVERIFY(net->text().isEmpty());
        emit link.valueRead(ScaleSeries::Zud, WeightReport::Quantity::Net, "2.000");
        Combo(&dialog, "modelCombo")->setCurrentIndex(1);
        for (const char* field : {"value1", "value2", "value3"})
            QVERIFY2(Edit(&dialog, field)->text().isEmpty(), field);
        QCOMPARE(Button(&dialog, "tareButton")->toolTip(), QString("The ZEV series has no such command"));
    }

    // The demo's scale lives while its port is open: a load settles, TARE takes it, and a gravity Set
    // in the Calibration dialog brings the scale's calibration readings.
    void demoScaleLivesWhileThePortIsOpen()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Sleep=50\r\nType=0\r\n");
        ScaleMainDialog dialog;
        QComboBox* ports = Combo(&dialog, "portCombo");
        ports->setCurrentIndex(ports->findText("Virtual scale (demo)"));
        Button(&dialog, "openButton")->click();
        QTRY_VERIFY(Button(&dialog, "autoReadCheck")->isEnabled());
        Button(&dialog, "autoReadCheck")->click();
        QTRY_COMPARE_WITH_TIMEOUT(Edit(&dialog, "value3")->text(), QString("1.236"), 5000);
        Button(&dialog, "tareButton")->click();
        QTRY_COMPARE(Edit(&dialog, "value3")->text(), QString("0.000"));

        QString weight;
        WhenModalShows([&](QWidget* more) {
            WhenModalShows([&](QWidget* calibration) {
                Button(calibration, "codeSet")->click();
                QTRY_VERIFY(!RequireControl<QLabel>(calibration, "weightReading")->text().isEmpty());
                weight = RequireControl<QLabel>(calibration, "weightReading")->text();
            }, more);
            Button(more, "calibrationButton")->click();
        });
        Button(&dialog, "moreButton")->click();
        QVERIFY2(weight.startsWith(QString::fromUtf8("重量:")), qPrintable(weight));
    }
};

QTEST_MAIN(MainDialogStatusTest)
#include "MainDialogStatusTest.moc"
