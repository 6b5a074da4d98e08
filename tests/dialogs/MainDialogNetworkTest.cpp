// The port list's network ports as the operator meets them: "Network port..." asks for one, the
// last five are kept in Option.ini and come back as entries, a raw port has no rate to choose, and
// a port nothing answers on is named in the failure message.

#include "MainDialogTestSupport.h"
#include "link/Ser2netSupport.h"
#include "sim/TcpBridge.h"
#include "settings/AppPaths.h"
#include "settings/Profile.h"
#include "support/Languages.h"
#include "support/MessageRecorder.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>


using namespace MainDialogSupport;

namespace {

std::string Kept(int i)
{
    return Profile::ReadText(AppPaths::SettingsPath(), "System", "NetworkPort" + std::to_string(i), "");
}

// Chooses "Network port..." as a person does and fills the dialog it opens; `accept` false
// cancels it instead. `shown` gets the dialog's title.
void ChooseNetworkPort(QWidget& dialog, int kind, const QString& host, int port, bool accept = true,
                       QString* shown = nullptr)
{
    QComboBox* ports = Combo(&dialog, "portCombo");
    bool filled = false;
    QTimer::singleShot(0, [&] {
        auto* asking = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (asking == nullptr || asking->objectName() != "NetworkPortDialog")
            return;
        Combo(asking, "kindCombo")->setCurrentIndex(kind);
        QLineEdit* hostEdit = Edit(asking, "hostEdit");
        hostEdit->clear();
        QTest::keyClicks(hostEdit, host);
        RequireControl<QSpinBox>(asking, "portSpin")->setValue(port);
        filled = true;
        if (shown != nullptr)
            *shown = asking->windowTitle();
        const QString shots = qEnvironmentVariable("SCALETOOL_SCREENSHOT_DIR");
        if (!shots.isEmpty() && shown != nullptr)
            asking->grab().save(shots + (asking->windowTitle() == "Network port" ? "/network-port-en.png" : "/network-port-zh.png"));
        Button(asking, accept ? "okButton" : "cancelButton")->click();
    });
    const int chooser = ports->count() - 1;
    ports->setCurrentIndex(chooser);
    emit ports->activated(chooser);
    QVERIFY(filled);
}

} // namespace

class MainDialogNetworkTest : public QObject {
    Q_OBJECT
private slots:
    void init() { Language::Install(QLocale::c()); }

    void listEndsWithTheAskingEntry_data() { AddLanguageRows(); }
    void listEndsWithTheAskingEntry()
    {
        QFETCH(bool, chinese);
        InstallLanguage(chinese);
        TempAppDirectory dir;
        ScaleMainDialog dialog;
        QComboBox* ports = Combo(&dialog, "portCombo");
        QCOMPARE(ports->itemText(ports->count() - 1), chinese ? QString("网络端口...") : QString("Network port..."));
        QVERIFY(ports->currentIndex() != ports->count() - 1);
        QString title;
        ChooseNetworkPort(dialog, 0, "192.168.1.20", 4001, false, &title);
        QCOMPARE(title, chinese ? QString("网络端口") : QString("Network port"));
    }

    void chosenAddressesAreKeptNewestFirst()
    {
        TempAppDirectory dir;
        {
            ScaleMainDialog dialog;
            QComboBox* ports = Combo(&dialog, "portCombo");
            const int before = ports->count();
            ChooseNetworkPort(dialog, 1, "127.0.0.1", 4001);
            QCOMPARE(ports->currentText(), QString("socket://127.0.0.1:4001"));
            QVERIFY2(!Combo(&dialog, "baudCombo")->isEnabled(), "a raw port keeps the server's rate");
            QCOMPARE(ports->count(), before + 1);
            QCOMPARE(ports->currentIndex(), ports->count() - 2);
            QCOMPARE(Kept(1), std::string("socket://127.0.0.1:4001"));

            ChooseNetworkPort(dialog, 0, "[fe80::1]", 2217);
            QCOMPARE(ports->currentText(), QString("rfc2217://[fe80::1]:2217"));
            QVERIFY(Combo(&dialog, "baudCombo")->isEnabled());
            for (int port = 5001; port <= 5005; ++port)
                ChooseNetworkPort(dialog, 0, "scale.shop.lan", port);
            ChooseNetworkPort(dialog, 0, "scale.shop.lan", 5003);  // used again: first, not twice
            QCOMPARE(ports->count(), before + 5);
        }
        QCOMPARE(Kept(1), std::string("rfc2217://scale.shop.lan:5003"));
        QCOMPARE(Kept(2), std::string("rfc2217://scale.shop.lan:5005"));
        QCOMPARE(Kept(5), std::string("rfc2217://scale.shop.lan:5001"));
        QCOMPARE(Kept(6), std::string());
        ScaleMainDialog again;
        QComboBox* ports = Combo(&again, "portCombo");
        QCOMPARE(ports->itemText(ports->count() - 6), QString("rfc2217://scale.shop.lan:5003"));
        QCOMPARE(ports->itemText(ports->count() - 2), QString("rfc2217://scale.shop.lan:5001"));
    }

