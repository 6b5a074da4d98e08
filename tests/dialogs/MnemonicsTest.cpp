// Every window's Alt+letter keys, in both languages: no letter is given to two controls, or one of
// them could never be reached from the keyboard.
#include "commodity/CommodityCsv.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/CalibrationDialog.h"
#include "dialogs/FindScaleDialog.h"
#include "dialogs/ImportPreviewDialog.h"
#include "dialogs/LineMonitorWindow.h"
#include "dialogs/ManufacturerPasswordDialog.h"
#include "dialogs/ManufacturerSettingsDialog.h"
#include "dialogs/MoreSettingsDialog.h"
#include "dialogs/ParameterDialog.h"
#include "dialogs/PortLink.h"
#include "dialogs/ScaleMainDialog.h"
#include "dialogs/ScalesDialog.h"
#include "dialogs/SendToScalesDialog.h"
#include "support/Languages.h"
#include "support/TempDirectory.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QTest>

#include <functional>
#include <memory>

namespace {

// Every control of `window` that an Alt+letter reaches: buttons, labels with a buddy, group boxes.
QStringList Duplicates(const QWidget* window)
{
    QMap<QString, QString> owners;
    QStringList twice;
    const auto note = [&](const QString& text, const QObject* control) {
        const QString letter = QKeySequence::mnemonic(text).toString();
        if (letter.isEmpty())
            return;
        if (owners.contains(letter))
            twice << QStringLiteral("%1: %2 and %3").arg(letter, owners[letter], control->objectName());
        else
            owners[letter] = control->objectName();
    };
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
        note(button->text(), button);
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy())
            note(label->text(), label);
    }
    for (const QGroupBox* group : window->findChildren<QGroupBox*>())
        note(group->title(), group);
    return twice;
}

} // namespace

class MnemonicsTest : public QObject {
    Q_OBJECT

private slots:
    void everyWindowGivesEachLetterOnce_data()
    {
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<int>("window");
        constexpr int kWindows = 12;
        for (int window = 0; window < 2 * kWindows; ++window)
            QTest::addRow("%s %d", window < kWindows ? "neutral" : "Chinese", window % kWindows)
                << (window >= kWindows) << window % kWindows;
    }

    void everyWindowGivesEachLetterOnce()
    {
        QFETCH(bool, chinese);
        QFETCH(int, window);
        InstallLanguage(chinese);
        TempAppDirectory dir;
        PortLink link;
        const std::string csv = "No.,Code,Product Name,Price\r\n1,1,Apple,1.0\r\n1,2,Pear,2\r\n";
        const CommodityCsv::Import import = CommodityCsv::Parse(csv);
        const std::vector<std::function<QWidget*()>> windows = {
            [] { return new ScaleMainDialog; },
            [&] { return new MoreSettingsDialog(link); },
            [&] { return new CalibrationDialog(link); },
            [] { return new ManufacturerPasswordDialog; },
            [&] { return new ManufacturerSettingsDialog(link); },
            [] { return new ParameterDialog("parameter\r\nA=1\r\nend\r\n"); },
            [] { return new AboutDialog; },
            [] { return new FindScaleDialog({}, {9600}); },
            [] { return new LineMonitorWindow; },
            [&] { return new ImportPreviewDialog(csv, import, QStringLiteral("a.csv")); },
            [] { return new ScalesDialog; },
            [] { return new SendToScalesDialog({{"Deli", "COM3", 9600, 0}}, "", nullptr); },
        };
        std::unique_ptr<QWidget> shown(windows.at(std::size_t(window))());
        const QStringList twice = Duplicates(shown.get());
        QVERIFY2(twice.isEmpty(), qPrintable(shown->metaObject()->className() + QStringLiteral(": ") + twice.join("; ")));
        Language::Install(QLocale::c());
    }
};

QTEST_MAIN(MnemonicsTest)
#include "MnemonicsTest.moc"
