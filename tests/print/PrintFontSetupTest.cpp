#include "settings/AppPaths.h"
#include "print/CjkFontSubstitutes.h"
#include "print/KeyboardSheetPrinting.h"
#include "print/PrintFontSetup.h"
#include "support/TempDirectory.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QRawFont>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs `action` on the font dialog as soon as it is up.
void WhenFontDialogOpens(std::function<void(QFontDialog*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        if (auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}

QString FamilyWithCjk()
{
    return QStringLiteral("WenQuanYi Zen Hei");
}

// A scalable family with a bold italic face (DejaVu Sans where present).
QString FamilyWithBoldItalic()
{
    QStringList families = QFontDatabase::families();
    families.prepend(QStringLiteral("DejaVu Sans"));
    for (const QString& family : families) {
        if (!QFontDatabase::hasFamily(family) || !QFontDatabase::isScalable(family))
            continue;
        for (const QString& style : QFontDatabase::styles(family)) {
            if (QFontDatabase::italic(family, style) && QFontDatabase::weight(family, style) == QFont::Bold)
                return family;
        }
    }
    return QString();
}

} // namespace

class PrintFontSetupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallCjkFontSubstitutes(); }

    void logicalHeightOfAPointSize_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("height");
        QTest::newRow("10 pt at 96 dpi") << 10.0 << 96 << -13;
        QTest::newRow("12 pt at 96 dpi") << 12.0 << 96 << -16;
        QTest::newRow("9 pt at 96 dpi") << 9.0 << 96 << -12;
        QTest::newRow("10 pt at 120 dpi") << 10.0 << 120 << -17;
        QTest::newRow("7.5 pt at 96 dpi") << 7.5 << 96 << -10;
    }

    void logicalHeightOfAPointSize()
    {
        QFETCH(double, points);
        QFETCH(int, dpi);
        QFETCH(int, height);
        QCOMPARE(PrintFontSetup::LogicalHeightFromPointSize(points, dpi), height);
        QFont font(FamilyWithCjk());
        font.setPointSizeF(points);
        QCOMPARE(PrintFontSetup::SheetFontFromScreenFont(font, dpi).height, height);
    }

    void choiceIsStoredAsALogicalFont()
    {
        QFont font(FamilyWithCjk());
        font.setPointSize(10);
        font.setWeight(QFont::Bold);
        font.setItalic(true);
        const SheetFont stored = PrintFontSetup::SheetFontFromScreenFont(font, 96);
        QCOMPARE(stored, (SheetFont{"WenQuanYi Zen Hei", 1, -13, 0, 700, 1}));
        font.setWeight(QFont::Normal);
        font.setItalic(false);
        QCOMPARE(PrintFontSetup::SheetFontFromScreenFont(font, 96).weight, 400);
        QCOMPARE(PrintFontSetup::SheetFontFromScreenFont(font, 96).italic, 0);
        // Chinese family names are stored in GBK.
        QCOMPARE(PrintFontSetup::SheetFontFromScreenFont(QFont(QString::fromUtf8("黑体")), 96).faceName,
                 std::string("\xba\xda\xcc\xe5"));
    }

    void storedFontReopensAsItself()
    {
        for (int dpi : {96, 120}) {
            for (int height = -6; height >= -60; --height) {
                for (int weight : {0, 300, 400, 700, 900}) {
                    const SheetFont stored{"WenQuanYi Zen Hei", 1, height, 0, weight, height % 2 ? 1 : 0};
                    const QFont font = PrintFontSetup::ScreenFontFromSheetFont(stored, dpi);
                    SheetFont expected = stored;
                    expected.weight = weight == 0 ? 400 : weight;
                    QCOMPARE(PrintFontSetup::SheetFontFromScreenFont(font, dpi), expected);
                }
            }
        }
        // The defaults: SimHei at -10, default weight, upright.
        const QFont fallback = PrintFontSetup::ScreenFontFromSheetFont(
            SheetFontSettings::Read(std::string(), SheetFontSettings::kSetupDefaultFace), 96);
        QCOMPARE(fallback.family(), QString::fromUtf8("黑体"));
        QCOMPARE(fallback.pointSizeF(), 7.5);
        QCOMPARE(fallback.weight(), QFont::Normal);
        QVERIFY(!fallback.italic());
    }

    void cancelWritesNothing()
    {
        TempAppDirectory dir;
        dir.WriteFile("Option.ini", "[System]\r\nPort=3\r\n");
        bool seen = false;
        WhenFontDialogOpens([&seen](QFontDialog* dialog) {
            seen = true;
            dialog->reject();
        });
        QVERIFY(!PrintFontSetup::Run(nullptr));
        QVERIFY(seen);
        QCOMPARE(dir.ReadFile("Option.ini"), QByteArray("[System]\r\nPort=3\r\n"));

        TempAppDirectory fresh;
        WhenFontDialogOpens([](QFontDialog* dialog) { dialog->reject(); });
        RunPrintFontSetup(nullptr);
        QVERIFY(!QFile::exists(fresh.Path() + "/Option.ini"));
    }

    void okStoresAllSixKeys()
    {
        const QString family = FamilyWithBoldItalic();
        if (family.isEmpty())
            QSKIP("no font with a bold italic face on this machine");
        TempAppDirectory dir;
        dir.WriteFile("Option.ini", "[Font]\r\nName=" + family.toLatin1() + "\r\nHeight=-16\r\nWeight=700\r\n");
        QFont opened;
        bool effectsShown = true;
        WhenFontDialogOpens([&](QFontDialog* dialog) {
            opened = dialog->currentFont();
            effectsShown = false;
            for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
                effectsShown = effectsShown || box->isVisible();
            QFont choice = dialog->currentFont();
            choice.setItalic(true);
            choice.setStyleName(QString());  // pick the style by weight and slant
            dialog->setCurrentFont(choice);
            dialog->accept();
        });
        QVERIFY(PrintFontSetup::Run(nullptr));
        QCOMPARE(opened.family(), family);
        QCOMPARE(opened.pointSize(), 12);
        QCOMPARE(opened.weight(), QFont::Bold);
        QVERIFY(!effectsShown);
        const int dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
        const QByteArray expected = "[Font]\r\nName=" + family.toLatin1() + "\r\nHeight=" +
                                    QByteArray::number(PrintFontSetup::LogicalHeightFromPointSize(12, dpi)) +
                                    "\r\nWeight=700\r\nCharset=1\r\nWidth=0\r\nItalic=1\r\n";
        QCOMPARE(dir.ReadFile("Option.ini"), expected);
    }

    void storedCharsetIsWrittenBack()
    {
        TempAppDirectory dir;
        dir.WriteFile("Option.ini", "[Font]\r\nCharset=134\r\nHeight=-16\r\n");
        WhenFontDialogOpens([](QFontDialog* dialog) { dialog->accept(); });
        QVERIFY(PrintFontSetup::Run(nullptr));
        QCOMPARE(SheetFontSettings::Read(AppPaths::SettingsPath(), "none").charset, 134);
    }

    void freshSettingsOpenOnSimHei()
    {
        TempAppDirectory dir;
        QFont opened;
        WhenFontDialogOpens([&](QFontDialog* dialog) {
            opened = dialog->currentFont();
            dialog->accept();
        });
        RunPrintFontSetup(nullptr);
        // "黑体" is not a family here: the dialog opens on the face that stands in for it.
        const QRawFont raw = QRawFont::fromFont(opened);
        QVERIFY2(raw.supportsCharacter(QChar(0x9ED1)), qPrintable(opened.family()));
        const SheetFont stored = SheetFontSettings::Read(AppPaths::SettingsPath(), "none");
        QVERIFY(stored.faceName != "none");
        QCOMPARE(stored.charset, 1);
        QCOMPARE(stored.width, 0);
        QCOMPARE(stored.weight, int(opened.weight()));
        QCOMPARE(stored.italic, 0);
        QVERIFY(stored.height < 0);
        const QByteArray file = dir.ReadFile("Option.ini");
        QVERIFY(file.startsWith("[Font]\r\nName="));
        QVERIFY(file.indexOf("\r\nCharset=") < file.indexOf("\r\nHeight=") &&
                file.indexOf("\r\nHeight=") < file.indexOf("\r\nWidth=") &&
                file.indexOf("\r\nWidth=") < file.indexOf("\r\nWeight=") &&
                file.indexOf("\r\nWeight=") < file.indexOf("\r\nItalic="));
    }
};

QTEST_MAIN(PrintFontSetupTest)
#include "PrintFontSetupTest.moc"
