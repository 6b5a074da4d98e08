#include "controls/NumericEdit.h"
#include "dialogs/CalibrationDialog.h"
#include "dialogs/ManufacturerPasswordDialog.h"
#include "dialogs/ManufacturerSettingsDialog.h"
#include "dialogs/MoreSettingsDialog.h"
#include "support/MessageRecorder.h"

#include "SettingsDialogTestSupport.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>

using namespace SettingsSupport;

namespace {

// Sent after an action to prove that nothing went out before it: animal mode on.
const QByteArray kMarker = "1B 00 05 01";

// What the dialog shows: city, gravity, latitude, altitude, count, LED, alarm, false stability.
QStringList ShownValues(const QWidget* dialog)
{
    return FieldTexts(dialog, {"cityList", "gravityEdit", "latitudeEdit", "altitudeEdit", "countEdit", "ledList",
                               "alarmList", "stabilityList"});
}

} // namespace

class MoreSettingsDialogTest : public ScaleLineTest {
    Q_OBJECT

private slots:
    // --- commands ------------------------------------------------------------------------------

    void buttonSends_data()
    {
        QTest::addColumn<QString>("list");  // empty: no list to choose
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("stable back") << "" << "" << "stableBack" << QByteArray("1B 00 03 0F");
        QTest::newRow("command back") << "" << "" << "commandBack" << QByteArray("1B 00 03 0E");
        QTest::newRow("alarm off") << "alarmList" << QString::fromUtf8("关闭报警") << "alarmSet" << QByteArray("1B 00 04 00");
        QTest::newRow("alarm minimum") << "alarmList" << QString::fromUtf8("最小溢出报警") << "alarmSet" << QByteArray("1B 00 04 01");
        QTest::newRow("alarm maximum") << "alarmList" << QString::fromUtf8("最大溢出报警") << "alarmSet" << QByteArray("1B 00 04 02");
        QTest::newRow("alarm all") << "alarmList" << QString::fromUtf8("所有溢出报警") << "alarmSet" << QByteArray("1B 00 04 03");
        QTest::newRow("animal on") << "" << "" << "animalOn" << QByteArray("1B 00 05 01");
        QTest::newRow("animal off") << "" << "" << "animalOff" << QByteArray("1B 00 05 00");
        QTest::newRow("false stability 0") << "stabilityList" << "0" << "stabilitySet" << QByteArray("1B 00 07 00");
        QTest::newRow("false stability 1.5e") << "stabilityList" << "1.5e" << "stabilitySet" << QByteArray("1B 00 07 03");
        QTest::newRow("false stability 2e") << "stabilityList" << "2e" << "stabilitySet" << QByteArray("1B 00 07 04");
        QTest::newRow("LED 0") << "ledList" << "0" << "ledSet" << QByteArray("1B 00 08 00");
        QTest::newRow("LED 3") << "ledList" << "3" << "ledSet" << QByteArray("1B 00 08 03");
        QTest::newRow("LED 5") << "ledList" << "5" << "ledSet" << QByteArray("1B 00 08 05");
        QTest::newRow("city") << "cityList" << QString::fromUtf8("乌鲁木齐(0991)") << "codeSet" << QByteArray("63 6F 64 65 3A 30 39 39 31 0D 0A");
    }

