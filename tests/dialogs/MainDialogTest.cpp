// The main dialog without a scale of its own: what it reads and writes, its selections, the series
// change, the keys that end it, the failed open, the two languages and the layout (shown on the
// virtual scale entry).
#include "commodity/GbkCodec.h"
#include "MainDialogTestSupport.h"

#include "app/Language.h"
#include "controls/EditableListCtrl.h"
#include "controls/InPlaceEdit.h"
#include "controls/StatusLamp.h"
#include "dialogs/PortLink.h"
#include "settings/AppPaths.h"
#include "settings/Profile.h"
#include "sim/VirtualScale.h"
#include "support/Languages.h"
#include "support/MessageRecorder.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QToolTip>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace MainDialogSupport;

namespace {

QString CellText(const QWidget* dialog, int row, int column)
{
    auto* list = RequireControl<EditableListCtrl>(dialog, "commodityList");
    return list->model()->index(row, column).data().toString();
}

QByteArray Gbk(const QString& text)
{
    return QByteArray::fromStdString(GbkCodec::Utf8ToGbk(text.toStdString()).value());
}

std::string Setting(const char* key)
{
    return Profile::ReadText(AppPaths::SettingsPath(), "System", key, "<missing>");
}

// Opens the cell's editor with a double click and types `text` into it; the editor stays open.
void TypeIntoOpenCell(QWidget* dialog, int row, int column, const char* text)
{
    auto* list = RequireControl<EditableListCtrl>(dialog, "commodityList");
    const QRect cell = list->visualRect(list->model()->index(row, column));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(list->IsEditing());
    QTest::keyClicks(list->findChild<InPlaceEdit*>(), text);
}

// Types `text` over the cell's text and closes the editor.
void TypeIntoCell(QWidget* dialog, int row, int column, const char* text)
{
    TypeIntoOpenCell(dialog, row, column, "");
    if (QTest::currentTestFailed())
        return;
    auto* list = RequireControl<EditableListCtrl>(dialog, "commodityList");
    QTest::keyClick(list->findChild<InPlaceEdit*>(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(list->findChild<InPlaceEdit*>(), text);
    list->EndCellEdit(true, true);
}

QString Caption(const QWidget* dialog, const char* name)
{
    return RequireControl<QLabel>(dialog, name)->text();
}

// The captions of the three value fields.
QStringList Captions(const QWidget* dialog)
{
    return {Caption(dialog, "caption1"), Caption(dialog, "caption2"), Caption(dialog, "caption3")};
}

} // namespace

class MainDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        Language::Install(QLocale::c());
    }

    void defaultsWithoutSettingsFile()
    {
        TempAppDirectory dir;
        ScaleMainDialog dialog;
        QCOMPARE(dialog.windowTitle(), QString("Electronic scale"));
        QVERIFY(Combo(&dialog, "portCombo")->count() > 0);
        QCOMPARE(Combo(&dialog, "portCombo")->currentIndex(), 0);
        QCOMPARE(Combo(&dialog, "baudCombo")->currentText(), QString("9600"));
        QCOMPARE(Combo(&dialog, "modelCombo")->currentText(), QString("ZUD series"));
        QCOMPARE(Combo(&dialog, "newBaudCombo")->currentText(), QString("9600"));
        QCOMPARE(Combo(&dialog, "postbackCombo")->currentText(), QString("0(No active Postback)"));
        QVERIFY(Edit(&dialog, "corpEdit")->text().isEmpty());
        QCOMPARE(Button(&dialog, "openButton")->text(), QString("&Open port"));
        QCOMPARE(Captions(&dialog), (QStringList{"Gross", "TARE", "Net"}));
        QVERIFY(!RequireControl<StatusLamp>(&dialog, "lamp")->isVisible());
        // Nothing is written while the dialog runs.
        QVERIFY(!QFile::exists(dir.Path() + "/Option.ini"));
    }

