#include "controls/NumericEdit.h"
#include "dialogs/CalibrationDialog.h"
#include "dialogs/ManufacturerPasswordDialog.h"
#include "support/MessageRecorder.h"

#include "SettingsDialogTestSupport.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QToolTip>

#include <algorithm>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace SettingsSupport;

namespace {

// Sent after an action to prove that nothing went out before it: SetZero's single byte.
const QByteArray kMarker = "5A";

QString Reading(const QWidget* dialog, const char* name)
{
    return RequireControl<QLabel>(dialog, name)->text();
}

// Maximum, calibration weight and weight, as shown.
QStringList Readings(const QWidget* dialog)
{
    return {Reading(dialog, "maximumReading"), Reading(dialog, "calibrationWeightReading"),
            Reading(dialog, "weightReading")};
}

} // namespace

class CalibrationDialogTest : public ScaleLineTest {
    Q_OBJECT

private slots:
    // --- commands ------------------------------------------------------------------------------

    void gravityValue_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("typed");        // null: the stored value as shown
        QTest::addColumn<QByteArray>("expected");  // empty: refused
        QTest::newRow("default") << QByteArray() << QString() << QByteArray("g=9.788300\r\n");
        QTest::newRow("lowest") << QByteArray("9.6999999") << QString() << QByteArray("g=9.700000\r\n");
        QTest::newRow("highest") << QByteArray("9.900000001") << QString() << QByteArray("g=9.900000\r\n");
        QTest::newRow("below") << QByteArray("9.69") << QString() << QByteArray();
        QTest::newRow("above") << QByteArray("9.91") << QString() << QByteArray();
        QTest::newRow("zero") << QByteArray("0") << QString() << QByteArray();
        QTest::newRow("typed") << QByteArray() << "9.80665" << QByteArray("g=9.806650\r\n");
    }

    void gravityValue()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, typed);
        QFETCH(QByteArray, expected);
        TempAppDirectory dir;
        if (!stored.isEmpty())
            WriteSystemSettings(dir, "g=" + stored + "\r\n");
        MessageRecorder messages;
        CalibrationDialog dialog(line_.port);
        dialog.show();
        if (!typed.isNull())
            Retype(Edit(&dialog, "gravityEdit"), typed);
        Click(&dialog, "gravitySet");
        if (expected.isEmpty()) {
            QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("重力加速度应为9.7 ~ 9.9之间")});
            Click(&dialog, "zeroButton");
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{kMarker});
        } else {
            QVERIFY(messages.Texts().isEmpty());
            QCOMPARE(line_.Await(1), std::vector<Bytes>{expected.toStdString()});
        }
    }

    void cityCode()
    {
        TempAppDirectory dir;
        CalibrationDialog dialog(line_.port);
        dialog.show();
        QCOMPARE(List(&dialog, "cityList")->currentText(), QString::fromUtf8("广州(020)"));
        Click(&dialog, "codeSet");
        QVERIFY(Choose(&dialog, "cityList", QString::fromUtf8("台北(008862)")));
        Click(&dialog, "codeSet");
        QVERIFY(Choose(&dialog, "cityList", QString::fromUtf8("石家庄(0311)")));
        Click(&dialog, "codeSet");
        QCOMPARE(line_.Await(3), (std::vector<Bytes>{"code:020\r\n", "code:008862\r\n", "code:0311\r\n"}));
    }

    void positionFromTypedLatitudeAndAltitude()
    {
        TempAppDirectory dir;
        CalibrationDialog dialog(line_.port);
        dialog.show();
        Click(&dialog, "positionSet");
        Retype(Edit(&dialog, "latitudeEdit"), QStringLiteral("23.125"));
        Retype(Edit(&dialog, "altitudeEdit"), QStringLiteral("50"));
        Click(&dialog, "positionSet");
        Retype(Edit(&dialog, "latitudeEdit"), QStringLiteral("91"));  // kept at 90 by the field
        Click(&dialog, "positionSet");
        QCOMPARE(line_.Await(3), (std::vector<Bytes>{"Lat=0.000\r\nASL=0000\r\n", "Lat=23.12\r\nASL=0050\r\n",
                                                     "Lat=90.00\r\nASL=0050\r\n"}));
    }

    void setZeroIsTheSingleLetterForEverySeries()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Type=2\r\n");
        CalibrationDialog dialog(line_.port);
        dialog.show();
        Click(&dialog, "zeroButton");
        QCOMPARE(line_.Await(1), std::vector<Bytes>{"Z"});
        QCOMPARE(line_.scale.Received(), Bytes("Z"));
    }

    void calibration_data()
    {
        QTest::addColumn<QString>("capacity");
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("message");
        QTest::newRow("15 and 5") << "15" << "5" << QByteArray("15,5\r\n") << QString();
        QTest::newRow("weight equal to capacity") << "15" << "15" << QByteArray("15,15\r\n") << QString();
        QTest::newRow("largest items") << "2000" << "25" << QByteArray("2000,25\r\n") << QString();
        QTest::newRow("blanks around typed numbers") << " 30 " << "25 " << QByteArray("30,25\r\n") << QString();
        QTest::newRow("weight with a fraction") << "15" << "2.5" << QByteArray() << QString::fromUtf8("请输入正确的砝码重量");
        QTest::newRow("weight with a unit") << "15" << "5kg" << QByteArray() << QString::fromUtf8("请输入正确的砝码重量");
        QTest::newRow("capacity with a fraction") << "7.5" << "5" << QByteArray() << QString::fromUtf8("请输入正确的最大称量");
        QTest::newRow("weight above capacity") << "15" << "20" << QByteArray() << QString::fromUtf8("砝码重量不能大于最大称量");
        QTest::newRow("empty weight checked first") << "" << "" << QByteArray() << QString::fromUtf8("请输入正确的砝码重量");
        QTest::newRow("zero weight") << "15" << "0" << QByteArray() << QString::fromUtf8("请输入正确的砝码重量");
        QTest::newRow("negative weight") << "15" << "-5" << QByteArray() << QString::fromUtf8("请输入正确的砝码重量");
        QTest::newRow("capacity not a number") << "max" << "5" << QByteArray() << QString::fromUtf8("请输入正确的最大称量");
        QTest::newRow("zero capacity") << "0" << "5" << QByteArray() << QString::fromUtf8("请输入正确的最大称量");
    }

    void calibration()
    {
        QFETCH(QString, capacity);
        QFETCH(QString, weight);
        QFETCH(QByteArray, expected);
        QFETCH(QString, message);
        TempAppDirectory dir;
        MessageRecorder messages;
        CalibrationDialog dialog(line_.port);
        dialog.show();
        for (auto [name, text] : {std::pair{"capacityList", capacity}, std::pair{"weightList", weight}}) {
            QLineEdit* edit = List(&dialog, name)->lineEdit();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
            QTest::keyClicks(edit, text);
        }
        Click(&dialog, "calibrateButton");
        if (expected.isEmpty()) {
            QCOMPARE(messages.Texts(), QStringList{message});
            Click(&dialog, "zeroButton");
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{kMarker});
        } else {
            QVERIFY(messages.Texts().isEmpty());
            QCOMPARE(line_.Await(1), std::vector<Bytes>{expected.toStdString()});
        }
    }

    void calibrationWithChosenItems()
    {
        TempAppDirectory dir;
        CalibrationDialog dialog(line_.port);
        dialog.show();
        QVERIFY(Choose(&dialog, "capacityList", QStringLiteral("30")));
        QVERIFY(Choose(&dialog, "weightList", QStringLiteral("25")));
        Click(&dialog, "calibrateButton");
        QCOMPARE(line_.Await(1), std::vector<Bytes>{"30,25\r\n"});
    }

    void unreadableFieldStopsTheExchangeThere()
    {
        // Gravity, latitude, altitude: a field that does not parse keeps it and those after it.
        TempAppDirectory dir;
        WriteSystemSettings(dir, "LAT=10\r\nASL=5\r\n");
        MessageRecorder messages;
        {
            CalibrationDialog dialog(line_.port);
            dialog.show();
            Retype(Edit(&dialog, "latitudeEdit"), QStringLiteral("20"));
            Retype(Edit(&dialog, "altitudeEdit"), QStringLiteral("7"));
            Edit(&dialog, "gravityEdit")->setText(QStringLiteral("."));
            Click(&dialog, "positionSet");
            QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("请键入一个数。")});
            QCOMPARE(line_.Await(1), std::vector<Bytes>{"Lat=10.00\r\nASL=0005\r\n"});

            // Latitude parses now, the altitude field does not: latitude is taken, altitude kept.
            messages.Clear();
            Edit(&dialog, "gravityEdit")->setText(QStringLiteral("9.8"));
            Edit(&dialog, "altitudeEdit")->setText(QStringLiteral("7x"));
            Click(&dialog, "positionSet");
            QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("请键入一个整数。")});
            QCOMPARE(line_.Await(2).back(), Bytes("Lat=20.00\r\nASL=0005\r\n"));
        }
        QCOMPARE(StoredValues({"g", "LAT", "ASL"}), (QStringList{"9.800000", "20.000000", "5"}));
    }

    void cityListWithoutSelectionSendsNothing()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Code=76\r\n");
        {
            CalibrationDialog dialog(line_.port);
            dialog.show();
            QCOMPARE(List(&dialog, "cityList")->currentIndex(), -1);
            Click(&dialog, "codeSet");
            Click(&dialog, "zeroButton");
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{kMarker});
        }
        QCOMPARE(StoredInt("Code"), -1);
    }

    // --- readings ------------------------------------------------------------------------------

    void readingsShownAsTheyArrive()
    {
        TempAppDirectory dir;
        CalibrationDialog dialog(line_.port);
        dialog.show();
        QCOMPARE(Readings(&dialog), (QStringList{"", "", ""}));
        line_.scale.SendCalibrationLines("C 15\r\nF 5\r\nW 0.000\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(Readings(&dialog), (QStringList{"最大:15", "砝码:5", "重量:0.000"}), 3000);
        line_.scale.SendRaw("W1,2 W\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(Readings(&dialog), (QStringList{"最大:15", "砝码:5", "重量:1,2"}), 3000);
    }

    void lineSplitAcrossTicksShowsOnlyItsLetteredPart()
    {
        TempAppDirectory dir;
        CalibrationDialog dialog(line_.port);
        dialog.show();
        line_.scale.SendRaw("W 12");
        QTRY_COMPARE_WITH_TIMEOUT(Reading(&dialog, "weightReading"), QString::fromUtf8("重量:12"), 3000);
        line_.scale.SendRaw(".5\r\nF 10\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(Reading(&dialog, "calibrationWeightReading"), QString::fromUtf8("砝码:10"), 3000);
        QCOMPARE(Reading(&dialog, "weightReading"), QString::fromUtf8("重量:12"));
    }

    void tickReadsOnTheWorkerForItsLimit()
    {
        // The tick only asks; the read waits out its 50 ms limit on the link's worker.
        TempAppDirectory dir;
        line_.scale.SetSilent(true);
        CalibrationDialog dialog(line_.port);
        QSignalSpy answered(&line_.port, &PortLink::calibrationRead);
        for (int tick = 0; tick < 3; ++tick) {
            QElapsedTimer clock;
            clock.start();
            dialog.PollReadings();
            const qint64 asked = clock.elapsed();
            QVERIFY2(asked < 10, qPrintable(QStringLiteral("the tick held the window %1 ms").arg(asked)));
            QVERIFY(answered.wait(1000));
            QVERIFY2(clock.elapsed() >= 45 && clock.elapsed() < 200, qPrintable(QString::number(clock.elapsed())));
        }
    }

    void scaleUnpluggedDuringTheTicksIsLostOnce()
    {
        TempAppDirectory dir;
        CalibrationDialog dialog(line_.port);
        dialog.show();
        QSignalSpy lost(&line_.port, &PortLink::lost);
        QTest::qWait(400);
        line_.scale.Unplug();
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 2000);
        QVERIFY(!line_.port.IsOpen());
        QCOMPARE(lost.first().at(0).toInt(), int(SerialLink::PortFault::HungUp));
        // The ticks go on asking; a closed port reads nothing and is not lost again.
        QTest::qWait(700);
        QCOMPARE(lost.count(), 1);
        QVERIFY(line_.scale.PlugIn());
        QVERIFY(line_.Open());
        line_.scale.SendCalibrationLines("W 1.5\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(Reading(&dialog, "weightReading"), QString::fromUtf8("重量:1.5"), 3000);
    }

    void windowStaysResponsiveWhileReading()
    {
        // Over a second of 300 ms ticks against a silent scale, a 10 ms timer keeps running.
        TempAppDirectory dir;
        line_.scale.SetSilent(true);
        CalibrationDialog dialog(line_.port);
        dialog.show();
        int beats = 0;
        QTimer heart;
        connect(&heart, &QTimer::timeout, &heart, [&beats] { ++beats; });
        heart.start(10);
        QTest::qWait(1000);
        QVERIFY2(beats > 40, qPrintable(QStringLiteral("%1 beats").arg(beats)));
    }

    // --- hidden service entry ------------------------------------------------------------------

    void ninthClickAsksForTheCodeAndSendsTheServiceCommand()
    {
        TempAppDirectory dir;
        MessageRecorder messages;
        CalibrationDialog dialog(line_.port);
        dialog.show();
        auto* service = RequireControl<QPushButton>(&dialog, "serviceButton");
        QVERIFY(service->text().isEmpty());
        QString code = QStringLiteral("274815");
        ModalResponder<ManufacturerPasswordDialog> access([&code](ManufacturerPasswordDialog* d) { Answer(d, code); });
        for (int click = 1; click <= 8; ++click) {
            Click(&dialog, "serviceButton");
            QCOMPARE(access.Count(), 0);
        }
        Click(&dialog, "serviceButton");
        QCOMPARE(access.Count(), 1);
        QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{"1B 00 01 C0"});

        // Every click from now on asks again; a wrong code sends nothing.
        code = QStringLiteral("274815 ");
        Click(&dialog, "serviceButton");
        QCOMPARE(access.Count(), 2);
        QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("密码不正确")});
        code = QStringLiteral("05317790264");
        Click(&dialog, "serviceButton");
        QCOMPARE(access.Count(), 3);
        QCOMPARE(Shown(line_.Await(2)), (QList<QByteArray>{"1B 00 01 C0", "1B 00 01 C0"}));
    }

    void cancelledCodeSendsNothingAndCounterStartsAgainWithTheDialog()
    {
        TempAppDirectory dir;
        ModalResponder<ManufacturerPasswordDialog> access(
            [](ManufacturerPasswordDialog* d) { Click(d, "cancelButton"); });
        {
            CalibrationDialog dialog(line_.port);
            dialog.show();
            for (int click = 1; click <= 9; ++click)
                Click(&dialog, "serviceButton");
            QCOMPARE(access.Count(), 1);
            Click(&dialog, "zeroButton");
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{kMarker});
        }
        CalibrationDialog again(line_.port);
        again.show();
        for (int click = 1; click <= 8; ++click)
            Click(&again, "serviceButton");
        QCOMPARE(access.Count(), 1);
    }

    // --- settings ------------------------------------------------------------------------------

    void defaultsWithoutSettingsFile()
    {
        TempAppDirectory dir;
        {
            CalibrationDialog dialog(line_.port);
            QCOMPARE(List(&dialog, "cityList")->currentIndex(), 1);
            QCOMPARE(List(&dialog, "capacityList")->currentIndex(), 1);
            QCOMPARE(FieldTexts(&dialog, {"gravityEdit", "latitudeEdit", "altitudeEdit", "capacityList", "weightList"}),
                     (QStringList{"9.7883", "0", "0", "15", "5"}));
        }
        QCOMPARE(StoredValues({"Code", "g", "LAT", "ASL", "MAXRange", "Weights", "Code1"}),
                 (QStringList{"1", "9.788300", "0.000000", "0", "15", "5", "<missing>"}));
    }

    void storedListTexts_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("shown");
        QTest::newRow("6 is an item") << QByteArray("MAXRange=6\r\nWeights=25\r\n") << 0 << "6";
        QTest::newRow("7 is not") << QByteArray("MAXRange=7\r\nWeights=7\r\n") << -1 << "7";
        QTest::newRow("text kept as stored") << QByteArray("MAXRange=12.5kg\r\nWeights=x\r\n") << -1 << "12.5kg";
    }

    void storedListTexts()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, index);
        QFETCH(QString, shown);
        TempAppDirectory dir;
        WriteSystemSettings(dir, stored);
        const QString weights = QString::fromLatin1(stored.mid(stored.indexOf("Weights=") + 8).trimmed());
        {
            CalibrationDialog dialog(line_.port);
            QCOMPARE(List(&dialog, "capacityList")->currentIndex(), index);
            QCOMPARE(List(&dialog, "capacityList")->currentText(), shown);
            QCOMPARE(List(&dialog, "weightList")->currentText(), weights);
        }
        QCOMPARE(StoredText("MAXRange"), shown);
        QCOMPARE(StoredText("Weights"), weights);
    }

    void listsTakeOneLineOfGbkText()
    {
        TempAppDirectory dir;
        {
            CalibrationDialog dialog(line_.port);
            dialog.show();
            for (const char* name : {"capacityList", "weightList"}) {
                QLineEdit* edit = List(&dialog, name)->lineEdit();
                edit->setFocus();
                edit->end(false);
                for (const QString& pasted : {QStringLiteral("0\r\nCode=9"), QStringLiteral("\t"), QStringLiteral("🍎")}) {
                    QToolTip::hideText();
                    QGuiApplication::clipboard()->setText(pasted);
                    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
                    QVERIFY(QToolTip::isVisible());
                }
                QTest::keyClicks(edit, "0");
            }
        }
        QCOMPARE(StoredText("MAXRange"), QStringLiteral("150"));
        QCOMPARE(StoredText("Weights"), QStringLiteral("50"));
    }

    void typedValuesStoredOnlyAfterExchange()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Code=5\r\ng=9.8\r\nLAT=30.5\r\nASL=120\r\n");
        {
            CalibrationDialog dialog(line_.port);
            dialog.show();
            QCOMPARE(FieldTexts(&dialog, {"cityList", "gravityEdit", "latitudeEdit", "altitudeEdit"}),
                     (QStringList{"沈阳(024)", "9.8", "30.5", "120"}));
            Retype(Edit(&dialog, "gravityEdit"), QStringLiteral("9.75"));
            QVERIFY(Choose(&dialog, "cityList", QString::fromUtf8("昆明(0871)")));
            List(&dialog, "capacityList")->setEditText(QStringLiteral("60"));
            QTest::keyClick(Edit(&dialog, "gravityEdit"), Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        }
        QCOMPARE(StoredValues({"g", "Code", "MAXRange", "LAT", "ASL"}),
                 (QStringList{"9.800000", "63", "60", "30.500000", "120"}));
        {
            CalibrationDialog dialog(line_.port);
            dialog.show();
            Retype(Edit(&dialog, "gravityEdit"), QStringLiteral("9.75"));
            Retype(Edit(&dialog, "altitudeEdit"), QStringLiteral("800"));
            QTest::keyClick(List(&dialog, "capacityList")->lineEdit(), Qt::Key_Return);  // Enter from any field is OK
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(StoredValues({"g", "ASL"}), (QStringList{"9.750000", "800"}));
    }

    void enterWithUnreadableFieldKeepsTheDialogOpen()
    {
        TempAppDirectory dir;
        MessageRecorder messages;
        CalibrationDialog dialog(line_.port);
        dialog.show();
        Edit(&dialog, "altitudeEdit")->setText(QString());
        QTest::keyClick(Edit(&dialog, "gravityEdit"), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("请键入一个整数。")});
    }
};

QTEST_MAIN(CalibrationDialogTest)
#include "CalibrationDialogTest.moc"