    void buttonSends()
    {
        QFETCH(QString, list);
        QFETCH(QString, item);
        QFETCH(QString, button);
        QFETCH(QByteArray, expected);
        TempAppDirectory dir;
        MessageRecorder messages;
        MoreSettingsDialog dialog(line_.port);
        dialog.show();
        Retype(Edit(&dialog, "countEdit"), QStringLiteral("3"));  // the count never changes the mode buttons
        if (!list.isEmpty())
            QVERIFY(Choose(&dialog, qPrintable(list), item));
        Click(&dialog, qPrintable(button));
        QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{expected});
        QVERIFY(messages.Texts().isEmpty());
    }

    void postbackCount_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("0 stops postback") << "0" << QByteArray("1B 00 03 00");
        QTest::newRow("7") << "7" << QByteArray("1B 00 03 07");
        QTest::newRow("10") << "10" << QByteArray("1B 00 03 0A");
        QTest::newRow("100 typed is kept at 10") << "100" << QByteArray("1B 00 03 0A");
    }

    void postbackCount()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, expected);
        TempAppDirectory dir;
        MoreSettingsDialog dialog(line_.port);
        dialog.show();
        Retype(Edit(&dialog, "countEdit"), typed);
        Click(&dialog, "countSet");
        QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{expected});
    }

    void postbackCountOutsideRangeRefused()
    {
        // A stored count is shown as stored; the handler refuses it.
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Back=15\r\n");
        MessageRecorder messages;
        {
            MoreSettingsDialog dialog(line_.port);
            dialog.show();
            QCOMPARE(Edit(&dialog, "countEdit")->text(), QStringLiteral("15"));
            Click(&dialog, "countSet");
            QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("主动回传次数应为0 ~ 10之间")});
            Click(&dialog, "animalOn");
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{kMarker});
        }
        QCOMPARE(StoredInt("Back"), 15);
    }

    void gravity_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("9.7") << "9.7" << QByteArray("g=9.700000\r\n");
        QTest::newRow("9.9") << "9.9" << QByteArray("g=9.900000\r\n");
        QTest::newRow("9.91 refused") << "9.91" << QByteArray();
        QTest::newRow("9.69 refused") << "9.69" << QByteArray();
    }

    void gravity()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, expected);
        TempAppDirectory dir;
        MessageRecorder messages;
        MoreSettingsDialog dialog(line_.port);
        dialog.show();
        Retype(Edit(&dialog, "gravityEdit"), typed);
        Click(&dialog, "gravitySet");
        if (expected.isEmpty()) {
            QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("重力加速度应为9.7 ~ 9.9之间")});
            Click(&dialog, "animalOn");
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{kMarker});
        } else {
            QCOMPARE(line_.Await(1), std::vector<Bytes>{expected.toStdString()});
        }
    }

    void position()
    {
        TempAppDirectory dir;
        MoreSettingsDialog dialog(line_.port);
        dialog.show();
        Retype(Edit(&dialog, "latitudeEdit"), QStringLiteral("5.5"));
        Retype(Edit(&dialog, "altitudeEdit"), QStringLiteral("1234567"));
        Click(&dialog, "positionSet");
        QCOMPARE(line_.Await(1), std::vector<Bytes>{"Lat=5.500\r\nASL=1234567\r\n"});
    }

    void listsWithoutSelection()
    {
        // City, LED and false stability have no fallback and send nothing; the alarm falls back to
        // "all overflow alarms".
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Code1=-1\r\nLED=6\r\nFlowOver=4\r\nStable=5\r\n");
        {
            MoreSettingsDialog dialog(line_.port);
            dialog.show();
            for (const char* list : {"cityList", "ledList", "alarmList", "stabilityList"})
                QCOMPARE(List(&dialog, list)->currentIndex(), -1);
            for (const char* set : {"codeSet", "ledSet", "stabilitySet"})
                Click(&dialog, set);
            Click(&dialog, "animalOn");
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{kMarker});
            Click(&dialog, "alarmSet");
            QCOMPARE(Shown(line_.Await(2)), (QList<QByteArray>{kMarker, QByteArray("1B 00 04 03")}));
        }
        QCOMPARE(StoredValues({"Code1", "LED", "FlowOver", "Stable"}), (QStringList{"-1", "-1", "-1", "-1"}));
    }

    void unreadableFieldStopsTheExchangeThere()
    {
        // Order: gravity, latitude, count, altitude. The count field does not parse: gravity and
        // latitude are taken, count and altitude keep what they held.
        TempAppDirectory dir;
        MessageRecorder messages;
        {
            MoreSettingsDialog dialog(line_.port);
            dialog.show();
            Retype(Edit(&dialog, "gravityEdit"), QStringLiteral("9.81"));
            Retype(Edit(&dialog, "latitudeEdit"), QStringLiteral("45"));
            Retype(Edit(&dialog, "altitudeEdit"), QStringLiteral("300"));
            Edit(&dialog, "countEdit")->setText(QStringLiteral("4 5"));
            Click(&dialog, "countSet");
            QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("请键入一个整数。")});
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{"1B 00 03 06"});
            Click(&dialog, "backButton");
        }
        QCOMPARE(StoredValues({"g1", "LAT1", "Back", "ASL1"}), (QStringList{"9.810000", "45.000000", "6", "0"}));
    }

    // --- settings ------------------------------------------------------------------------------

    void defaultsWithoutSettingsFile()
    {
        TempAppDirectory dir;
        {
            MoreSettingsDialog dialog(line_.port);
            QCOMPARE(dialog.windowTitle(), QString::fromUtf8("更多设置"));
            QCOMPARE(ShownValues(&dialog), (QStringList{"广州(020)", "9.7883", "0", "0", "6", "5", "最大溢出报警", "0"}));
        }
        QCOMPARE(StoredValues({"Code1", "g1", "LAT1", "ASL1", "Back", "LED", "FlowOver", "Stable", "Code"}),
                 (QStringList{"1", "9.788300", "0.000000", "0", "6", "5", "2", "0", "<missing>"}));
    }

    void storedValuesRoundTrip()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Code1=75\r\ng1=9.801000\r\nLAT1=39.900000\r\nASL1=-12\r\nBack=2\r\n"
                                 "LED=1\r\nFlowOver=0\r\nStable=4\r\nCode=3\r\ng=9.7\r\n");
        {
            MoreSettingsDialog dialog(line_.port);
            dialog.show();
            QCOMPARE(ShownValues(&dialog), (QStringList{"台北(008862)", "9.801", "39.9", "-12", "2", "1", "关闭报警", "2e"}));
            // Typed, then closed with ESC: not stored. List choices are stored as they stand.
            Retype(Edit(&dialog, "countEdit"), QStringLiteral("9"));
            QVERIFY(Choose(&dialog, "ledList", QStringLiteral("4")));
            QTest::keyClick(Edit(&dialog, "countEdit"), Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        }
        // The calibration dialog's own keys, Code and g, are left alone.
        QCOMPARE(StoredValues({"Code1", "g1", "LAT1", "ASL1", "Back", "LED", "FlowOver", "Stable", "Code", "g"}),
                 (QStringList{"75", "9.801000", "39.900000", "-12", "2", "4", "0", "4", "3", "9.7"}));
    }

    void enterStoresTypedValues()
    {
        TempAppDirectory dir;
        {
            MoreSettingsDialog dialog(line_.port);
            dialog.show();
            Retype(Edit(&dialog, "countEdit"), QStringLiteral("9"));
            Retype(Edit(&dialog, "altitudeEdit"), QStringLiteral("2500"));
            QTest::keyClick(Edit(&dialog, "altitudeEdit"), Qt::Key_Return);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(!dialog.isVisible());
        }
        QCOMPARE(StoredInt("Back"), 9);
        QCOMPARE(StoredInt("ASL1"), 2500);
        QVERIFY(line_.scale.Commands().empty());
    }

    void enterOnAFocusedButtonPressesIt()
    {
        TempAppDirectory dir;
        MoreSettingsDialog dialog(line_.port);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        auto* off = RequireControl<QPushButton>(&dialog, "animalOff");
        off->setFocus();
        QTest::keyClick(off, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{"1B 00 05 00"});
    }

    // --- the dialogs behind it -----------------------------------------------------------------

    void calibrationOpensOnTheSameLink()
    {
        TempAppDirectory dir;
        MoreSettingsDialog dialog(line_.port);
        dialog.show();
        ModalResponder<CalibrationDialog> calibration([](CalibrationDialog* d) {
            Click(d, "zeroButton");
            Click(d, "cancelButton");
        });
        Click(&dialog, "calibrationButton");
        QCOMPARE(calibration.Count(), 1);
        QVERIFY(dialog.isVisible());
        QCOMPARE(line_.Await(1), std::vector<Bytes>{"Z"});
        QCOMPARE(StoredInt("Code"), 1);  // written by the calibration dialog as it closed
    }

    // Only the right code opens the manufacturer settings, on the same link.
    void accessCodeGuardsTheManufacturerSettings_data()
    {
        QTest::addColumn<QString>("code");  // null: Cancel
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("cancelled") << QString() << QStringList();
        QTest::newRow("wrong") << "274815 " << QStringList{QString::fromUtf8("密码不正确")};
        QTest::newRow("right") << "05317790264" << QStringList();
    }

    void accessCodeGuardsTheManufacturerSettings()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, messages);
        const bool opens = code == "05317790264";
        TempAppDirectory dir;
        MessageRecorder recorder;
        MoreSettingsDialog dialog(line_.port);
        dialog.show();
        ModalResponder<ManufacturerPasswordDialog> access([code](ManufacturerPasswordDialog* d) {
            if (code.isNull())
                Click(d, "cancelButton");
            else
                Answer(d, code);
        });
        ModalResponder<ManufacturerSettingsDialog> settings([](ManufacturerSettingsDialog* d) {
            Choose(d, "lockList", QStringLiteral("Lock"));
            Click(d, "lockSet");
            Click(d, "backButton");
        });
        Click(&dialog, "manufacturerButton");
        QCOMPARE(access.Count(), 1);
        QCOMPARE(settings.Count(), opens ? 1 : 0);
        QCOMPARE(recorder.Texts(), messages);
        if (opens) {
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{"1B 00 0E 00"});
            QCOMPARE(StoredInt("EnableButton"), 0);
        } else {
            Click(&dialog, "animalOn");
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{kMarker});
            QCOMPARE(StoredText("Scale"), QStringLiteral("<missing>"));
        }
    }

    void portClosedDropsCommandsSilently()
    {
        TempAppDirectory dir;
        MessageRecorder messages;
        MoreSettingsDialog dialog(line_.port);
        dialog.show();
        line_.port.Close();
        Click(&dialog, "stableBack");
        Click(&dialog, "animalOff");
        QVERIFY(messages.Texts().isEmpty());
        QTest::qWait(100);
        QVERIFY(line_.scale.Commands().empty());
    }

    // Eight keys that cannot be written give one message when the dialog closes.
    void unwritableSettingsAreReportedOnce()
    {
        TempAppDirectory dir;
        QVERIFY(QDir(dir.Path()).mkpath("Option.ini/keep"));
        MessageRecorder messages;
        {
            MoreSettingsDialog dialog(line_.port);
        }
        QCOMPARE(messages.Messages().size(), 1);
        QVERIFY(messages.Texts().first().contains("Option.ini"));
    }
};

QTEST_MAIN(MoreSettingsDialogTest)
#include "MoreSettingsDialogTest.moc"
