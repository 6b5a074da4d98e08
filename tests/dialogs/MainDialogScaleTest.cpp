// The main dialog on the virtual scale, through the real serial link: the enable rule at its four
// moments, the commands' bytes, automatic reading with the lamp, and the parameter readout.
// The dialog is not shown: what is checked here does not need painting, and painting big windows
// runs the toolkit's own image threads, which the thread checker cannot see into.
#include "commodity/GbkCodec.h"
#include "MainDialogTestSupport.h"

#include "app/Language.h"
#include "controls/EditableListCtrl.h"
#include "controls/StatusLamp.h"
#include "dialogs/ParameterDialog.h"
#include "dialogs/PortLink.h"
#include "settings/AppPaths.h"
#include "settings/Profile.h"
#include "sim/VirtualScale.h"
#include "support/MessageRecorder.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

using namespace MainDialogSupport;
using namespace std::chrono_literals;

namespace {

QByteArray Gbk(const QString& text)
{
    return QByteArray::fromStdString(GbkCodec::Utf8ToGbk(text.toStdString()).value());
}

// The bytes the scale got within a short while once `count` commands are in.
Bytes ReceivedAfter(VirtualScale& scale, std::size_t count)
{
    scale.WaitForCommands(count, 2s);
    return scale.Received();
}

QMap<QString, bool> Expected(bool open, int series, bool reading)
{
    QMap<QString, bool> states;
    for (const auto& state : EnableRule::Evaluate(open, ScaleSeries(series), reading).controls)
        states.insert(ObjectName(state.control), state.enabled);
    return states;
}

} // namespace

class MainDialogScaleTest : public QObject {
    Q_OBJECT

private slots:
    // Each test has its own settings folder and virtual scale.
    void init()
    {
        Language::Install(QLocale::c());
        dir_.emplace();
        scale_.emplace();
    }

    void cleanup()
    {
        scale_.reset();
        dir_.reset();
    }

    // Each moment the rule is applied: open, series change (also while reading), close.
    void enableRuleAtEveryMoment_data()
    {
        QTest::addColumn<int>("series");
        QTest::addColumn<bool>("reading");
        for (int series : {0, 1, 2}) {
            for (bool reading : {false, true}) {
                const QByteArray name = QByteArray("series ") + QByteArray::number(series)
                    + (reading ? " reading" : " idle");
                QTest::newRow(name.constData()) << series << reading;
            }
        }
    }

    void enableRuleAtEveryMoment()
    {
        QFETCH(int, series);
        QFETCH(bool, reading);
        QVERIFY(Start("Sleep=10\r\n"));
        ScaleMainDialog dialog;
        QVERIFY(OpenOn(dialog, *scale_));
        QCOMPARE(EnabledStates(&dialog), Expected(true, 0, false));

        if (reading) {
            Button(&dialog, "autoReadCheck")->click();
            QVERIFY(IsReading(&dialog));
            QVERIFY(!Button(&dialog, "readParamButton")->isEnabled());
        }
        // From another series, so that selecting `series` is a change.
        Combo(&dialog, "modelCombo")->setCurrentIndex(series == 1 ? 2 : 1);
        Combo(&dialog, "modelCombo")->setCurrentIndex(series);
        QCOMPARE(EnabledStates(&dialog), Expected(true, series, reading));

        Button(&dialog, "openButton")->click();
        QTRY_COMPARE(Button(&dialog, "openButton")->text(), QString("&Open port"));
        QTRY_VERIFY(!IsReading(&dialog));
        QVERIFY(!Button(&dialog, "autoReadCheck")->isChecked());
        QCOMPARE(EnabledStates(&dialog), Expected(false, series, false));
        // The reader's end, reported later, does not enable anything on a closed port.
        QTest::qWait(50);
        QCOMPARE(EnabledStates(&dialog), Expected(false, series, false));
    }

