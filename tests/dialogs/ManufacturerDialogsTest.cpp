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
        Click(&dialog, "okButton");
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
            Click(&dialog, "cancelButton");
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
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("protocol VK01") << "protocolList" << "VK01" << "protocolSet" << QByteArray("1B 00 09 11");
        QTest::newRow("protocol OS2X") << "protocolList" << "OS2X" << "protocolSet" << QByteArray("1B 00 09 21");
        QTest::newRow("protocol WINTEC") << "protocolList" << "WINTEC" << "protocolSet" << QByteArray("1B 00 09 71");
        QTest::newRow("protocol FA1") << "protocolList" << "FA1" << "protocolSet" << QByteArray("1B 00 09 81");
        QTest::newRow("protocol FA11") << "protocolList" << "FA11" << "protocolSet" << QByteArray("1B 00 09 8B");
        QTest::newRow("no zero tracking") << "zeroList" << "No Zero tracking" << "zeroSet" << QByteArray("1B 00 0B 00 00");
        QTest::newRow("zero tracking 0.5e") << "zeroList" << "0.5e" << "zeroSet" << QByteArray("1B 00 0B 01 05");
        QTest::newRow("zero tracking 1.5e") << "zeroList" << "1.5e" << "zeroSet" << QByteArray("1B 00 0B 01 0F");
        QTest::newRow("zero tracking 4.5e") << "zeroList" << "4.5e" << "zeroSet" << QByteArray("1B 00 0B 01 2D");
        QTest::newRow("zero tracking 5e") << "zeroList" << "5e" << "zeroSet" << QByteArray("1B 00 0B 00 05");
        QTest::newRow("lock") << "lockList" << "Lock" << "lockSet" << QByteArray("1B 00 0E 00");
        QTest::newRow("precision auto") << "precisionList" << "Auto" << "precisionSet" << QByteArray("1B 00 0A 00 00");
        QTest::newRow("precision 5g") << "precisionList" << "5g" << "precisionSet" << QByteArray("1B 00 0A 00 05");
        QTest::newRow("precision 0.5g") << "precisionList" << "0.5g" << "precisionSet" << QByteArray("1B 00 0A 01 05");
        QTest::newRow("precision 0.05g") << "precisionList" << "0.05g" << "precisionSet" << QByteArray("1B 00 0A 02 05");
    }

    void setSends()
    {
        QFETCH(QString, list);
        QFETCH(QString, item);
        QFETCH(QString, button);
        QFETCH(QByteArray, expected);
        TempAppDirectory dir;
        MessageRecorder messages;
        ManufacturerSettingsDialog dialog(line_.port);
        dialog.show();
        QVERIFY(Choose(&dialog, qPrintable(list), item));
        Click(&dialog, qPrintable(button));
        QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{expected});
        QVERIFY(messages.Texts().isEmpty());
    }

    // The value typed, or one stored (the field cannot be given a minus sign by typing). A refused
    // value sends nothing, as the Unlock that follows shows; one that cannot be read sends the last.
    void divisionValue_data()
    {
        QTest::addColumn<QByteArray>("stored");   // the Scale key; empty: none
        QTest::addColumn<QString>("typed");       // null: the stored value left as shown
        QTest::addColumn<QString>("message");     // empty: none
        QTest::addColumn<QByteArray>("expected"); // empty: nothing sent
        const QString wrong = QString::fromUtf8("请输入正确的分度值");
        QTest::newRow("0 is automatic") << QByteArray() << "0" << QString() << QByteArray("1B 00 02 00 00");
        QTest::newRow("300") << QByteArray() << "300" << QString() << QByteArray("1B 00 02 01 2C");
        QTest::newRow("largest") << QByteArray() << "65535" << QString() << QByteArray("1B 00 02 FF FF");
        QTest::newRow("too large for the command") << QByteArray() << "65536" << wrong << QByteArray();
        QTest::newRow("far too large") << QByteArray() << "1000000" << wrong << QByteArray();
        QTest::newRow("stored negative") << QByteArray("-5") << QString() << wrong << QByteArray();
        QTest::newRow("unreadable: the last value goes") << QByteArray("20") << "99999999999"
                                                          << QString::fromUtf8("请键入一个整数。")
                                                          << QByteArray("1B 00 02 00 14");
    }

    void divisionValue()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QByteArray, expected);
        TempAppDirectory dir;
        if (!stored.isEmpty())
            WriteSystemSettings(dir, "Scale=" + stored + "\r\n");
        MessageRecorder messages;
        ManufacturerSettingsDialog dialog(line_.port);
        dialog.show();
        auto* edit = Edit(&dialog, "divisionEdit");
        if (!typed.isNull())
            Retype(edit, typed);
        QCOMPARE(edit->text(), typed.isNull() ? QString(stored) : typed);
        Click(&dialog, "divisionSet");
        QCOMPARE(messages.Texts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (expected.isEmpty()) {
            Click(&dialog, "lockSet");  // Unlock, the default
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{Shown(kMarker)});
        } else {
            QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{expected});
        }
    }

    void listWithoutSelection_data()
    {
        // Protocol and precision have a defined fallback; zero tracking has none and sends nothing.
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("fallback");
        QTest::newRow("protocol") << QByteArray("Type=20") << "protocolList" << "protocolSet" << QByteArray("1B 00 09 11");
        QTest::newRow("zero tracking") << QByteArray("Zero=11") << "zeroList" << "zeroSet" << QByteArray();
        QTest::newRow("precision") << QByteArray("Precision=-3") << "precisionList" << "precisionSet" << QByteArray("1B 00 0A 00 00");
    }

    void listWithoutSelection()
    {
        QFETCH(QByteArray, setting);
        QFETCH(QString, list);
        QFETCH(QString, button);
        QFETCH(QByteArray, fallback);
        TempAppDirectory dir;
        WriteSystemSettings(dir, setting + "\r\n");
        MessageRecorder messages;
        {
            ManufacturerSettingsDialog dialog(line_.port);
            dialog.show();
            QCOMPARE(List(&dialog, qPrintable(list))->currentIndex(), -1);
            Click(&dialog, qPrintable(button));
            Click(&dialog, "lockSet");
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
        QCOMPARE(List(&dialog, "lockList")->currentIndex(), -1);
        Click(&dialog, "lockSet");
        Click(&dialog, "precisionSet");  // precision Auto, the default
        QCOMPARE(Shown(line_.Await(1)), QList<QByteArray>{QByteArray("1B 00 0A 00 00")});
    }

    // --- manufacturer settings: settings file --------------------------------------------------

    // What the dialog shows (division, protocol, zero tracking, lock, precision) and what stays
    // stored (Scale, Type, Zero, EnableButton, Precision) when it is left without a click.
    void settingsShownAndKeptWhenClosedWithoutClick_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QList<int>>("stored");
        QTest::newRow("no settings file") << QByteArray() << QStringList{"0", "VK01", "0.5e", "Unlock", "Auto"}
                                          << QList<int>{0, 0, 1, 1, 0};
        // Type 2 is also what the main dialog stores for its series RIVAV.
        QTest::newRow("stored values")
            << QByteArray("Scale=20\r\nType=2\r\nZero=3\r\nEnableButton=0\r\nPrecision=6\r\n")
            << QStringList{"20", "OS2X", "1.5e", "Lock", "0.5g"} << QList<int>{20, 2, 3, 0, 6};
    }

    void settingsShownAndKeptWhenClosedWithoutClick()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, shown);
        QFETCH(QList<int>, stored);
        TempAppDirectory dir;
        if (!settings.isEmpty())
            WriteSystemSettings(dir, settings);
        {
            ManufacturerSettingsDialog dialog(line_.port);
            dialog.show();
            QCOMPARE(FieldTexts(&dialog, {"divisionEdit", "protocolList", "zeroList", "lockList", "precisionList"}),
                     shown);
            // Typed but neither set nor confirmed: not stored.
            Retype(Edit(&dialog, "divisionEdit"), QStringLiteral("55"));
            Click(&dialog, "backButton");
            QVERIFY(!dialog.isVisible());
        }
        QList<int> kept;
        for (const char* key : {"Scale", "Type", "Zero", "EnableButton", "Precision"})
            kept << StoredInt(key);
        QCOMPARE(kept, stored);
    }

    void listChangesAndEnterAreStored()
    {
        TempAppDirectory dir;
        {
            ManufacturerSettingsDialog dialog(line_.port);
            dialog.show();
            QVERIFY(Choose(&dialog, "protocolList", QStringLiteral("FA3")));
            QVERIFY(Choose(&dialog, "zeroList", QStringLiteral("5e")));
            QVERIFY(Choose(&dialog, "precisionList", QStringLiteral("0.02g")));
            auto* edit = Edit(&dialog, "divisionEdit");
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
            auto* edit = Edit(&dialog, "divisionEdit");
            edit->setText(QStringLiteral("12x"));
            QTest::keyClick(edit, Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("请键入一个整数。")});
            QTest::keyClick(edit, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        }
        QCOMPARE(StoredInt("Scale"), 0);
    }
};

QTEST_MAIN(ManufacturerDialogsTest)
#include "ManufacturerDialogsTest.moc"
