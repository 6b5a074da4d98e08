#include "settings/AppPaths.h"
#include "app/ScaleToolApp.h"
#include "app/Skin.h"
#include "controls/StatusLamp.h"
#include "dialogs/ScaleMainDialog.h"
#include "settings/Profile.h"
#include "support/TempDirectory.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void settingsPathLiesInTheApplicationDirectory()
    {
        TempAppDirectory dir;
        // Either separator: Windows joins with its own.
        const auto path = [](const std::string& native) { return QDir::fromNativeSeparators(QString::fromStdString(native)); };
        QCOMPARE(path(AppPaths::SettingsPath()), dir.Path() + "/Option.ini");
        QCOMPARE(path(AppPaths::InApplicationDirectory("ZEV.txt")), dir.Path() + "/ZEV.txt");
    }

    void applicationDirectoryIsTheWorkingDirectoryNotTheExecutables()
    {
        TempAppDirectory dir;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.Path()));
        const std::string current = AppPaths::CurrentDirectory();
        QDir::setCurrent(before);
        QCOMPARE(QDir(QString::fromStdString(current)).canonicalPath(), QDir(dir.Path()).canonicalPath());
        QVERIFY(QString::fromStdString(current) != QCoreApplication::applicationDirPath());
    }

    void sessionWorksInTheWorkingDirectoryAndEndsWithTheMainDialog()
    {
        TempAppDirectory dir;
        dir.WriteFile("XPCorona.ssk", "QPushButton { color: #123456; }");
        dir.WriteFile("ZUD.txt", "1,0001,Apple,2.50\r\n");
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.Path()));

        bool skinnedWhileRunning = false;
        bool dialogShown = false;
        bool hiddenKeepsSession = false;
        bool skinActiveAtDestruction = true;
        QTimer::singleShot(0, [&] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<ScaleMainDialog*>(window);
                if (!dialog || !dialog->isVisible())
                    continue;
                dialogShown = true;
                skinnedWhileRunning = !qApp->styleSheet().isEmpty();
                QObject::connect(dialog, &QObject::destroyed,
                                 [&skinActiveAtDestruction] { skinActiveAtDestruction = !qApp->styleSheet().isEmpty(); });
                // Hiding the dialog (as a print preview does) must not end the session.
                dialog->hide();
                QTimer::singleShot(50, dialog, [&hiddenKeepsSession, dialog] {
                    hiddenKeepsSession = true;
                    dialog->show();
                    dialog->reject();
                });
            }
        });
        ScaleToolApp tool;
        const int result = tool.Run(*qApp);
        QDir::setCurrent(before);

        QCOMPARE(result, 0);
        QVERIFY(dialogShown);
        QVERIFY(hiddenKeepsSession);
        QVERIFY(skinnedWhileRunning);
        QVERIFY(qApp->styleSheet().isEmpty());
        // The skin is shut down before the main dialog object is destroyed.
        QVERIFY(!skinActiveAtDestruction);
        // The settings and the commodity file are written where the tool was started.
        QCOMPARE(Profile::ReadInt(dir.FilePath("Option.ini"), "System", "Baudrate", -9), 2);
        QCOMPARE(dir.ReadFile("ZUD.txt"), QByteArray("1,0001,Apple,2.50\r\n"));
    }

    void missingOrEmptySkinIsIgnored()
    {
        TempAppDirectory dir;
        QVERIFY(!Skin::Load(dir.Path() + "/XPCorona.ssk"));
        dir.WriteFile("XPCorona.ssk", "   \n");
        QVERIFY(!Skin::Load(dir.Path() + "/XPCorona.ssk"));
        QVERIFY(qApp->styleSheet().isEmpty());
        QVERIFY(qApp->styleSheet().isEmpty());
    }

    void skinAppliesUntilExit()
    {
        TempAppDirectory dir;
        dir.WriteFile("XPCorona.ssk", "QPushButton { color: #123456; }");
        QVERIFY(Skin::Load(dir.Path() + "/XPCorona.ssk"));
        QVERIFY(qApp->styleSheet().contains("#123456"));
        const StatusLamp lamp;  // paints itself under any skin
        QVERIFY(!lamp.testAttribute(Qt::WA_StyledBackground));
        Skin::Exit();
        QVERIFY(qApp->styleSheet().isEmpty());
        QVERIFY(qApp->styleSheet().isEmpty());
    }

    // Under the shipped skin, which gives the fields borders of their own, a drop-down list with the
    // keyboard focus still looks different from one without.
    void skinDrawsTheFocusOfLists()
    {
        TempAppDirectory dir;
        QFile shipped(QStringLiteral(SCALETOOL_DEMO_DIR "/XPCorona.ssk"));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        dir.WriteFile("XPCorona.ssk", shipped.readAll());
        QVERIFY(Skin::Load(dir.Path() + "/XPCorona.ssk"));
        QWidget window;
        auto* column = new QVBoxLayout(&window);
        auto* combo = new QComboBox(&window);
        auto* other = new QPushButton(QStringLiteral("x"), &window);
        column->addWidget(combo);
        column->addWidget(other);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus();
        const QImage unfocused = combo->grab().toImage();
        combo->setFocus();
        QTRY_VERIFY(combo->hasFocus());
        QVERIFY(combo->grab().toImage() != unfocused);
        Skin::Exit();
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