    void rivavThenZevWhileOpen()
    {
        QVERIFY(Start());
        ScaleMainDialog dialog;
        QVERIFY(OpenOn(dialog, *scale_));
        Combo(&dialog, "modelCombo")->setCurrentIndex(2);
        for (const char* name : {"commodityList", "uploadButton", "printSetupButton", "printA15Button", "printA16Button"})
            QVERIFY2(!RequireControl<QWidget>(&dialog, name)->isEnabled(), name);
        for (const char* name : {"newBaudCombo", "setBaudButton", "activeReturnCheck", "tareButton", "zeroButton"})
            QVERIFY2(RequireControl<QWidget>(&dialog, name)->isEnabled(), name);
        Button(&dialog, "activeReturnCheck")->click();
        QVERIFY(Button(&dialog, "activeReturnCheck")->isChecked());

        Combo(&dialog, "modelCombo")->setCurrentIndex(1);
        QVERIFY(!Button(&dialog, "activeReturnCheck")->isChecked());
        for (const char* name : {"activeReturnCheck", "tareButton", "zeroButton", "newBaudCombo", "setBaudButton"})
            QVERIFY2(!RequireControl<QWidget>(&dialog, name)->isEnabled(), name);
    }

    void commandBytes_data()
    {
        QTest::addColumn<int>("series");
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("ZUD tare") << 0 << QByteArray("tareButton") << QByteArray("T");
        QTest::newRow("RIVAV tare") << 2 << QByteArray("tareButton") << QByteArray("T\r\n");
        QTest::newRow("ZUD zero") << 0 << QByteArray("zeroButton") << QByteArray("Z");
        QTest::newRow("RIVAV zero") << 2 << QByteArray("zeroButton") << QByteArray("Z\r\n");
        QTest::newRow("baud rate") << 2 << QByteArray("setBaudButton") << QByteArray("baud:19200\r\n");
        QTest::newRow("postback 5 Hz") << 1 << QByteArray("postbackButton")
                                       << QByteArray::fromHex("AB000000008001050000000031");
        QTest::newRow("company name") << 0 << QByteArray("companyButton") << ("Co." + Gbk(QString::fromUtf8("欧万超市")) + "\r\n");
    }

    void commandBytes()
    {
        QFETCH(int, series);
        QFETCH(QByteArray, button);
        QFETCH(QByteArray, expected);
        QVERIFY(Start());
        ScaleMainDialog dialog;
        Combo(&dialog, "modelCombo")->setCurrentIndex(series);
        Combo(&dialog, "newBaudCombo")->setCurrentIndex(3);
        Combo(&dialog, "postbackCombo")->setCurrentIndex(5);
        Edit(&dialog, "corpEdit")->setText(QString::fromUtf8("欧万超市"));
        QVERIFY(OpenOn(dialog, *scale_));
        QVERIFY(Button(&dialog, button.constData())->isEnabled());
        Button(&dialog, button.constData())->click();
        QCOMPARE(QByteArray::fromStdString(ReceivedAfter(*scale_, 1)), expected);
        QCOMPARE(scale_->Commands().size(), std::size_t(1));
    }

    void uploadSendsTheWholeListAndPausesReading_data()
    {
        QTest::addColumn<bool>("reading");
        QTest::newRow("idle") << false;
        QTest::newRow("while reading") << true;
    }

