#include "app/Language.h"
#include "dialogs/CalibrationDialog.h"
#include "dialogs/ManufacturerPasswordDialog.h"
#include "dialogs/ManufacturerSettingsDialog.h"
#include "dialogs/MoreSettingsDialog.h"
#include "dialogs/ScalesDialog.h"
#include "dialogs/SendToScalesDialog.h"
#include "support/ControlLookup.h"
#include "support/Languages.h"
#include "support/TempDirectory.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include <functional>
#include <memory>

// Both resource sets: the texts each language shows, and a layout in which nothing is cut off.
// With SCALETOOL_SCREENSHOT_DIR set, each dialog is also saved there as a PNG.
namespace {

using Factory = std::function<std::unique_ptr<QDialog>(PortLink&)>;

struct Subject {
    const char* name;
    Factory make;
};

const Subject kSubjects[] = {
    {"more-settings", [](PortLink& p) { return std::make_unique<MoreSettingsDialog>(p); }},
    {"calibration", [](PortLink& p) { return std::make_unique<CalibrationDialog>(p); }},
    {"manufacturer-settings",
     [](PortLink& p) { return std::make_unique<ManufacturerSettingsDialog>(p); }},
    {"manufacturer-password", [](PortLink&) { return std::make_unique<ManufacturerPasswordDialog>(); }},
    {"scales", [](PortLink&) { return std::make_unique<ScalesDialog>(); }},
    {"send-to-scales",
     [](PortLink& p) { return std::make_unique<SendToScalesDialog>(std::vector<ScaleEntry>{{"Deli", "COM3", 9600, 0}}, "", &p); }},
};

const Subject& SubjectNamed(const QString& name)
{
    for (const Subject& subject : kSubjects) {
        if (name == QLatin1String(subject.name))
            return subject;
    }
    qFatal("no dialog %s", qPrintable(name));
}

QString Describe(const QWidget* w)
{
    return QStringLiteral("%1 (%2 \"%3\")")
        .arg(w->objectName(), QString::number(w->property("controlId").toInt()),
             w->property("text").toString() + w->property("title").toString());
}

// Controls whose text does not fit the room the layout gave them.
QStringList Clipped(const QWidget* dialog)
{
    QStringList clipped;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(dialog) || w->parentWidget()->inherits("QComboBox"))
            continue;
        QSize need;
        if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap())
            need = QSize(label->minimumSizeHint().width(), label->heightForWidth(label->width()));
        else if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w))
            need = w->sizeHint();
        else if (qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QGroupBox*>(w))
            need = w->minimumSizeHint();
        else
            continue;
        if (w->width() < need.width() || w->height() < need.height())
            clipped << QStringLiteral("%1: %2x%3 < %4x%5").arg(Describe(w)).arg(w->width()).arg(w->height())
                           .arg(need.width()).arg(need.height());
    }
    return clipped;
}

QString Text(const QWidget* dialog, const char* name)
{
    return RequireControl<QWidget>(dialog, name)->property("text").toString();
}

} // namespace

class SettingsDialogsLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Language::Install(QLocale::c()); }

    void texts_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QString>("control");  // empty: the caption
        QTest::addColumn<QString>("expected");

        const auto row = [](const char* dialog, const char* control, const char* neutral, const char* chinese) {
            const char* shown = *control ? control : "caption";
            QTest::addRow("%s %s neutral", dialog, shown) << dialog << false << control << QString::fromUtf8(neutral);
            QTest::addRow("%s %s chinese", dialog, shown) << dialog << true << control << QString::fromUtf8(chinese);
        };
        row("more-settings", "", "更多设置", "更多设置");
        row("more-settings", "codeSet", "Set", "设置");
        row("more-settings", "stableBack", "Stable Back", "稳定时回传");
        row("more-settings", "commandBack", "CMD Back", "指令回传");
        row("more-settings", "animalOn", "On", "开");
        row("more-settings", "animalOff", "Off", "关");
        row("more-settings", "calibrationButton", "Calibration", "标定");
        row("more-settings", "manufacturerButton", "Manufacturer", "厂商设置");
        row("more-settings", "backButton", "Back(ESC)", "返回(ESC)");
        row("calibration", "", "Calibration", "Calibration");
        row("calibration", "zeroButton", "SetZero", "强制清零");
        row("calibration", "calibrateButton", "Calibration", "标定");
        row("calibration", "serviceButton", "", "");
        row("calibration", "cancelButton", "Cancel(ESC)", "取消(ESC)");
        row("manufacturer-settings", "", "Manufacturer Setting", "厂商设置");
        row("manufacturer-settings", "precisionSet", "Set", "设置");
        row("manufacturer-settings", "backButton", "Back(ESC)", "返回(ESC)");
        row("manufacturer-password", "", "Please input the Manufacturer password", "请输入厂商密码");
        row("manufacturer-password", "okButton", "OK(Enter)", "确定(Enter)");
        row("manufacturer-password", "cancelButton", "Cancel(ESC)", "取消(ESC)");
    }

    void texts()
    {
        QFETCH(QString, dialog);
        QFETCH(bool, chinese);
        QFETCH(QString, control);
        QFETCH(QString, expected);
        TempAppDirectory dir;
        InstallLanguage(chinese);
        PortLink port;
        const auto shown = SubjectNamed(dialog).make(port);
        QCOMPARE(control.isEmpty() ? shown->windowTitle() : Text(shown.get(), qPrintable(control)), expected);
    }

    void listItems_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("items");
        const QStringList alarms{QString::fromUtf8("关闭报警"), QString::fromUtf8("最小溢出报警"),
                                 QString::fromUtf8("最大溢出报警"), QString::fromUtf8("所有溢出报警")};
        QTest::newRow("alarms neutral") << "more-settings" << false << "alarmList" << alarms;
        QTest::newRow("alarms chinese") << "more-settings" << true << "alarmList" << alarms;
        QTest::newRow("lock neutral") << "manufacturer-settings" << false << "lockList" << QStringList{"Lock", "Unlock"};
        QTest::newRow("lock chinese") << "manufacturer-settings" << true << "lockList"
                                      << QStringList{QString::fromUtf8("锁定"), QString::fromUtf8("解锁")};
    }

    void listItems()
    {
        QFETCH(QString, dialog);
        QFETCH(bool, chinese);
        QFETCH(QString, list);
        QFETCH(QStringList, items);
        TempAppDirectory dir;
        InstallLanguage(chinese);
        PortLink port;
        const auto shown = SubjectNamed(dialog).make(port);
        auto* combo = RequireControl<QComboBox>(shown.get(), qPrintable(list));
        QStringList texts;
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
        QCOMPARE(texts, items);
    }

    void firstItemsOfTranslatedLists()
    {
        TempAppDirectory dir;
        Language::Install(QLocale(QLocale::Chinese, QLocale::China));
        PortLink port;
        ManufacturerSettingsDialog dialog(port);
        QCOMPARE(RequireControl<QComboBox>(&dialog, "zeroList")->itemText(0), QString::fromUtf8("无零点追踪"));
        QCOMPARE(RequireControl<QComboBox>(&dialog, "precisionList")->itemText(0), QString::fromUtf8("自动精度"));
        QCOMPARE(RequireControl<QComboBox>(&dialog, "precisionList")->itemText(6), QStringLiteral("0.5g"));
    }

    void nothingClipped_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("chinese");
        for (const Subject& subject : kSubjects) {
            QTest::addRow("%s en", subject.name) << QString::fromLatin1(subject.name) << false;
            QTest::addRow("%s zh", subject.name) << QString::fromLatin1(subject.name) << true;
        }
    }

    void nothingClipped()
    {
        QFETCH(QString, dialog);
        QFETCH(bool, chinese);
        TempAppDirectory dir;
        InstallLanguage(chinese);
        PortLink port;
        const auto shown = SubjectNamed(dialog).make(port);
        QVERIFY(ShowExposed(shown.get()));
        const QStringList clipped = Clipped(shown.get());
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("; "))));
        // Fits a small laptop screen.
        QVERIFY2(shown->width() <= 1000 && shown->height() <= 720,
                 qPrintable(QStringLiteral("%1x%2").arg(shown->width()).arg(shown->height())));

        const QString shots = qEnvironmentVariable("SCALETOOL_SCREENSHOT_DIR");
        // The scales windows are pictured with scales in them by their own test.
        if (!shots.isEmpty() && dialog != QLatin1String("manufacturer-password") && !dialog.contains("scales")) {
            const QString file = QDir(shots).filePath(dialog + (chinese ? "-zh.png" : "-en.png"));
            QVERIFY(shown->grab().save(file));
        }
    }
};

QTEST_MAIN(SettingsDialogsLayoutTest)
#include "SettingsDialogsLayoutTest.moc"
