// Drives the main window against a scale on a real line, as an operator would: the window in the
// system's language, the port list, Open port, Automatic reading, Upload commodity, Print A15
// keyboard to PDF, then the demo's virtual scale. Not a ctest: the Windows test step runs it under Wine against the virtual scale
// on COM1 and once natively on the scale's pseudo-terminal, and compares what the scale received.
//   SCALETOOL_TEST_PORT      the port to open, as the list names it (COM1, /dev/pts/3)
//   SCALETOOL_TEST_LISTED    1 when the system must list that port by itself
//   SCALETOOL_TEST_LANGUAGE  en or zh: the language the system locale must give the window
//   SCALETOOL_TEST_WEIGHT    the net weight the scale shows (as the field shows it)
//   SCALETOOL_TEST_OUT       folder for the window's picture and the printed sheet (A15.pdf)
//   SCALETOOL_DEMO_DIR       (compiled in) the sample commodity file and the sheet template
#include "app/Language.h"
#include "app/Skin.h"
#include "dialogs/PortLink.h"
#include "dialogs/ScaleMainDialog.h"
#include "print/PreviewHost.h"
#include "support/ControlLookup.h"
#include "support/MessageRecorder.h"
#include "support/TempDirectory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QString Setting(const char* name)
{
    return qEnvironmentVariable(name);
}

QAbstractButton* Button(const QWidget* dialog, const char* name)
{
    return RequireControl<QAbstractButton>(dialog, name);
}

QString DemoFile(const char* name)
{
    return QString::fromUtf8(SCALETOOL_DEMO_DIR "/") + QString::fromUtf8(name);
}

} // namespace

class WindowOnLineTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!Setting("SCALETOOL_TEST_PORT").isEmpty(), "SCALETOOL_TEST_PORT names no port");
        Language::Install(QLocale::system());
        dir_ = std::make_unique<TempAppDirectory>();
        // Series ZEV, the sample commodity list and the sheet template, as a technician's folder has them.
        WriteSystemSettings(*dir_, "Type=1\r\nSleep=10\r\n");
        for (const char* name : {"ZEV.txt", "A15.bmp"}) {
            QFile file(DemoFile(name));
            QVERIFY2(file.open(QIODevice::ReadOnly), name);
            dir_->WriteFile(name, file.readAll());
        }
        // Skinned as the program starts it.
        QVERIFY(Skin::Load(DemoFile("XPCorona.ssk")));
        dialog_ = std::make_unique<ScaleMainDialog>();
        dialog_->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    }

    void cleanupTestCase()
    {
        Skin::Exit();
        dialog_.reset();
        dir_.reset();
    }

    void windowSpeaksTheSystemLanguage()
    {
        const bool chinese = Setting("SCALETOOL_TEST_LANGUAGE") == QLatin1String("zh");
        QCOMPARE(Language::IsChinese(QLocale::system()), chinese);
        const QString open = Button(dialog_.get(), "openButton")->text();
        QCOMPARE(open, chinese ? QString::fromUtf8("打开端口(&O)") : QStringLiteral("&Open port"));
    }

    void portListShowsTheScalesPort()
    {
        const QString port = Setting("SCALETOOL_TEST_PORT");
        auto* ports = RequireControl<QComboBox>(dialog_.get(), "portCombo");
        if (Setting("SCALETOOL_TEST_LISTED") == QLatin1String("1")) {
            // The list follows the system's ports; the first listing comes from the link's worker.
            QTRY_VERIFY_WITH_TIMEOUT(ports->findText(port) >= 0, 5000);
        } else if (ports->findText(port) < 0) {
            ports->addItem(port);
        }
        ports->setCurrentIndex(ports->findText(port));
        QCOMPARE(ports->currentText(), port);
    }

    void openPortAndReadTheWeight()
    {
        Button(dialog_.get(), "openButton")->click();
        const QString close = QCoreApplication::translate("ScaleMainDialog", "Cl&ose port");
        QTRY_COMPARE_WITH_TIMEOUT(Button(dialog_.get(), "openButton")->text(), close, 5000);
        Button(dialog_.get(), "autoReadCheck")->click();
        auto* net = RequireControl<QLineEdit>(dialog_.get(), "value1");
        QTRY_COMPARE_WITH_TIMEOUT(net->text().trimmed(), Setting("SCALETOOL_TEST_WEIGHT"), 10000);
        // The window's picture, port open and the weight shown.
        const QString out = Setting("SCALETOOL_TEST_OUT");
        const bool chinese = Setting("SCALETOOL_TEST_LANGUAGE") == QLatin1String("zh");
        if (!out.isEmpty())
            QVERIFY(dialog_->grab().save(QDir(out).filePath(chinese ? "window-zh.png" : "window-en.png")));
        Button(dialog_.get(), "autoReadCheck")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!RequireControl<PortLink>(dialog_.get(), "portLink")->IsReading(), 5000);
    }

    void uploadCommodityEndsWhole()
    {
        MessageRecorder messages(QMessageBox::Ok);
        QSignalSpy ended(RequireControl<PortLink>(dialog_.get(), "portLink"), &PortLink::uploadEnded);
        Button(dialog_.get(), "uploadButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 60000);
        QCOMPARE(ended.first().first().toBool(), true);
    }

    void printA15KeyboardToPdf()
    {
        const QString out = Setting("SCALETOOL_TEST_OUT");
        if (out.isEmpty())
            QSKIP("SCALETOOL_TEST_OUT names no folder for the sheet");
        const QString file = QDir(out).filePath("A15.pdf");
        QFile::remove(file);
        PreviewHost::ForgetPrinterChoice();
        Button(dialog_.get(), "printA15Button")->click();
        PreviewHost* host = nullptr;
        QTRY_VERIFY((host = OpenPreview()) != nullptr);
        host->Printer()->setOutputFormat(QPrinter::PdfFormat);
        host->Printer()->setOutputFileName(file);
        AcceptNextPrintDialog(file);
        auto* print = host->findChild<QAction*>(QStringLiteral("previewPrint"));
        QVERIFY(print);
        print->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(file).size() > 0 && !OpenPreview(), 20000);
        QTRY_VERIFY(dialog_->isVisible());
    }

    // The demo's entry opens a scale of the tool's own (on Windows over loopback TCP) that reads
    // its first load, as a user trying the tool without hardware sees it.
    void demoScaleOpensAndReads()
    {
        const QString open = QCoreApplication::translate("ScaleMainDialog", "&Open port");
        Button(dialog_.get(), "openButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(Button(dialog_.get(), "openButton")->text(), open, 5000);
        auto* ports = RequireControl<QComboBox>(dialog_.get(), "portCombo");
        const int demo = ports->findText(QCoreApplication::translate("ScaleMainDialog", "Virtual scale (demo)"));
        QVERIFY(demo >= 0);
        ports->setCurrentIndex(demo);
        Button(dialog_.get(), "openButton")->click();
        QVERIFY(dialog_->DemoScale());
        QTRY_VERIFY_WITH_TIMEOUT(Button(dialog_.get(), "autoReadCheck")->isEnabled(), 5000);
        Button(dialog_.get(), "autoReadCheck")->click();
        auto* net = RequireControl<QLineEdit>(dialog_.get(), "value1");
        QTRY_COMPARE_WITH_TIMEOUT(net->text().trimmed(), QStringLiteral("1.236"), 10000);
        Button(dialog_.get(), "autoReadCheck")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!RequireControl<PortLink>(dialog_.get(), "portLink")->IsReading(), 5000);
        Button(dialog_.get(), "openButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(Button(dialog_.get(), "openButton")->text(), open, 5000);
    }

private:
    static PreviewHost* OpenPreview()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* host = qobject_cast<PreviewHost*>(widget); host && host->isVisible())
                return host;
        }
        return nullptr;
    }

    // The print dialog, or on Windows the file dialog that names a PDF file: accepted as it comes up,
    // with the file the printer was given.
    static void AcceptNextPrintDialog(const QString& file)
    {
        auto* timer = new QTimer;
        timer->setInterval(20);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, file] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* print = qobject_cast<QPrintDialog*>(modal);
            auto* files = qobject_cast<QFileDialog*>(modal);
            if (!print && !files)
                return;
            timer->stop();
            timer->deleteLater();
            if (files)
                files->selectFile(file);
            static_cast<QDialog*>(modal)->accept();
        });
        timer->start();
    }

    std::unique_ptr<TempAppDirectory> dir_;
    std::unique_ptr<ScaleMainDialog> dialog_;
};

QTEST_MAIN(WindowOnLineTest)
#include "WindowOnLineTest.moc"