    void uploadSendsTheWholeListAndPausesReading()
    {
        QFETCH(bool, reading);
        dir_->WriteFile("ZEV.txt", "1,A1,Apple,2.50\r\n200,Z9," + Gbk(QString::fromUtf8("香蕉")) + ",\r\n");
        QVERIFY(Start("Sleep=0\r\nType=1\r\n"));
        ScaleMainDialog dialog;
        QVERIFY(OpenOn(dialog, *scale_));
        if (reading) {
            Button(&dialog, "autoReadCheck")->click();
            QVERIFY(scale_->WaitForCommands(3, 2s));
        }
        Button(&dialog, "uploadButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(scale_->UploadedLines().size(), std::size_t(200), 15000);
        const std::vector<Bytes> lines = scale_->UploadedLines();
        QCOMPARE(lines.front(), Bytes("1[A1]<Apple>2.50"));
        QCOMPARE(lines[1], Bytes("2[]<>"));
        QCOMPARE(QByteArray::fromStdString(lines.back()), "200[Z9]<" + Gbk(QString::fromUtf8("香蕉")) + ">");
        // Nothing but the block between its first and last line.
        const std::vector<Bytes> commands = scale_->Commands();
        const auto first = std::find(commands.begin(), commands.end(), Bytes("plu\r\n"));
        const auto last = std::find(commands.begin(), commands.end(), Bytes("end\r\n"));
        QVERIFY(first != commands.end() && last != commands.end());
        QCOMPARE(std::distance(first, last), std::ptrdiff_t(201));
        QCOMPARE(std::count(first, last, Bytes("\x11")), std::ptrdiff_t(0));
        // Reading goes on afterwards.
        QCOMPARE(IsReading(&dialog), reading);
        QCOMPARE(Button(&dialog, "autoReadCheck")->isChecked(), reading);
        if (reading) {
            scale_->ClearReceived();
            QVERIFY(scale_->WaitForCommands(1, 2s));
            QTest::qWait(50);
            QVERIFY(Button(&dialog, "autoReadCheck")->isChecked());
            QVERIFY(!Button(&dialog, "readParamButton")->isEnabled());
        }
    }

    void demoEntryRunsItsOwnScale()
    {
        ScaleMainDialog dialog;
        QComboBox* ports = Combo(&dialog, "portCombo");
        ports->setCurrentIndex(ports->findText("Virtual scale (demo)"));
        QVERIFY(!dialog.DemoScale());
        Button(&dialog, "openButton")->click();
        QTRY_COMPARE(Button(&dialog, "openButton")->text(), QString("Cl&ose port"));
        QVERIFY(dialog.DemoScale() && dialog.DemoScale()->IsRunning());
        Button(&dialog, "tareButton")->click();
        QCOMPARE(ReceivedAfter(*dialog.DemoScale(), 1), Bytes("T"));
        Button(&dialog, "openButton")->click();
        QTRY_VERIFY(!dialog.DemoScale());
        QCOMPARE(Button(&dialog, "openButton")->text(), QString("&Open port"));
    }

    // The demo's first start (its shipped settings): Open port and Automatic reading show the virtual
    // scale's weight at once, on the pseudo-terminal as on the TCP port Windows uses. The choice is
    // made once; later starts take the stored entry.
    void demoFirstStartReadsTheVirtualScale_data()
    {
        QTest::addColumn<VirtualScale::LineKind>("line");
        QTest::newRow("pseudo-terminal") << VirtualScale::LineKind::PseudoTerminal;
        QTest::newRow("tcp") << VirtualScale::LineKind::Tcp;
    }
    void demoFirstStartReadsTheVirtualScale()
    {
        QFETCH(VirtualScale::LineKind, line);
        QFile seed(QStringLiteral(SCALETOOL_DEMO_DIR "/first-start.ini"));
        QVERIFY(seed.open(QIODevice::ReadOnly));
        dir_->WriteFile("Option.ini", seed.readAll());
        {
            ScaleMainDialog dialog;
            QCOMPARE(Combo(&dialog, "portCombo")->currentText(), QString("Virtual scale (demo)"));
            dialog.SetDemoLine(line);
            dialog.show();
            Button(&dialog, "openButton")->click();
            QVERIFY(dialog.DemoScale());
            QTRY_COMPARE(Button(&dialog, "openButton")->text(), QString("Cl&ose port"));
            dialog.DemoScale()->PlaceLoad(2.5);
            Button(&dialog, "autoReadCheck")->click();
            QTRY_COMPARE_WITH_TIMEOUT(Edit(&dialog, "value3")->text(), QString("2.500"), 5000);
            Button(&dialog, "autoReadCheck")->click();
            QTRY_VERIFY_WITH_TIMEOUT(!IsReading(&dialog), 2000);
            dialog.DemoScale()->ClearReceived();
            Button(&dialog, "tareButton")->click();
            QCOMPARE(ReceivedAfter(*dialog.DemoScale(), 1), Bytes("T"));
            QVERIFY(dialog.close());
        }
        const std::string& settings = AppPaths::SettingsPath();
        QCOMPARE(Profile::ReadInt(settings, "System", "SelectVirtualScale", -9), 0);
        Profile::WriteInt(settings, "System", "Port", -1);
        ScaleMainDialog again;
        QCOMPARE(Combo(&again, "portCombo")->currentIndex(), -1);
    }

    void readingFramedSeriesShowsNetAndLamp()
    {
        QVERIFY(Start("Sleep=10\r\nType=2\r\n"));
        scale_->PlaceLoad(1.25);
        ScaleMainDialog dialog;
        QVERIFY(OpenOn(dialog, *scale_));
        auto* lamp = RequireControl<StatusLamp>(&dialog, "lamp");
        QVERIFY(!lamp->isVisibleTo(&dialog));
        Button(&dialog, "autoReadCheck")->click();
        QTRY_VERIFY_WITH_TIMEOUT(lamp->isVisibleTo(&dialog), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(Edit(&dialog, "value1")->text(), QString("1.250"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(lamp->State(), LampState::Stable, 3000);
        QVERIFY(Edit(&dialog, "value2")->text().isEmpty());
        QVERIFY(Edit(&dialog, "value3")->text().isEmpty());
        // The scale was polled with DC1.
        QVERIFY(scale_->Commands().front() == Bytes("\x11"));

        Button(&dialog, "autoReadCheck")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!IsReading(&dialog), 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!lamp->isVisibleTo(&dialog), 2000);
        QVERIFY(Button(&dialog, "readParamButton")->isEnabled());
        QVERIFY(!Button(&dialog, "autoReadCheck")->isChecked());
    }

    void lampFollowsTheSeriesWhileReading()
    {
        QVERIFY(Start("Sleep=10\r\nType=1\r\n"));
        ScaleMainDialog dialog;
        QVERIFY(OpenOn(dialog, *scale_));
        auto* lamp = RequireControl<StatusLamp>(&dialog, "lamp");
        Button(&dialog, "autoReadCheck")->click();
        QVERIFY(scale_->WaitForCommands(2, 2s));
        QTest::qWait(30);
        QVERIFY(!lamp->isVisibleTo(&dialog));
        Combo(&dialog, "modelCombo")->setCurrentIndex(2);
        QVERIFY(lamp->isVisibleTo(&dialog));
        QTest::qWait(30);
        QVERIFY(lamp->isVisibleTo(&dialog));
        Combo(&dialog, "modelCombo")->setCurrentIndex(0);
        QVERIFY(!lamp->isVisibleTo(&dialog));
        QTest::qWait(30);
        QVERIFY(!lamp->isVisibleTo(&dialog));
        QVERIFY(IsReading(&dialog));
    }

    void readingZudFillsTheFieldsWithoutLamp()
    {
        QVERIFY(Start("Sleep=10\r\nType=0\r\n"));
        scale_->PlaceLoad(2.0);
        ScaleMainDialog dialog;
        QVERIFY(OpenOn(dialog, *scale_));
        Button(&dialog, "autoReadCheck")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!Edit(&dialog, "value1")->text().isEmpty(), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!Edit(&dialog, "value3")->text().isEmpty(), 3000);
        QVERIFY(!RequireControl<StatusLamp>(&dialog, "lamp")->isVisibleTo(&dialog));
        QCOMPARE(scale_->Commands().front(), Bytes("R"));
    }

    // A report decoded just before the series changed would show in the wrong field.
    void readingOfAnotherSeriesIsDropped()
    {
        WriteSystemSettings(*dir_, "Type=0\r\n");
        ScaleMainDialog dialog;
        emit LinkOf(&dialog).valueRead(ScaleSeries::Zev, WeightReport::Quantity::Net, "1.234");
        QVERIFY(Edit(&dialog, "value1")->text().isEmpty());
        QVERIFY(Edit(&dialog, "value3")->text().isEmpty());
        emit LinkOf(&dialog).valueRead(ScaleSeries::Zud, WeightReport::Quantity::Net, "1.234");
        QCOMPARE(Edit(&dialog, "value3")->text(), QStringLiteral("1.234"));
    }

    void activeReturnShowsWhatTheScaleSendsByItself()
    {
        QVERIFY(Start("Sleep=10\r\nType=2\r\nBackDataRate=10\r\n"));
        scale_->PlaceLoad(0.5);
        ScaleMainDialog dialog;
        QVERIFY(OpenOn(dialog, *scale_));
        Button(&dialog, "postbackButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(scale_->PostbackRate(), 10, 2000);
        Button(&dialog, "activeReturnCheck")->click();
        scale_->ClearReceived();
        Button(&dialog, "autoReadCheck")->click();
        QTRY_COMPARE_WITH_TIMEOUT(Edit(&dialog, "value1")->text(), QString("0.500"), 5000);
        // No poll went out.
        QVERIFY(scale_->Received().empty());
    }

    void closingThePortWhileReadingStopsTheReader()
    {
        QVERIFY(Start("Sleep=10\r\nType=1\r\n"));
        ScaleMainDialog dialog;
        QVERIFY(OpenOn(dialog, *scale_));
        Button(&dialog, "autoReadCheck")->click();
        QVERIFY(scale_->WaitForCommands(2, 2s));
        Button(&dialog, "openButton")->click();
        QVERIFY(!Button(&dialog, "autoReadCheck")->isChecked());
        QTRY_VERIFY(!IsReading(&dialog));
        scale_->ClearReceived();
        std::this_thread::sleep_for(150ms);
        QVERIFY(scale_->Received().empty());
        QTest::qWait(20);
        QVERIFY(!Button(&dialog, "readParamButton")->isEnabled());
        QVERIFY(!Button(&dialog, "autoReadCheck")->isEnabled());
    }

    void moreStopsTheReaderBeforeItsDialogRuns()
    {
        QVERIFY(Start("Sleep=10\r\nType=1\r\n"));
        ScaleMainDialog dialog;
        QVERIFY(OpenOn(dialog, *scale_));
        Button(&dialog, "autoReadCheck")->click();
        QVERIFY(scale_->WaitForCommands(1, 2s));
        bool readingWhileMoreRan = true;
        Bytes polledWhileMoreRan = "not run";
        WhenModalShows([&](QWidget*) {
            readingWhileMoreRan = IsReading(&dialog);
            scale_->ClearReceived();
            std::this_thread::sleep_for(100ms);
            polledWhileMoreRan = scale_->Received();
        });
        Button(&dialog, "moreButton")->click();
        QVERIFY(!readingWhileMoreRan);
        QCOMPARE(polledWhileMoreRan, Bytes());
        QTRY_VERIFY(!Button(&dialog, "autoReadCheck")->isChecked());
        QVERIFY(Button(&dialog, "readParamButton")->isEnabled());
    }

    void readParameterCancelSendsNothing()
    {
        QVERIFY(Start());
        ScaleMainDialog dialog;
        QVERIFY(OpenOn(dialog, *scale_));
        MessageRecorder messages(QMessageBox::Cancel);
        Button(&dialog, "readParamButton")->click();
        QCOMPARE(messages.Messages().size(), 1);
        const OperatorMessage::Message& question = messages.Messages().first();
        QCOMPARE(question.title, QString::fromUtf8("询问"));
        QCOMPARE(question.text,
                 QString::fromUtf8("将会自动禁止主动回传重量,如果需要请读取参数后重新设置回传频率, 是否继续?"));
        QCOMPARE(question.icon, OperatorMessage::Icon::Question);
        QCOMPARE(question.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        std::this_thread::sleep_for(150ms);
        QVERIFY(scale_->Received().empty());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void readParameterShowsTheDump()
    {
        QVERIFY(Start());
        const QByteArray dump = "parameter\r\nVer:2.10\r\n" + Gbk(QString::fromUtf8("分度值:5g")) + "\r\nend";
        scale_->SetParameterDump(dump.toStdString() + "\r\n");
        ScaleMainDialog dialog;
        QVERIFY(OpenOn(dialog, *scale_));
        MessageRecorder messages(QMessageBox::Ok);
        QString shown = "no dialog";
        QString caption;
        WhenModalShows([&](QWidget* modal) {
            QVERIFY(qobject_cast<ParameterDialog*>(modal));
            caption = modal->windowTitle();
            shown = RequireControl<QPlainTextEdit>(modal, "dumpEdit")->toPlainText();
        });
        Button(&dialog, "readParamButton")->click();
        QTRY_COMPARE(caption, QString("Parameter"));
        QCOMPARE(shown, QString::fromUtf8("parameter\nVer:2.10\n分度值:5g\nend"));
        const std::vector<Bytes> commands = scale_->Commands();
        QVERIFY(commands.size() >= 2);
        QCOMPARE(commands[0], Bytes("\x1B\x00\x03\x00", 4));
        QCOMPARE(commands[1], Bytes("\x1B\x00\xFF", 3));
        // Active postback stays off afterwards, as the question warned.
        QCOMPARE(scale_->PostbackRate(), 0);
    }

    // Presses at varied moments while reading runs: every byte of every press reaches the scale, in
    // the order pressed, and nothing but polls comes between.
    void commandsPressedWhileReadingArriveWhole_data()
    {
        QTest::addColumn<int>("series");
        QTest::addColumn<char>("poll");
        QTest::newRow("ZUD") << 0 << 'R';
        QTest::newRow("RIVAV") << 2 << '\x11';
    }

    void commandsPressedWhileReadingArriveWhole()
    {
        QFETCH(int, series);
        QFETCH(char, poll);
        QVERIFY(Start("Sleep=5\r\nType=" + QByteArray::number(series) + "\r\n"));
        ScaleMainDialog dialog;
        Edit(&dialog, "corpEdit")->setText("Shop");
        QVERIFY(OpenOn(dialog, *scale_));
        Button(&dialog, "autoReadCheck")->click();
        QVERIFY(scale_->WaitForCommands(2, 2s));
        // TARE and Zero, and for ZUD the company name as well.
        const QList<QByteArray> buttons = series == 0 ? QList<QByteArray>{"tareButton", "companyButton", "zeroButton"}
                                                      : QList<QByteArray>{"tareButton", "zeroButton"};
        const Bytes tare = series == 0 ? "T" : "T\r\n";
        const Bytes zero = series == 0 ? "Z" : "Z\r\n";
        Bytes expected;
        for (int press = 0; press < 24; ++press) {
            const QByteArray button = buttons.at(press % buttons.size());
            Button(&dialog, button.constData())->click();
            expected += button == "tareButton" ? tare : button == "zeroButton" ? zero : Bytes("Co.Shop\r\n");
            QTest::qWait((press * 7) % 13);
        }
        Button(&dialog, "autoReadCheck")->click();
        QTRY_VERIFY(!IsReading(&dialog));
        QTest::qWait(250);
        Bytes received = scale_->Received();
        received.erase(std::remove(received.begin(), received.end(), poll), received.end());
        QCOMPARE(QByteArray::fromStdString(received), QByteArray::fromStdString(expected));
    }

    void doubleUploadSendsOneBlock()
    {
        QVERIFY(Start("Type=1\r\n"));
        ScaleMainDialog dialog;
        dialog.show();
        QVERIFY(OpenOn(dialog, *scale_));
        QAbstractButton* upload = Button(&dialog, "uploadButton");
        QTest::mouseDClick(upload, Qt::LeftButton);
        upload->click();
        QVERIFY(!upload->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(upload->isEnabled(), 15000);
        QTest::qWait(250);
        const std::vector<Bytes> commands = scale_->Commands();
        QCOMPARE(std::count(commands.begin(), commands.end(), Bytes("plu\r\n")), std::ptrdiff_t(1));
        QCOMPARE(commands.size(), std::size_t(202));
    }

    // A scale writing its memory holds the line: the upload waits for it and ends whole, saying so
    // meanwhile; held past the bound it is a loss, told once, never a finished upload.
    void uploadWaitsForAHeldLine_data()
    {
        QTest::addColumn<int>("holdMs");
        QTest::addColumn<bool>("whole");
        QTest::newRow("half a second") << 500 << true;
        QTest::newRow("three seconds") << 3000 << true;
        QTest::newRow("past the bound") << 60000 << false;
    }

    void uploadWaitsForAHeldLine()
    {
        QFETCH(int, holdMs);
        QFETCH(bool, whole);
        dir_->WriteFile("ZEV.txt", "1,A1,Apple,2.50\r\n");
        QVERIFY(Start("Type=1\r\n"));
        ScaleMainDialog dialog;
        dialog.show();
        QVERIFY(OpenOn(dialog, *scale_));
        MessageRecorder messages(QMessageBox::Ok);
        auto* link = RequireControl<PortLink>(&dialog, "portLink");
        QSignalSpy ended(link, &PortLink::uploadEnded);
        QSignalSpy held(link, &PortLink::lineHeld);
        scale_->HoldLine(0, std::chrono::milliseconds(holdMs));
        QTest::qWait(50);  // the XOFF is in
        Button(&dialog, "uploadButton")->click();
        if (holdMs >= 3000) {
            QPointer<QProgressDialog> progress = dialog.findChild<QProgressDialog*>();
            QVERIFY(progress);
            QTRY_VERIFY_WITH_TIMEOUT(progress && progress->labelText().contains("holding the line"), 2000);
            QVERIFY(progress->isVisible());
            if (const QString shots = qEnvironmentVariable("SCALETOOL_SCREENSHOT_DIR"); !shots.isEmpty())
                progress->grab().save(shots + "/upload-held-en.png");
        }
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 20000);
        QCOMPARE(ended.front().front().toBool(), whole);
        QCOMPARE(held.size() >= 2, holdMs >= 3000);
        if (whole) {
            QTRY_COMPARE(scale_->UploadedLines().size(), std::size_t(200));
            QCOMPARE(messages.Messages().size(), 0);
        } else {
            QTRY_COMPARE(messages.Messages().size(), 1);
            QVERIFY(messages.Messages().front().text.contains("The scale stopped taking data"));
            QCOMPARE(Button(&dialog, "openButton")->text(), QString("&Open port"));
        }
    }

    // Cancelled while it waits its turn, the upload sends nothing and says it is not complete.
    void uploadCancelledBeforeItsFirstWriteIsNotComplete()
    {
        QVERIFY(Start("Type=1\r\n"));
        ScaleMainDialog dialog;
        QVERIFY(OpenOn(dialog, *scale_));
        auto* link = RequireControl<PortLink>(&dialog, "portLink");
        QSignalSpy ended(link, &PortLink::uploadEnded);
        // A command held by the scale keeps the upload waiting its turn.
        scale_->SendRaw("\x13");  // XOFF until the cancel is in
        QTest::qWait(50);
        link->Send(Bytes("T"));
        link->Upload({Bytes("plu\r\n"), Bytes("1[A1]<Apple>2.50\r\n"), Bytes("end\r\n")});
        link->CancelUpload();
        scale_->SendRaw("\x11");
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 5000);
        QCOMPARE(ended.front().front().toBool(), false);
        // The upload's end is reported once the line is drained; the scale may count the T a moment later.
        QVERIFY(scale_->WaitForCommands(1, std::chrono::seconds(2)));
        const std::vector<Bytes> commands = scale_->Commands();
        QVERIFY2(commands == std::vector<Bytes>{Bytes("T")}, qPrintable(QString::number(commands.size()) + " commands, first "
                                                                         + QString::fromStdString(commands.empty() ? "" : commands.front())));
    }

    // The scale unplugged in the middle of each flow: one message, the closed state, no stale
    // weight; once it is back the port opens again.
    void unpluggedScaleIsReportedOnce_data()
    {
        QTest::addColumn<QString>("flow");
        for (const char* flow : {"reading", "upload", "readout"})
            QTest::newRow(flow) << QString(flow);
    }

    void unpluggedScaleIsReportedOnce()
    {
        QFETCH(QString, flow);
        QVERIFY(Start("Sleep=10\r\nType=1\r\n"));
        scale_->PlaceLoad(1.5);
        ScaleMainDialog dialog;
        dialog.show();
        QVERIFY(OpenOn(dialog, *scale_));
        MessageRecorder messages(QMessageBox::Ok);
        if (flow == "reading") {
            Button(&dialog, "autoReadCheck")->click();
            QTRY_COMPARE_WITH_TIMEOUT(Edit(&dialog, "value1")->text(), QString("1.500"), 3000);
        } else if (flow == "upload") {
            Button(&dialog, "uploadButton")->click();
            QVERIFY(scale_->WaitForCommands(20, 2s));
        } else {
            scale_->SetSilent(true);
            Button(&dialog, "readParamButton")->click();
            QVERIFY(scale_->WaitForCommands(1, 2s));
        }
        const int asked = messages.Messages().size();
        scale_->Unplug();
        QTRY_COMPARE_WITH_TIMEOUT(Button(&dialog, "openButton")->text(), QString("&Open port"), 3000);
        QTRY_COMPARE(messages.Messages().size(), asked + 1);
        QTest::qWait(500);
        QCOMPARE(messages.Messages().size(), asked + 1);
        const OperatorMessage::Message& shown = messages.Messages().last();
        QCOMPARE(shown.icon, OperatorMessage::Icon::Error);
        QCOMPARE(shown.text, "The connection to " + QString::fromStdString(scale_->PortPath())
                     + " was lost.\nThe device is gone (unplugged or switched off).");
        QVERIFY(!QApplication::activeModalWidget());  // no progress window, no parameter dump
        QVERIFY(!IsReading(&dialog));
        QVERIFY(!Button(&dialog, "autoReadCheck")->isChecked());
        QVERIFY(Edit(&dialog, "value1")->text().isEmpty());
        QVERIFY(!RequireControl<StatusLamp>(&dialog, "lamp")->isVisible());
        QCOMPARE(EnabledStates(&dialog), Expected(false, 1, false));

        QVERIFY(scale_->PlugIn());
        scale_->SetSilent(false);
        scale_->ClearReceived();
        QVERIFY(OpenOn(dialog, *scale_));
        Combo(&dialog, "modelCombo")->setCurrentIndex(0);
        Button(&dialog, "tareButton")->click();
        QCOMPARE(ReceivedAfter(*scale_, 1), Bytes("T"));
    }

private:
    // Writes these lines into the settings' section "System" and starts the scale.
    bool Start(const QByteArray& settings = {})
    {
        if (!settings.isEmpty())
            WriteSystemSettings(*dir_, settings);
        return scale_->Start();
    }

    std::optional<TempAppDirectory> dir_;
    std::optional<VirtualScale> scale_;
};

QTEST_MAIN(MainDialogScaleTest)
#include "MainDialogScaleTest.moc"
