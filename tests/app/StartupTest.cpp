#include "app/AppPaths.h"
#include "app/Skin.h"
#include "support/TempDirectory.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWidget>

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void settingsPathLiesInTheApplicationDirectory()
    {
        TempAppDirectory dir;
        QCOMPARE(QString::fromStdString(AppPaths::SettingsPath()), dir.Path() + "/Option.ini");
        QCOMPARE(QString::fromStdString(AppPaths::InApplicationDirectory("ZEV.txt")), dir.Path() + "/ZEV.txt");
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

    void missingOrEmptySkinIsIgnored()
    {
        TempAppDirectory dir;
        QVERIFY(!Skin::Load(dir.Path() + "/XPCorona.ssk"));
        dir.WriteFile("XPCorona.ssk", "   \n");
        QVERIFY(!Skin::Load(dir.Path() + "/XPCorona.ssk"));
        QVERIFY(!Skin::IsActive());
        QVERIFY(qApp->styleSheet().isEmpty());
    }

    void skinAppliesUntilExit()
    {
        TempAppDirectory dir;
        dir.WriteFile("XPCorona.ssk", "QPushButton { color: #123456; }");
        QVERIFY(Skin::Load(dir.Path() + "/XPCorona.ssk"));
        QVERIFY(qApp->styleSheet().contains("#123456"));
        QWidget lamp;
        Skin::SetNoSkinWidget(&lamp);
        QVERIFY(!lamp.testAttribute(Qt::WA_StyledBackground));
        Skin::Exit();
        QVERIFY(!Skin::IsActive());
        QVERIFY(qApp->styleSheet().isEmpty());
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