    void settingsAreWrittenOnClose()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "BackDataRate=3\r\nSleep=40\r\n");
        {
            ScaleMainDialog dialog;
            Combo(&dialog, "baudCombo")->setCurrentIndex(4);
            Combo(&dialog, "modelCombo")->setCurrentIndex(1);
            Combo(&dialog, "newBaudCombo")->setCurrentIndex(6);
            Combo(&dialog, "postbackCombo")->setCurrentIndex(7);
            Edit(&dialog, "corpEdit")->setText(QString::fromUtf8("欧万超市 Shop"));
            dialog.show();
            QVERIFY(dialog.close());
            QCOMPARE(Setting("Port"), std::string("0"));
            QCOMPARE(Setting("Baudrate"), std::string("4"));
            QCOMPARE(Setting("Type"), std::string("1"));
            QCOMPARE(Setting("Baudrate2"), std::string("6"));
            QCOMPARE(QByteArray::fromStdString(Setting("Corp")), Gbk(QString::fromUtf8("欧万超市 Shop")));
            // The postback choice is read, never written back.
            QCOMPARE(Setting("BackDataRate"), std::string("3"));
        }
        // ... and read again by the next start.
        ScaleMainDialog again;
        QCOMPARE(Combo(&again, "baudCombo")->currentText(), QString("38400"));
        QCOMPARE(Combo(&again, "modelCombo")->currentIndex(), 1);
        QCOMPARE(Combo(&again, "newBaudCombo")->currentText(), QString("115200"));
        QCOMPARE(Combo(&again, "postbackCombo")->currentIndex(), 3);
        QCOMPARE(Edit(&again, "corpEdit")->text(), QString::fromUtf8("欧万超市 Shop"));
    }

    void indexOutsideListSelectsNothing_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("writtenBack");
        QTest::newRow("port -1") << QByteArray("Port") << QByteArray("portCombo") << -1 << true;
        QTest::newRow("port beyond the list") << QByteArray("Port") << QByteArray("portCombo") << 999 << true;
        QTest::newRow("baud rate 7") << QByteArray("Baudrate") << QByteArray("baudCombo") << 7 << true;
        QTest::newRow("series 3") << QByteArray("Type") << QByteArray("modelCombo") << 3 << true;
        QTest::newRow("new baud rate -2") << QByteArray("Baudrate2") << QByteArray("newBaudCombo") << -2 << true;
        QTest::newRow("postback 11") << QByteArray("BackDataRate") << QByteArray("postbackCombo") << 11 << false;
    }

    void indexOutsideListSelectsNothing()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, name);
        QFETCH(int, stored);
        QFETCH(bool, writtenBack);
        TempAppDirectory dir;
        WriteSystemSettings(dir, key + "=" + QByteArray::number(stored) + "\r\n");
        ScaleMainDialog dialog;
        QCOMPARE(Combo(&dialog, name.constData())->currentIndex(), -1);
        dialog.show();
        dialog.close();
        const std::string expected = writtenBack ? "-1" : std::to_string(stored);
        QCOMPARE(Setting(key.constData()), expected);
    }

    void noSeriesSelectedShowsFramedCaptionsAndTouchesNoFile()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Type=-1\r\n");
        ScaleMainDialog dialog;
        QCOMPARE(Captions(&dialog), (QStringList{"Net", "Price", "Total"}));
        dialog.show();
        dialog.close();
        QVERIFY(!QFile::exists(dir.Path() + "/ZUD.txt"));
        QVERIFY(!QFile::exists(dir.Path() + "/ZEV.txt"));
    }

    void seriesChangeSavesThePreviousListBeforeLoadingTheNext()
    {
        TempAppDirectory dir;
        // Blanks around the fields go when loading; a save would write the file without them.
        dir.WriteFile("ZUD.txt", "1, A1 ,Apple , 2.50\r\n");
        dir.WriteFile("ZEV.txt", "2, B2 ,Banana,1.00 \r\n");
        ScaleMainDialog dialog;
        // The first series change, at start, only loads.
        QCOMPARE(dir.ReadFile("ZUD.txt"), QByteArray("1, A1 ,Apple , 2.50\r\n"));
        QCOMPARE(CellText(&dialog, 0, 3), QString("Apple"));
        QCOMPARE(CellText(&dialog, 1, 3), QString());

        Combo(&dialog, "modelCombo")->setCurrentIndex(1);
        QCOMPARE(dir.ReadFile("ZUD.txt"), QByteArray("1,A1,Apple,2.50\r\n"));
        QCOMPARE(dir.ReadFile("ZEV.txt"), QByteArray("2, B2 ,Banana,1.00 \r\n"));
        QCOMPARE(CellText(&dialog, 0, 3), QString());
        QCOMPARE(CellText(&dialog, 1, 2), QString("B2"));
        QCOMPARE(Captions(&dialog), (QStringList{"Net", "Price", "Total"}));

        Combo(&dialog, "modelCombo")->setCurrentIndex(0);
        QCOMPARE(dir.ReadFile("ZEV.txt"), QByteArray("2,B2,Banana,1.00\r\n"));
        QCOMPARE(CellText(&dialog, 0, 4), QString("2.50"));
        QCOMPARE(CellText(&dialog, 1, 3), QString());
        QCOMPARE(Caption(&dialog, "caption1"), QString("Gross"));

        // RIVAV keeps no list: ZUD is saved, the list is empty and disabled; no file for it appears.
        Combo(&dialog, "modelCombo")->setCurrentIndex(2);
        QCOMPARE(CellText(&dialog, 0, 3), QString());
        QVERIFY(!RequireControl<QWidget>(&dialog, "commodityList")->isEnabled());
        const QStringList files = QDir(dir.Path()).entryList(QDir::Files);
        QCOMPARE(files, QStringList({"ZEV.txt", "ZUD.txt"}));
    }

    // A list file that cannot be read is named to the operator and is not saved over unless the
    // list was changed and the operator agreed.
    void unreadableListIsKeptUnlessTheOperatorReplacesIt()
    {
#ifdef _WIN32
        QSKIP("the unreadable file is a symbolic link to itself, which Windows links (shortcuts) cannot be");
#endif
        TempAppDirectory dir;
        // A link to itself: it is there, but no read gets through it.
        QVERIFY(QFile::link("ZUD.txt", dir.Path() + "/ZUD.txt"));
        dir.WriteFile("ZEV.txt", "1,B1,,\r\n");
        MessageRecorder messages(QMessageBox::Cancel);
        ScaleMainDialog dialog;
        QVERIFY(ShowExposed(&dialog));
        QCOMPARE(messages.Messages().size(), 1);
        QVERIFY(messages.Texts().first().contains("ZUD.txt"));
        QCOMPARE(messages.Messages().first().icon, OperatorMessage::Icon::Warning);
        const auto isLink = [&] { return QFileInfo(dir.Path() + "/ZUD.txt").isSymLink(); };

        // Unchanged: left without a question, and the file stays.
        messages.Clear();
        Combo(&dialog, "modelCombo")->setCurrentIndex(1);
        QVERIFY(messages.Messages().isEmpty());
        QVERIFY(isLink());

        // Changed: the operator is asked. Cancel stays on the list, No leaves the file alone.
        Combo(&dialog, "modelCombo")->setCurrentIndex(0);
        TypeIntoCell(&dialog, 0, 2, "C9");
        messages.Clear();
        Combo(&dialog, "modelCombo")->setCurrentIndex(1);
        QCOMPARE(messages.Messages().size(), 1);
        QCOMPARE(messages.Messages().first().buttons,
                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(Combo(&dialog, "modelCombo")->currentIndex(), 0);
        QCOMPARE(CellText(&dialog, 0, 2), QString("C9"));
        messages.SetAnswer(QMessageBox::No);
        Combo(&dialog, "modelCombo")->setCurrentIndex(1);
        QCOMPARE(CellText(&dialog, 0, 2), QString("B1"));
        QVERIFY(isLink());

        // Yes replaces it.
        Combo(&dialog, "modelCombo")->setCurrentIndex(0);
        TypeIntoCell(&dialog, 0, 2, "C9");
        messages.SetAnswer(QMessageBox::Yes);
        QVERIFY(dialog.close());
        QVERIFY(!isLink());
        QCOMPARE(dir.ReadFile("ZUD.txt"), QByteArray("1,C9,,\r\n"));
    }

    // A save that fails when the list is left offers Retry, Discard and Cancel; Cancel keeps the
    // dialog, the series and the edits.
    void failedSaveOffersRetryDiscardAndCancel()
    {
        TempAppDirectory dir;
        dir.WriteFile("ZUD.txt", "1,A1,,\r\n");
        ScaleMainDialog dialog;
        QVERIFY(ShowExposed(&dialog));
        // A directory takes the file's place after loading: nothing can be written there.
        const auto blockFile = [&] {
            QFile::remove(dir.Path() + "/ZUD.txt");
            QDir(dir.Path()).mkpath("ZUD.txt/keep");
        };
        const auto unblockFile = [&] { QDir(dir.Path() + "/ZUD.txt").removeRecursively(); };
        blockFile();

        // Unchanged: a warning, nothing to keep.
        MessageRecorder messages(QMessageBox::Cancel);
        Combo(&dialog, "modelCombo")->setCurrentIndex(1);
        QCOMPARE(messages.Messages().size(), 1);
        QVERIFY(messages.Texts().first().contains("ZUD.txt"));
        QCOMPARE(messages.Messages().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        unblockFile();
        dir.WriteFile("ZUD.txt", "1,A1,,\r\n");
        Combo(&dialog, "modelCombo")->setCurrentIndex(0);
        TypeIntoCell(&dialog, 0, 3, "Pear");
        blockFile();

        messages.Clear();
        Combo(&dialog, "modelCombo")->setCurrentIndex(1);
        QCOMPARE(messages.Messages().size(), 1);
        QCOMPARE(messages.Messages().first().buttons,
                 QMessageBox::Retry | QMessageBox::Discard | QMessageBox::Cancel);
        QCOMPARE(Combo(&dialog, "modelCombo")->currentIndex(), 0);
        QCOMPARE(CellText(&dialog, 0, 3), QString("Pear"));
        QCOMPARE(Caption(&dialog, "caption1"), QString("Gross"));

        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible());
        QCOMPARE(CellText(&dialog, 0, 3), QString("Pear"));

        // Retry once the directory is gone writes the edits.
        int asked = 0;
        OperatorMessage::SetHandler([&](const OperatorMessage::Message&) {
            ++asked;
            unblockFile();
            return QMessageBox::Retry;
        });
        Combo(&dialog, "modelCombo")->setCurrentIndex(1);
        QCOMPARE(asked, 1);
        QCOMPARE(dir.ReadFile("ZUD.txt"), QByteArray("1,A1,Pear,\r\n"));

        // Discard lets the dialog end without them.
        MessageRecorder discard(QMessageBox::Discard);
        Combo(&dialog, "modelCombo")->setCurrentIndex(0);
        TypeIntoCell(&dialog, 0, 3, "Plum");
        blockFile();
        QVERIFY(dialog.close());
        QCOMPARE(discard.Messages().size(), 1);
        QVERIFY(QFile::exists(dir.Path() + "/ZUD.txt/keep"));
    }

    void unwritableSettingsAreReportedOnce()
    {
        TempAppDirectory dir;
        QVERIFY(QDir(dir.Path()).mkpath("Option.ini/keep"));
        MessageRecorder messages;
        {
            ScaleMainDialog dialog;
            dialog.show();
            QVERIFY(dialog.close());
        }
        QCOMPARE(messages.Messages().size(), 1);
        QVERIFY(messages.Texts().first().contains("Option.ini"));
        QCOMPARE(messages.Messages().first().icon, OperatorMessage::Icon::Warning);

        // A company name with a line break is refused, not written as keys of its own.
        QVERIFY(QDir(dir.Path() + "/Option.ini").removeRecursively());
        messages.Clear();
        ScaleMainDialog dialog;
        Edit(&dialog, "corpEdit")->setText("Shop\n[Font]\nName=x");
        dialog.show();
        QVERIFY(dialog.close());
        QCOMPARE(messages.Messages().size(), 1);
        QCOMPARE(Setting("Type"), std::string("0"));
        QCOMPARE(Profile::ReadText(AppPaths::SettingsPath(), "Font", "Name", "<missing>"), std::string("<missing>"));
    }

    void failedOpenShowsTheMessageAndChangesNothing_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing device") << QString("/dev/no-such-scale-port") << QString("The port is not there (any more).");
        QTest::newRow("nothing selected") << QString() << QString("No port is selected.");
    }

    void failedOpenShowsTheMessageAndChangesNothing()
    {
        QFETCH(QString, port);
        QFETCH(QString, reason);
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Port=-1\r\nVirtualScale=0\r\n");
        ScaleMainDialog dialog;
        QComboBox* ports = Combo(&dialog, "portCombo");
        if (!port.isEmpty()) {
            ports->addItem(port);
            ports->setCurrentIndex(ports->count() - 1);
        }
        const QMap<QString, bool> before = EnabledStates(&dialog);
        MessageRecorder messages;
        Button(&dialog, "openButton")->click();
        QTRY_COMPARE(messages.Messages().size(), 1);
        const OperatorMessage::Message& shown = messages.Messages().first();
        QCOMPARE(shown.text, "Open port fail\n" + reason);
        QCOMPARE(shown.icon, OperatorMessage::Icon::Error);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(Button(&dialog, "openButton")->text(), QString("&Open port"));
        QCOMPARE(EnabledStates(&dialog), before);
    }

    void enableRuleWhileClosed_data()
    {
        QTest::addColumn<int>("series");
        QTest::newRow("ZUD") << 0;
        QTest::newRow("ZEV") << 1;
        QTest::newRow("RIVAV") << 2;
    }

    void enableRuleWhileClosed()
    {
        QFETCH(int, series);
        TempAppDirectory dir;
        ScaleMainDialog dialog;
        Combo(&dialog, "modelCombo")->setCurrentIndex(series);
        QMap<QString, bool> expected;
        for (const char* name : {"portCombo", "baudCombo", "corpEdit", "companyButton", "uploadButton", "zeroButton",
                                 "tareButton", "newBaudCombo", "setBaudButton", "printSetupButton", "printA15Button",
                                 "printA16Button", "commodityList", "autoReadCheck", "activeReturnCheck",
                                 "postbackCombo", "postbackButton", "moreButton", "readParamButton"})
            expected.insert(name, false);
        expected["portCombo"] = expected["baudCombo"] = true;
        // The sheets can be printed for ZEV without a scale.
        expected["printSetupButton"] = expected["printA15Button"] = expected["printA16Button"] = series == 1;
        expected["commodityList"] = series != 2;
        QCOMPARE(EnabledStates(&dialog), expected);
        // Never governed by the rule.
        QVERIFY(Button(&dialog, "openButton")->isEnabled());
        QVERIFY(Button(&dialog, "escButton")->isEnabled());
        QVERIFY(Combo(&dialog, "modelCombo")->isEnabled());
    }

    void enterNeverEndsTheDialog()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Port=-1\r\n");
        MessageRecorder messages;
        ScaleMainDialog dialog;
        QVERIFY(ShowExposed(&dialog));
        QSignalSpy finished(&dialog, &QDialog::finished);
        for (const char* name : {"openButton", "corpEdit", "portCombo", "modelCombo", "commodityList", "escButton"}) {
            QWidget* control = RequireControl<QWidget>(&dialog, name);
            control->setFocus();
            QTest::keyClick(control, Qt::Key_Return);
            QTest::keyClick(control, Qt::Key_Enter);
        }
        QTest::keyClick(&dialog, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(finished.count(), 0);
        // Enter did not press "Open port" or "ESC" either.
        QVERIFY(messages.Messages().isEmpty());
        QCOMPARE(Button(&dialog, "openButton")->text(), QString("&Open port"));
    }

    void escapeEndingACellEditKeepsTheDialog()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Type=1\r\n");
        ScaleMainDialog dialog;
        QVERIFY(ShowExposed(&dialog));
        QSignalSpy finished(&dialog, &QDialog::finished);
        auto* list = RequireControl<EditableListCtrl>(&dialog, "commodityList");
        TypeIntoOpenCell(&dialog, 0, 3, "Pear");
        QTest::keyClick(list->findChild<InPlaceEdit*>(), Qt::Key_Escape);
        QVERIFY(!list->IsEditing());
        QVERIFY(dialog.isVisible());
        QCOMPARE(finished.count(), 0);
        // Escape keeps what was typed up to the key before it.
        QCOMPARE(list->model()->index(0, 3).data().toString(), QString("Pear"));
    }

    void openCellEditGoesToTheListItWasTypedIn()
    {
        TempAppDirectory dir;
        dir.WriteFile("ZUD.txt", "1,A1,,\r\n");
        dir.WriteFile("ZEV.txt", "1,B1,,\r\n");
        ScaleMainDialog dialog;
        QVERIFY(ShowExposed(&dialog));
        auto* list = RequireControl<EditableListCtrl>(&dialog, "commodityList");

        // The series changes while a name is being typed (a mouse wheel over the Model list).
        TypeIntoOpenCell(&dialog, 0, 3, "Pear");
        Combo(&dialog, "modelCombo")->setCurrentIndex(1);
        QVERIFY(!list->IsEditing());
        QCOMPARE(dir.ReadFile("ZUD.txt"), QByteArray("1,A1,Pear,\r\n"));
        Edit(&dialog, "corpEdit")->setFocus();
        QCOMPARE(CellText(&dialog, 0, 3), QString());

        // The dialog ends through its close box while a price is being typed.
        TypeIntoOpenCell(&dialog, 0, 4, "1.25");
        QVERIFY(dialog.close());
        QCOMPARE(dir.ReadFile("ZEV.txt"), QByteArray("1,B1,,1.25\r\n"));
    }

    // However it comes in, the name stays one line of GBK text: it is sent as one line and stored
    // as one key.
    void corporateNameTakesOneLineOfGbkText()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Corp=Shop\r\n");
        {
            ScaleMainDialog dialog;
            QVERIFY(ShowExposed(&dialog));
            QLineEdit* corp = Edit(&dialog, "corpEdit");
            corp->setEnabled(true);  // as while a ZUD scale is open
            corp->setFocus();
            corp->end(false);
            for (const QString& pasted : {QStringLiteral("\nType=2"), QStringLiteral("\x1B"), QStringLiteral("🍎")}) {
                QToolTip::hideText();
                QGuiApplication::clipboard()->setText(pasted);
                QTest::keyClick(corp, Qt::Key_V, Qt::ControlModifier);
                QCOMPARE(corp->text(), QStringLiteral("Shop"));
                QVERIFY(QToolTip::isVisible());
            }
            QGuiApplication::clipboard()->setText(QString::fromUtf8(" 香蕉"));
            QTest::keyClick(corp, Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(QByteArray::fromStdString(Setting("Corp")), "Shop " + Gbk(QString::fromUtf8("香蕉")));
        QCOMPARE(Setting("Type"), std::string("0"));
    }

    // Alt+U leaves the focus in the open cell: the upload must still take its last typed key. Only
    // U with Alt held is sent: the press of Alt alone is not counted on (an input method or the
    // window system may keep it).
    void uploadByShortcutTakesTheCellBeingTyped()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Type=1\r\n");
        ScaleMainDialog dialog;
        QComboBox* ports = Combo(&dialog, "portCombo");
        ports->setCurrentIndex(ports->count() - 2);  // the virtual scale, before "Network port..."
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        Button(&dialog, "openButton")->click();
        QVERIFY(dialog.DemoScale());
        QTRY_COMPARE(Button(&dialog, "openButton")->text(), QString("Cl&ose port"));
        auto* list = RequireControl<EditableListCtrl>(&dialog, "commodityList");
        TypeIntoOpenCell(&dialog, 0, 3, "Apple");
        QTest::simulateEvent(list->findChild<InPlaceEdit*>(), true, Qt::Key_U, Qt::AltModifier, QString(), false);
        QTest::simulateEvent(list->findChild<InPlaceEdit*>(), false, Qt::Key_U, Qt::AltModifier, QString(), false);
        QTRY_COMPARE_WITH_TIMEOUT(dialog.DemoScale()->UploadedLines().size(), std::size_t(200), 15000);
        QCOMPARE(dialog.DemoScale()->UploadedLines().front(), Bytes("1[]<Apple>"));
    }

    void escapeKeyEscButtonAndCloseBoxEndTheDialog_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Esc key") << 0;
        QTest::newRow("ESC button") << 1;
        QTest::newRow("close box") << 2;
        QTest::newRow("Esc key in the commodity list, no cell open") << 3;
    }

    void escapeKeyEscButtonAndCloseBoxEndTheDialog()
    {
        QFETCH(int, how);
        TempAppDirectory dir;
        ScaleMainDialog dialog;
        QVERIFY(ShowExposed(&dialog));
        QSignalSpy finished(&dialog, &QDialog::finished);
        if (how == 0) {
            Edit(&dialog, "corpEdit")->setFocus();
            QTest::keyClick(Edit(&dialog, "corpEdit"), Qt::Key_Escape);
        } else if (how == 3) {
            auto* list = RequireControl<EditableListCtrl>(&dialog, "commodityList");
            const QRect cell = list->visualRect(list->model()->index(2, 3));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
            QVERIFY(list->hasFocus());
            QTest::keyClick(list, Qt::Key_Escape);
        } else if (how == 1) {
            Button(&dialog, "escButton")->click();
        } else {
            dialog.close();
        }
        QCOMPARE(finished.count(), 1);
        QVERIFY(!dialog.isVisible());
        QVERIFY(QFile::exists(dir.Path() + "/Option.ini"));
    }

    void virtualScaleEntryFollowsTheSystemPorts()
    {
        TempAppDirectory dir;
        {
            ScaleMainDialog dialog;
            QComboBox* ports = Combo(&dialog, "portCombo");
            QCOMPARE(ports->itemText(ports->count() - 2), QString("Virtual scale (demo)"));
        }
        WriteSystemSettings(dir, "VirtualScale=0\r\n");
        ScaleMainDialog dialog;
        QComboBox* ports = Combo(&dialog, "portCombo");
        QCOMPARE(ports->findText("Virtual scale (demo)"), -1);
    }

    // An adapter unplugged and plugged back: the operator's port stays chosen all along, so Open
    // port never opens another one meanwhile, and the settings keep it.
    void chosenPortStaysChosenWhileItsDeviceIsAway()
    {
        TempAppDirectory dir;
        ScaleMainDialog dialog;
        auto* link = RequireControl<PortLink>(&dialog, "portLink");
        QComboBox* ports = Combo(&dialog, "portCombo");
        emit link->portsListed({"/dev/ttyUSB0", "/dev/ttyUSB1"});
        ports->setCurrentIndex(ports->findText("/dev/ttyUSB1"));

        emit link->portsListed({"/dev/ttyUSB0"});
        QCOMPARE(ports->currentText(), QString("/dev/ttyUSB1"));
        dialog.show();
        QVERIFY(dialog.close());
        QCOMPARE(Setting("Port"), std::to_string(ports->findText("/dev/ttyUSB1")));

        emit link->portsListed({"/dev/ttyUSB0", "/dev/ttyUSB1"});
        QCOMPARE(ports->currentText(), QString("/dev/ttyUSB1"));
        int listed = 0;
        for (int i = 0; i < ports->count(); ++i)
            listed += ports->itemText(i) == "/dev/ttyUSB1" ? 1 : 0;
        QCOMPARE(listed, 1);
        // Once another is chosen, the absent one goes at the next look.
        emit link->portsListed({"/dev/ttyUSB0"});
        ports->setCurrentIndex(ports->findText("/dev/ttyUSB0"));
        emit link->portsListed({"/dev/ttyUSB0", "/dev/ttyS4"});
        QCOMPARE(ports->findText("/dev/ttyUSB1"), -1);
    }

    void chineseResourceSet()
    {
        Language::Install(QLocale(QLocale::Chinese, QLocale::China));
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Type=1\r\n");
        MessageRecorder messages;
        ScaleMainDialog dialog;
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Orvan电子秤"));
        QCOMPARE(Button(&dialog, "openButton")->text(), QString::fromUtf8("打开端口(&O)"));
        QCOMPARE(Button(&dialog, "autoReadCheck")->text(), QString::fromUtf8("自动读数(&A)"));
        QCOMPARE(Button(&dialog, "escButton")->text(), QString::fromUtf8("退出(ESC)"));
        QCOMPARE(Combo(&dialog, "modelCombo")->itemText(2), QString::fromUtf8("DARUR系列"));
        QCOMPARE(Combo(&dialog, "postbackCombo")->itemText(0), QString::fromUtf8("0(不主动回传)"));
        QCOMPARE(Captions(&dialog), (QStringList{"净重", "单价", "总价"}));
        QComboBox* ports = Combo(&dialog, "portCombo");
        QCOMPARE(ports->itemText(ports->count() - 2), QString::fromUtf8("虚拟电子秤(演示)"));
        ports->addItem("/dev/no-such-scale-port");
        ports->setCurrentIndex(ports->count() - 1);
        Button(&dialog, "openButton")->click();
        QTRY_COMPARE(messages.Texts(), QStringList(QString::fromUtf8("打开端口失败\n端口不存在(或已被移除)。")));
        Combo(&dialog, "modelCombo")->setCurrentIndex(0);
        QCOMPARE(Caption(&dialog, "caption1"), QString::fromUtf8("毛重"));
        QCOMPARE(Caption(&dialog, "caption2"), QString::fromUtf8("皮重"));
        // Qt's own texts too: message box buttons and the line edits' menu.
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QString::fromUtf8("确定"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8("取消"));
        std::unique_ptr<QMenu> menu(Edit(&dialog, "corpEdit")->createStandardContextMenu());
        const QList<QAction*> entries = menu->actions();
        QVERIFY(std::any_of(entries.begin(), entries.end(),
                            [](QAction* entry) { return entry->text().startsWith(QString::fromUtf8("粘贴(&P)")); }));
        Language::Install(QLocale::c());
    }

    // Both languages at the dialog's smallest size: every caption fits its control; given more
    // room, the commodity list takes it. SCALETOOL_SCREENSHOT_DIR keeps a picture of each.
    void layoutFitsEveryText_data()
    {
        AddLanguageRows();
    }

    void layoutFitsEveryText()
    {
        QFETCH(bool, chinese);
        InstallLanguage(chinese);
        TempAppDirectory dir;
        WriteSystemSettings(dir, chinese ? "Sleep=50\r\nType=1\r\n" : "Sleep=50\r\nType=2\r\n");
        dir.WriteFile("ZEV.txt", Gbk(QString::fromUtf8("1,1001,苹果,6.80\r\n2,1002,香蕉,3.50\r\n"
                                                        "3,1003,鸡蛋,5.20\r\n4,1004,大米,2.90\r\n"
                                                        "5,1005,猪肉,16.00\r\n6,1006,西红柿,4.60\r\n")));
        ScaleMainDialog dialog;
        Edit(&dialog, "corpEdit")->setText(chinese ? QString::fromUtf8("欧万超市") : QString("Orvan Market"));
        QComboBox* ports = Combo(&dialog, "portCombo");
        ports->setCurrentIndex(ports->count() - 2);  // the virtual scale, before "Network port..."
        QVERIFY(ShowExposed(&dialog));
        Button(&dialog, "openButton")->click();
        QVERIFY(dialog.DemoScale());
        QTRY_VERIFY(Button(&dialog, "autoReadCheck")->isEnabled());
        // The demo's own first load.
        Button(&dialog, "autoReadCheck")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!Edit(&dialog, "value1")->text().isEmpty(), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(Edit(&dialog, "value1")->text(), QString("1.236"), 5000);
        if (!chinese)
            QTRY_COMPARE_WITH_TIMEOUT(RequireControl<StatusLamp>(&dialog, "lamp")->State(), LampState::Stable, 3000);

        dialog.resize(dialog.minimumSizeHint());
        QApplication::processEvents();
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            if (!control->isVisible() || (!qobject_cast<QAbstractButton*>(control) && !qobject_cast<QLabel*>(control)
                                          && !qobject_cast<QComboBox*>(control)))
                continue;
            QVERIFY2(control->width() >= control->minimumSizeHint().width(), qPrintable(control->objectName()));
            QVERIFY2(control->height() >= control->minimumSizeHint().height(), qPrintable(control->objectName()));
        }
        auto* list = RequireControl<QWidget>(&dialog, "commodityList");
        const QSize listBefore = list->size();
        const QSize grown = dialog.size() + QSize(200, 150);
        dialog.resize(grown);
        QApplication::processEvents();
        QCOMPARE(list->size(), listBefore + QSize(200, 150));

        const QString shots = qEnvironmentVariable("SCALETOOL_SCREENSHOT_DIR");
        if (!shots.isEmpty()) {
            Button(&dialog, "postbackButton")->click();
            QTRY_VERIFY(!RequireControl<QLabel>(&dialog, "statusLine")->text().isEmpty());
            dialog.resize(dialog.sizeHint().expandedTo(QSize(900, 580)));
            QApplication::processEvents();
            QTest::qWait(200);
            const QString file = shots + (chinese ? "/main-dialog-zh.png" : "/main-dialog-en.png");
            QVERIFY(dialog.grab().save(file));
        }
        Language::Install(QLocale::c());
    }


    void aboutBoxShowsTheVersion()
    {
        TempAppDirectory dir;
        ScaleMainDialog dialog;
        QString shown;
        WhenModalShows([&shown](QWidget* about) {
            for (QLabel* label : about->findChildren<QLabel*>())
                shown += label->text();
        });
        dialog.findChild<QAbstractButton*>("aboutButton")->click();
        QCOMPARE(shown, QString("VELK V2.10"));
    }
};

QTEST_MAIN(MainDialogTest)
#include "MainDialogTest.moc"
