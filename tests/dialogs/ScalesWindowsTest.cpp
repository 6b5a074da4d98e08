// The shop's scales: the Scales window's list file, Add to scales in Find scale, and Send to scales
// against virtual scales, one of them on the port the main window holds open.
#include "MainDialogTestSupport.h"

#include "app/Language.h"
#include "controls/GbkConvert.h"
#include "dialogs/FindScaleDialog.h"
#include "dialogs/ScalesDialog.h"
#include "dialogs/SendToScalesDialog.h"
#include "settings/ScaleList.h"
#include "support/Languages.h"
#include "support/ScaleSetUp.h"

#include <QLabel>
#include <QTreeWidget>
#include <QtTest>

#include <chrono>
#include <mutex>

using namespace MainDialogSupport;
using namespace std::chrono_literals;

namespace {

ScaleList ListIn(const TempAppDirectory& dir)
{
    ScaleList list;
    const auto problem = ScaleList::Load(dir.FilePath(ScaleList::kFileName), list);
    if (problem)
        qWarning("%s", problem->c_str());
    return list;
}

QTreeWidget* Tree(const QWidget* window)
{
    return RequireControl<QTreeWidget>(window, "scaleTree");
}

void Shoot(QWidget* window, const char* name, bool chinese)
{
    const QString shots = qEnvironmentVariable("SCALETOOL_SCREENSHOT_DIR");
    if (shots.isEmpty())
        return;
    QTest::qWait(100);
    window->grab().save(shots + QStringLiteral("/%1-%2.png").arg(name, chinese ? "zh" : "en"));
}

} // namespace

class ScalesWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        Language::Install(QLocale::c());
    }

    // Add, a refused add, rename, remove and test, each read back from Scales.ini.
    void scalesWindowKeepsTheListFile_data()
    {
        AddLanguageRows();
    }

    void scalesWindowKeepsTheListFile()
    {
        QFETCH(bool, chinese);
        InstallLanguage(chinese);
        TempAppDirectory dir;
        VirtualScale zev;
        ScaleSetUp::Answering(zev, 19200, ScaleSeries::Zev, 3.75);
        QVERIFY(zev.Start());
        ScalesDialog window;
        QVERIFY(ShowExposed(&window));
        const auto add = [&](const QString& name, const std::string& port, const QString& baud, int model) {
            Edit(&window, "nameEdit")->setText(name);
            Combo(&window, "portCombo")->setCurrentText(QString::fromStdString(port));
            Combo(&window, "baudCombo")->setCurrentText(baud);
            Combo(&window, "modelCombo")->setCurrentIndex(model);
            Button(&window, "addButton")->click();
        };
        add(QString::fromUtf8("熟食柜台"), zev.PortPath(), "19200", 1);
        add("Fruit", "rfc2217://10.0.0.7:4001", "9600", 0);
        // The same port twice is refused, and the file keeps the two.
        add("Again", zev.PortPath(), "9600", 0);
        QVERIFY(RequireControl<QLabel>(&window, "statusLabel")->text().contains(QString::fromStdString(zev.PortPath())));
        std::vector<ScaleEntry> expected = {{ToGbk(QString::fromUtf8("熟食柜台")), zev.PortPath(), 19200, 1},
                                            {"Fruit", "rfc2217://10.0.0.7:4001", 9600, 0}};
        QCOMPARE(ListIn(dir).Entries(), expected);

        // Renamed in its row, as typed there.
        QTreeWidget* tree = Tree(&window);
        tree->setCurrentItem(tree->topLevelItem(1));
        Button(&window, "renameButton")->click();
        auto* editor = tree->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "Fruit and veg");
        QTest::keyClick(editor, Qt::Key_Return);
        expected[1].name = "Fruit and veg";
        QTRY_COMPARE(ListIn(dir).Entries(), expected);

        // Tested: the weight in its row.
        tree->setCurrentItem(tree->topLevelItem(0));
        Button(&window, "testButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(tree->topLevelItem(0)->text(4).contains("3.750"), 4000);
        QVERIFY(zev.Commands().size() >= 1 && zev.Commands().front() == Bytes("\x11"));
        Shoot(&window, "scales", chinese);

        QTRY_VERIFY(Button(&window, "testButton")->isEnabled());
        Button(&window, "removeButton")->click();
        expected.erase(expected.begin());
        QCOMPARE(ListIn(dir).Entries(), expected);
        QCOMPARE(tree->topLevelItemCount(), 1);
    }

    void findScaleAddsWhatItFound()
    {
        TempAppDirectory dir;
        VirtualScale zev;
        ScaleSetUp::Answering(zev, 4800, ScaleSeries::Zev, 1.5);
        QVERIFY(zev.Start());
        FindScaleDialog find({{"Counter", zev.PortPath()}, {"Gone", "/dev/ttyNoSuchAdapter0"}}, {9600, 4800});
        QVERIFY(ShowExposed(&find));
        QAbstractButton* addButton = Button(&find, "addButton");
        QTRY_VERIFY_WITH_TIMEOUT(addButton->isEnabled(), 8000);
        addButton->click();
        const std::vector<ScaleEntry> expected = {{"Counter", zev.PortPath(), 4800, 1}};
        QCOMPARE(ListIn(dir).Entries(), expected);
        QVERIFY(!addButton->isEnabled());
    }

    // Closing the window while a scale holds the line cancels the send and waits for what is
    // already moving: the scale gets all of it, and the block's last line.
    void closingMidSendWaitsForWhatIsMoving()
    {
        TempAppDirectory dir;
        dir.WriteFile("ZEV.txt", "1,A1,Apple,2.50\r\n");
        VirtualScale scale;
        QVERIFY(scale.Start());
        scale.HoldLine(100, 1500ms);
        {
            SendToScalesDialog send({{"Slow", scale.PortPath(), 9600, 1}}, "Shop", nullptr);
            QVERIFY(ShowExposed(&send));
            Button(&send, "sendButton")->click();
            QVERIFY(scale.WaitForReceived(100, 2s));
            QVERIFY(Button(&send, "cancelButton")->isEnabled());
            send.close();
            QVERIFY(send.Summary().contains("Slow"));
        }
        // Cut short or whole (the close may come before the last write or after it), the block
        // ends with its last line and nothing written before it is missing.
        QTRY_VERIFY(QByteArray::fromStdString(scale.Received()).endsWith("\r\nend\r\n"));
        const QByteArray received = QByteArray::fromStdString(scale.Received());
        QVERIFY(received.startsWith("plu\r\n1[A1]<Apple>2.50\r\n"));  // no company line for ZEV
        const std::vector<Bytes> lines = scale.UploadedLines();
        QVERIFY(!lines.empty());
        for (std::size_t i = 1; i < lines.size(); ++i)
            QCOMPARE(QByteArray::fromStdString(lines[i]), QByteArray::number(qulonglong(i + 1)) + "[]<>");
    }

    // Two scales get what the main window's own Upload (and company name) sends them, one through
    // the port the main window holds open; a third, its port gone, is reported and is the only one
    // sent to again.
    void sendToScalesSendsEachItsOwnList_data()
    {
        AddLanguageRows();
    }

    void sendToScalesSendsEachItsOwnList()
    {
        QFETCH(bool, chinese);
        InstallLanguage(chinese);
        TempAppDirectory dir;
        WriteSystemSettings(dir, "VirtualScale=0\r\nType=0\r\nSleep=0\r\nCorp=Shop\r\n");
        dir.WriteFile("ZUD.txt", "1,A1,Apple\r\n7,B7," + QByteArray::fromStdString(ToGbk(QString::fromUtf8("香蕉"))) + "\r\n");
        dir.WriteFile("ZEV.txt", "1,A1,Apple,2.50\r\n200,Z9,Pear,9.99\r\n");
        VirtualScale reference, zud, zev;
        QVERIFY(reference.Start() && zud.Start() && zev.Start());
        // An adapter unplugged: a path of no device (a stopped scale's pseudo-terminal number may
        // be given to another program's at once).
        const std::string gonePath = "/dev/ttyNoSuchAdapter7";

        // Written by the main window's session, counted on its worker; declared before the window,
        // so they outlive its worker.
        std::mutex counting;
        std::size_t mainWrote = 0;
        ScaleMainDialog main;
        // What the main window sends one scale: company name and upload for ZUD, upload for ZEV.
        QVERIFY(OpenOn(main, reference));
        Button(&main, "companyButton")->click();
        QVERIFY(reference.WaitForCommands(1, 2s));
        Button(&main, "uploadButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(reference.UploadedLines().size(), std::size_t(200), 15000);
        const Bytes zudBytes = reference.Received();
        Shoot(&main, "main-window", chinese);
        Combo(&main, "modelCombo")->setCurrentIndex(1);
        reference.ClearReceived();
        QTRY_VERIFY(Button(&main, "uploadButton")->isEnabled());
        Button(&main, "uploadButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(QByteArray::fromStdString(reference.Received()).endsWith("end\r\n"), 15000);
        const Bytes zevBytes = reference.Received();
        QVERIFY(QByteArray::fromStdString(zevBytes).startsWith("plu\r\n1[A1]<Apple>2.50\r\n"));
        QCOMPARE(zev.Received(), Bytes());
        Button(&main, "openButton")->click();
        QTRY_VERIFY(!LinkOf(&main).IsOpen());
        // The main window holds the ZUD scale's port open; what its session writes is counted.
        QVERIFY(OpenOn(main, zud));
        LinkOf(&main).SetLineObserver([&](LineDirection direction, std::string_view bytes) {
            std::lock_guard lock(counting);
            if (direction == LineDirection::Written)
                mainWrote += bytes.size();
        });

        ScaleList list;
        QVERIFY(!list.Add({"Deli", zud.PortPath(), 9600, 0}));
        QVERIFY(!list.Add({"Fruit", zev.PortPath(), 9600, 1}));
        QVERIFY(!list.Add({"Back", gonePath, 9600, 0}));
        QVERIFY(list.Save(dir.FilePath(ScaleList::kFileName)));

        QString goneFirst, goneAgain;
        QStringList results;
        Bytes zudGot, zevGot;
        bool retriedAlone = false;
        WhenModalShows([&](QWidget* send) {
            QTreeWidget* tree = Tree(send);
            QAbstractButton* retry = Button(send, "retryButton");
            Button(send, "sendButton")->click();
            if (!QTest::qWaitFor([&] { return retry->isEnabled(); }, 15000))
                return;
            for (int row = 0; row < 3; ++row)
                results << tree->topLevelItem(row)->text(5);
            Shoot(send, "send-to-scales", chinese);
            // Done means on the wire; the virtual scale may still be reading the last bytes.
            zud.WaitForReceived(zudBytes.size(), 2s);
            zev.WaitForReceived(zevBytes.size(), 2s);
            zudGot = zud.Received();
            zevGot = zev.Received();
            zud.ClearReceived();
            zev.ClearReceived();
            retry->click();
            if (!QTest::qWaitFor([&] { return retry->isEnabled(); }, 15000))
                return;
            goneAgain = tree->topLevelItem(2)->text(5);
            retriedAlone = zud.Received().empty() && zev.Received().empty();
        });
        Button(&main, "sendScalesButton")->click();

        QCOMPARE(results.size(), 3);
        const QString done = QCoreApplication::translate("SendToScalesDialog", "Done: %n lines sent", nullptr, 203);
        QCOMPARE(results[0], done);
        QCOMPARE(results[1], QCoreApplication::translate("SendToScalesDialog", "Done: %n lines sent", nullptr, 202));
        QCOMPARE(QByteArray::fromStdString(zudGot), QByteArray::fromStdString(zudBytes));
        QCOMPARE(QByteArray::fromStdString(zevGot), QByteArray::fromStdString(zevBytes));
        const QString openFailed = QCoreApplication::translate("PortWords", "Open port fail") + QStringLiteral(": ");
        QVERIFY2(results[2].startsWith(openFailed) && results[2].size() > openFailed.size(), qPrintable(results[2]));
        QVERIFY(retriedAlone);
        QCOMPARE(goneAgain, results[2]);
        // The main window tells how it ended, naming the scale that did not get its list.
        QVERIFY2(RequireControl<QLabel>(&main, "statusLine")->text().contains("Back"),
                 qPrintable(RequireControl<QLabel>(&main, "statusLine")->text()));
        // The held port stayed open, and the ZUD scale's list went out through it, not through a
        // second opening of the port.
        QVERIFY(LinkOf(&main).IsOpen());
        std::lock_guard lock(counting);
        QCOMPARE(mainWrote, zudBytes.size());
    }
};

QTEST_MAIN(ScalesWindowsTest)
#include "ScalesWindowsTest.moc"