    void cancelAndBadHostChangeNothing()
    {
        TempAppDirectory dir;
        WriteSystemSettings(dir, "NetworkPort1=not a port\r\nNetworkPort2=socket://10.0.0.9:23\r\n");
        ScaleMainDialog dialog;
        QComboBox* ports = Combo(&dialog, "portCombo");
        QCOMPARE(ports->itemText(ports->count() - 2), QString("socket://10.0.0.9:23"));
        QCOMPARE(ports->findText("not a port"), -1);
        const int selected = ports->currentIndex();
        ChooseNetworkPort(dialog, 0, "10.0.0.7", 4001, false);
        QCOMPARE(ports->currentIndex(), selected);

        MessageRecorder messages;
        QTimer::singleShot(200, [] {
            if (QWidget* still = QApplication::activeModalWidget())
                Button(still, "cancelButton")->click();
        });
        ChooseNetworkPort(dialog, 0, "bad host", 4001);
        QCOMPARE(messages.Texts().size(), 1);
        QCOMPARE(ports->currentIndex(), selected);
        QCOMPARE(Kept(1), std::string("not a port"));
    }

    void findScaleTriesTheKeptNetworkPorts()
    {
        VirtualScale scale;
        scale.SetSettlingTime(std::chrono::milliseconds(0));
        scale.PlaceLoad(4.5);
        QVERIFY(scale.Start());
        TcpBridge bridge([&scale] { return scale.PortPath(); }, scale.BaudRate());
        QVERIFY(bridge.Listen(0));
        const QString raw = QString("socket://127.0.0.1:%1").arg(bridge.Port());
        const int refused = LinkTest::FreePort();
        TempAppDirectory dir;
        WriteSystemSettings(dir, QString("VirtualScale=0\r\nNetworkPort1=%1\r\nNetworkPort2=rfc2217://127.0.0.1:%2\r\n")
                                     .arg(raw).arg(refused).toLatin1());
        ScaleMainDialog dialog;
        QComboBox* ports = Combo(&dialog, "portCombo");
        while (ports->count() > 3)  // only this test's ports, not whatever the machine has
            ports->removeItem(0);
        QVERIFY(ShowExposed(&dialog));
        QStringList rows;
        WhenModalShows([&](QWidget* modal) {
            auto* use = modal->findChild<QPushButton*>("useButton");
            auto* tree = modal->findChild<QTreeWidget*>("resultTree");
            for (int waited = 0; waited < 8000 && !use->isEnabled(); waited += 20)
                QTest::qWait(20);
            for (int row = 0; row < tree->topLevelItemCount(); ++row) {
                QStringList columns;
                for (int column = 0; column < tree->columnCount(); ++column)
                    columns << tree->topLevelItem(row)->text(column);
                rows << columns.join('|');
            }
            tree->setCurrentItem(tree->topLevelItem(0));
            use->click();
        });
        Button(&dialog, "findButton")->click();
        QCOMPARE(rows.size(), 2);
        QVERIFY2(rows[0].startsWith(raw) && rows[0].contains("4.500"), qPrintable(rows[0]));
        QVERIFY2(rows[1].contains("the connection was refused"), qPrintable(rows[1]));
        QCOMPARE(ports->currentText(), raw);
    }

    void unansweredPortIsNamedInTheFailure()
    {
        TempAppDirectory dir;
        MessageRecorder messages;
        ScaleMainDialog dialog;
        const int port = LinkTest::FreePort();
        ChooseNetworkPort(dialog, 0, "127.0.0.1", port);
        Button(&dialog, "openButton")->click();
        QVERIFY(QTest::qWaitFor([&] { return !messages.Texts().isEmpty(); }, 4000));
        QVERIFY2(messages.Texts().front().contains(QString("127.0.0.1:%1 refused the connection.").arg(port)),
                 qPrintable(messages.Texts().front()));
    }
};

QTEST_MAIN(MainDialogNetworkTest)
#include "MainDialogNetworkTest.moc"
