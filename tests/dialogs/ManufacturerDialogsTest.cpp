#include "controls/NumericEdit.h"
#include "dialogs/ManufacturerPasswordDialog.h"
#include "dialogs/ManufacturerSettingsDialog.h"
#include "support/MessageRecorder.h"

#include "SettingsDialogTestSupport.h"

#include <QLineEdit>

using namespace SettingsSupport;

namespace {

// A command that no test case expects, sent after an action to prove nothing went out before it.
const Bytes kMarker = Hex("1B 00 0E 01");  // Unlock

} // namespace

class ManufacturerDialogsTest : public ScaleLineTest {
    Q_OBJECT

private slots:
    // --- access code -------------------------------------------------------------------------

    void accessCode_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("first code") << "274815" << true;
        QTest::newRow("second code") << "906142" << true;
        QTest::newRow("long code") << "05317790264" << true;
        QTest::newRow("trailing space") << "274815 " << false;
        QTest::newRow("leading space") << " 906142" << false;
        QTest::newRow("long code without its zero") << "5317790264" << false;
        QTest::newRow("nothing") << "" << false;
    }

    void accessCode()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        MessageRecorder messages;
        ManufacturerPasswordDialog dialog;
        dialog.show();
        auto* edit = RequireControl<QLineEdit>(&dialog, "codeEdit");
        QCOMPARE(edit->echoMode(), QLineEdit::Password);
        QTest::keyClicks(edit, typed);
        Click(&dialog, 1);
        if (accepted) {
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(messages.Texts().isEmpty());
        } else {
            QVERIFY(dialog.isVisible());
            QCOMPARE(edit->text(), QString());
            QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("密码不正确")});
        }
    }

    void wrongCodesCanBeFollowedByTheRightOneWithEnter()
    {
        MessageRecorder messages;
        ManufacturerPasswordDialog dialog;
        dialog.show();
        auto* edit = RequireControl<QLineEdit>(&dialog, "codeEdit");
        for (const char* wrong : {"1", "274816", "27481"}) {
            QTest::keyClicks(edit, QString::fromLatin1(wrong));
            QTest::keyClick(edit, Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            QCOMPARE(edit->text(), QString());
        }
        QCOMPARE(messages.Texts().size(), 3);
        QTest::keyClicks(edit, QStringLiteral("906142"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void cancelAndEscapeRefuse()
    {
        MessageRecorder messages;
        {
            ManufacturerPasswordDialog dialog;
            dialog.show();
            QTest::keyClicks(RequireControl<QLineEdit>(&dialog, "codeEdit"), QStringLiteral("274815"));
            Click(&dialog, 2);
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        {
            ManufacturerPasswordDialog dialog;
            dialog.show();
            auto* edit = RequireControl<QLineEdit>(&dialog, "codeEdit");
            QTest::keyClicks(edit, QStringLiteral("274815"));
            QTest::keyClick(edit, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        QVERIFY(messages.Texts().isEmpty());
    }

    // --- manufacturer settings: bytes ----------------------------------------------------------

    void setSends_data()
    {
        QTest::addColumn<int>("listId");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("setId");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("protocol VK01") << 1005 << "VK01" << 1061 << QByteArray("1B 00 09 11");
        QTest::newRow("protocol OS2X") << 1005 << "OS2X" << 1061 << QByteArray("1B 00 09 21");
        QTest::newRow("protocol WINTEC") << 1005 << "WINTEC" << 1061 << QByteArray("1B 00 09 71");
        QTest::newRow("protocol FA1") << 1005 << "FA1" << 1061 << QByteArray("1B 00 09 81");
        QTest::newRow("protocol FA11") << 1005 << "FA11" << 1061 << QByteArray("1B 00 09 8B");
        QTest::newRow("no zero tracking") << 1064 << "No Zero tracking" << 1062 << QByteArray("1B 00 0B 00 00");
        QTest::newRow("zero tracking 0.5e") << 1064 << "0.5e" << 1062 << QByteArray("1B 00 0B 01 05");
        QTest::newRow("zero tracking 1.5e") << 1064 << "1.5e" << 1062 << QByteArray("1B 00 0B 01 0F");
        QTest::newRow("zero tracking 4.5e") << 1064 << "4.5e" << 1062 << QByteArray("1B 00 0B 01 2D");
        QTest::newRow("zero tracking 5e") << 1064 << "5e" << 1062 << QByteArray("1B 00 0B 00 05");
        QTest::newRow("lock") << 1065 << "Lock" << 1063 << QByteArray("1B 00 0E 00");
        QTest::newRow("precision auto") << 1066 << "Auto" << 1067 << QByteArray("1B 00 0A 00 00");
        QTest::newRow("precision 5g") << 1066 << "5g" << 1067 << QByteArray("1B 00 0A 00 05");
        QTest::newRow("precision 0.5g") << 1066 << "0.5g" << 1067 << QByteArray("1B 00 0A 01 05");
        QTest::newRow("precision 0.05g") << 1066 << "0.05g" << 1067 << QByteArray("1B 00 0A 02 05");
    }

    void setSends()
    {
        QFETCH(int, listId);
        QFETCH(QString, item);
        QFETCH(int, setId);
        QFETCH(QByteArray, expected);
        TempAppDirectory dir;
        MessageRecorder messages;
        ManufacturerSettingsDialog dialog(line_.port);
        dialog.show();
        QVERIFY(Choose(&dialog, listId, item));
        Click(&dialog, setId);
        QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{expected});
        QVERIFY(messages.Texts().isEmpty());
    }

    void divisionValue_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("expected");  // empty: refused
        QTest::newRow("0 is automatic") << "0" << QByteArray("1B 00 02 00 00");
        QTest::newRow("300") << "300" << QByteArray("1B 00 02 01 2C");
        QTest::newRow("largest") << "65535" << QByteArray("1B 00 02 FF FF");
        QTest::newRow("too large for the command") << "65536" << QByteArray();
        QTest::newRow("far too large") << "1000000" << QByteArray();
    }

    void divisionValue()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, expected);
        TempAppDirectory dir;
        MessageRecorder messages;
        ManufacturerSettingsDialog dialog(line_.port);
        dialog.show();
        auto* edit = Edit(&dialog, 1058);
        Retype(edit, typed);
        QCOMPARE(edit->text(), typed);
        Click(&dialog, 1059);
        if (expected.isEmpty()) {
            QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("请输入正确的分度值")});
            Choose(&dialog, 1065, QStringLiteral("Unlock"));
            Click(&dialog, 1063);
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{Shown(kMarker)});
        } else {
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{expected});
            QVERIFY(messages.Texts().isEmpty());
        }
    }

    void negativeDivisionRefused()
    {
        // Typing cannot give a minus sign; a stored negative value can reach the field.
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Scale=-5\r\n");
        MessageRecorder messages;
        ManufacturerSettingsDialog dialog(line_.port);
        dialog.show();
        QCOMPARE(Edit(&dialog, 1058)->text(), QStringLiteral("-5"));
        Click(&dialog, 1059);
        QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("请输入正确的分度值")});
        Click(&dialog, 1063);  // Unlock, the default
        QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{Shown(kMarker)});
    }

    void unreadableDivisionReportedThenLastValueSent()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Scale=20\r\n");
        MessageRecorder messages;
        ManufacturerSettingsDialog dialog(line_.port);
        dialog.show();
        Retype(Edit(&dialog, 1058), QStringLiteral("99999999999"));
        Click(&dialog, 1059);
        QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("请键入一个整数。")});
        QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{QByteArray("1B 00 02 00 14")});
    }

    void listWithoutSelection_data()
    {
        // Protocol and precision have a defined fallback; zero tracking has none and sends nothing.
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<int>("listId");
        QTest::addColumn<int>("setId");
        QTest::addColumn<QByteArray>("fallback");
        QTest::newRow("protocol") << QByteArray("Type=20") << 1005 << 1061 << QByteArray("1B 00 09 11");
        QTest::newRow("zero tracking") << QByteArray("Zero=11") << 1064 << 1062 << QByteArray();
        QTest::newRow("precision") << QByteArray("Precision=-3") << 1066 << 1067 << QByteArray("1B 00 0A 00 00");
    }

    void listWithoutSelection()
    {
        QFETCH(QByteArray, setting);
        QFETCH(int, listId);
        QFETCH(int, setId);
        QFETCH(QByteArray, fallback);
        TempAppDirectory dir;
        WriteSystemSettings(dir, setting + "\r\n");
        MessageRecorder messages;
        {
            ManufacturerSettingsDialog dialog(line_.port);
            dialog.show();
            QCOMPARE(List(&dialog, listId)->currentIndex(), -1);
            Click(&dialog, setId);
            Click(&dialog, 1063);
            QList<QByteArray> expected;
            if (!fallback.isEmpty())
                expected << fallback;
            expected << Shown(kMarker);
            QCOMPARE(Shown(line_.Await(std::size_t(expected.size()))), expected);
        }
        QVERIFY(messages.Texts().isEmpty());
        QCOMPARE(StoredInt(setting.left(setting.indexOf('=')).constData()), -1);
    }

    void lockListWithoutSelectionSendsNothing()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "EnableButton=2\r\n");
        ManufacturerSettingsDialog dialog(line_.port);
        dialog.show();
        QCOMPARE(List(&dialog, 1065)->currentIndex(), -1);
        Click(&dialog, 1063);
        Click(&dialog, 1067);  // precision Auto, the default
        QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{QByteArray("1B 00 0A 00 00")});
    }

    // --- manufacturer settings: settings file --------------------------------------------------

    void defaultsWithoutSettingsFile()
    {
        TempAppDirectory dir;
        {
            ManufacturerSettingsDialog dialog(line_.port);
            QCOMPARE(Edit(&dialog, 1058)->text(), QStringLiteral("0"));
            QCOMPARE(List(&dialog, 1005)->currentText(), QStringLiteral("VK01"));
            QCOMPARE(List(&dialog, 1064)->currentText(), QStringLiteral("0.5e"));
            QCOMPARE(List(&dialog, 1065)->currentText(), QStringLiteral("Unlock"));
            QCOMPARE(List(&dialog, 1066)->currentText(), QStringLiteral("Auto"));
        }
        QCOMPARE(StoredInt("Scale"), 0);
        QCOMPARE(StoredInt("Type"), 0);
        QCOMPARE(StoredInt("Zero"), 1);
        QCOMPARE(StoredInt("EnableButton"), 1);
        QCOMPARE(StoredInt("Precision"), 0);
    }

    void storedValuesShownAndKeptWhenClosedWithoutClick()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Scale=20\r\nType=2\r\nZero=3\r\nEnableButton=0\r\nPrecision=6\r\n");
        {
            ManufacturerSettingsDialog dialog(line_.port);
            dialog.show();
            QCOMPARE(Edit(&dialog, 1058)->text(), QStringLiteral("20"));
            QCOMPARE(List(&dialog, 1005)->currentText(), QStringLiteral("OS2X"));
            QCOMPARE(List(&dialog, 1064)->currentText(), QStringLiteral("1.5e"));
            QCOMPARE(List(&dialog, 1065)->currentText(), QStringLiteral("Lock"));
            QCOMPARE(List(&dialog, 1066)->currentText(), QStringLiteral("0.5g"));
            // Typed but neither set nor confirmed: not stored.
            Retype(Edit(&dialog, 1058), QStringLiteral("55"));
            Click(&dialog, 2);
            QVERIFY(!dialog.isVisible());
        }
        QCOMPARE(StoredInt("Scale"), 20);
        QCOMPARE(StoredInt("Type"), 2);
        QCOMPARE(StoredInt("Zero"), 3);
        QCOMPARE(StoredInt("EnableButton"), 0);
        QCOMPARE(StoredInt("Precision"), 6);
    }

    void listChangesAndEnterAreStored()
    {
        TempAppDirectory dir;
        {
            ManufacturerSettingsDialog dialog(line_.port);
            dialog.show();
            QVERIFY(Choose(&dialog, 1005, QStringLiteral("FA3")));
            QVERIFY(Choose(&dialog, 1064, QStringLiteral("5e")));
            QVERIFY(Choose(&dialog, 1066, QStringLiteral("0.02g")));
            auto* edit = Edit(&dialog, 1058);
            Retype(edit, QStringLiteral("55"));
            QTest::keyClick(edit, Qt::Key_Return);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(!dialog.isVisible());
        }
        QCOMPARE(StoredInt("Scale"), 55);
        QCOMPARE(StoredInt("Type"), 11);
        QCOMPARE(StoredInt("Zero"), 10);
        QCOMPARE(StoredInt("Precision"), 8);
    }

    void enterWithUnreadableFieldKeepsTheDialogOpen()
    {
        TempAppDirectory dir;
        MessageRecorder messages;
        {
            ManufacturerSettingsDialog dialog(line_.port);
            dialog.show();
            auto* edit = Edit(&dialog, 1058);
            edit->setText(QStringLiteral("12x"));
            QTest::keyClick(edit, Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("请键入一个整数。")});
            QTest::keyClick(edit, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        }
        QCOMPARE(StoredInt("Scale"), 0);
    }

    void typeStoredAsSeriesOpensOnItsProtocol()
    {
        // The main dialog stores its series (2, RIVAV) under the same key.
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Type=2\r\n");
        ManufacturerSettingsDialog dialog(line_.port);
        QCOMPARE(List(&dialog, 1005)->currentText(), QStringLiteral("OS2X"));
    }
};

QTEST_MAIN(ManufacturerDialogsTest)
#include "ManufacturerDialogsTest.moc"
