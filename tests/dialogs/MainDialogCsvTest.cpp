// CSV import and export from the main dialog: the preview decides, the table follows; and the
// command line's upload of a file is byte for byte the dialog's upload of the same table.
#include "MainDialogTestSupport.h"

#include "app/Language.h"
#include "cli/CommandLine.h"
#include "controls/EditableListCtrl.h"
#include "support/Languages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <chrono>
#include <sstream>

using namespace MainDialogSupport;
using namespace std::chrono_literals;

namespace {

QString Cell(ScaleMainDialog& dialog, int row, int column)
{
    auto* list = dialog.findChild<EditableListCtrl*>("commodityList");
    return list->model()->index(row, column).data().toString();
}

} // namespace

class MainDialogCsvTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        Language::Install(QLocale::c());
    }

    void previewDecidesWhatReachesTheTable_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<bool>("consent");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("row1Name");   // the name of commodity 1 afterwards
        QTest::addColumn<QString>("row3Code");   // the code of commodity 3 afterwards
        QTest::addColumn<bool>("chinese");
        const QByteArray good = "No.,Code,Product Name,Price\r\n1,A1,苹果,3.50\r\n3,C3,Pear,1\r\n";
        const QByteArray bad = "1,A1,苹果,3.50\r\n3,C3,Pear,1,50\r\n201,X,x,1\r\n";
        QTest::newRow("clean file accepted") << good << false << true << QString("苹果") << QString("C3") << false;
        QTest::newRow("clean file cancelled") << good << false << false << QString("Old") << QString() << false;
        QTest::newRow("problems skipped with consent") << bad << true << true << QString("苹果") << QString() << false;
        QTest::newRow("problems without consent") << bad << false << true << QString("Old") << QString() << false;
        QTest::newRow("Chinese interface") << bad << true << true << QString("苹果") << QString() << true;
    }

    void previewDecidesWhatReachesTheTable()
    {
        QFETCH(QByteArray, csv);
        QFETCH(bool, consent);
        QFETCH(bool, accept);
        QFETCH(QString, row1Name);
        QFETCH(QString, row3Code);
        QFETCH(bool, chinese);
        InstallLanguage(chinese);
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Type=1\r\n");
        dir.WriteFile("ZEV.txt", "1,OLD,Old,9\r\n");
        dir.WriteFile("shop.csv", csv);
        ScaleMainDialog dialog;

        int listedRows = -1;
        int problemRows = 0;
        bool importEnabled = false;
        WhenModalShows([&](QWidget* preview) {
            auto* rows = preview->findChild<QTableWidget*>("rowsTable");
            auto* skip = preview->findChild<QCheckBox*>("skipCheck");
            QPushButton* import = preview->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok);
            listedRows = rows->rowCount();
            for (int r = 0; r < rows->rowCount(); ++r)
                problemRows += rows->item(r, 5)->text().isEmpty() ? 0 : 1;
            if (consent)
                skip->click();
            if (const QString shots = qEnvironmentVariable("SCALETOOL_SCREENSHOT_DIR"); !shots.isEmpty() && consent)
                preview->grab().save(shots + (chinese ? "/import-preview-zh.png" : "/import-preview-en.png"));
            importEnabled = import->isEnabled();
            if (accept && importEnabled)
                import->click();  // or closed, as Cancel
        });
        dialog.ImportCsvFile(QString::fromStdString(dir.FilePath("shop.csv")));

        const bool hasProblems = csv.contains("201");
        QCOMPARE(listedRows, hasProblems ? 3 : 2);
        QCOMPARE(problemRows, hasProblems ? 2 : 0);
        QCOMPARE(importEnabled, !hasProblems || consent);
        QCOMPARE(Cell(dialog, 0, 3), row1Name);
        QCOMPARE(Cell(dialog, 2, 2), row3Code);
        // The file changes only when the table is saved.
        QCOMPARE(dir.ReadFile("ZEV.txt"), QByteArray("1,OLD,Old,9\r\n"));
    }

    void previewReadsTheTextAsChosen_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<bool>("offered");    // the encoding switch is shown
        QTest::addColumn<bool>("switchToGbk");
        QTest::addColumn<QString>("shown");   // the name the preview shows
        QTest::addColumn<QString>("kept");    // the name commodity 1 has afterwards
        const QByteArray both = "1,A1,苹果,1\r\n";  // also whole GBK text: 鑻规灉
        QTest::newRow("likelier reading") << both << true << false << QString("苹果") << QString("苹果");
        QTest::newRow("switched to GBK") << both << true << true << QString("鑻规灉") << QString("鑻规灉");
        QTest::newRow("only one reading") << QByteArray("1,A1,\xC6\xBB\xB9\xFB,1\r\n") << false << false
                                          << QString("苹果") << QString("苹果");
    }

    void previewReadsTheTextAsChosen()
    {
        QFETCH(QByteArray, csv);
        QFETCH(bool, offered);
        QFETCH(bool, switchToGbk);
        QFETCH(QString, shown);
        QFETCH(QString, kept);
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Type=1\r\n");
        dir.WriteFile("shop.csv", csv);
        ScaleMainDialog dialog;
        bool comboShown = false;
        QString nameShown;
        WhenModalShows([&](QWidget* preview) {
            auto* combo = preview->findChild<QComboBox*>("encodingCombo");
            comboShown = combo->isVisibleTo(preview);
            if (switchToGbk) {
                combo->setFocus();
                QTest::keyClick(combo, Qt::Key_Down);
            }
            nameShown = preview->findChild<QTableWidget*>("rowsTable")->item(0, 3)->text();
            preview->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
        });
        dialog.ImportCsvFile(QString::fromStdString(dir.FilePath("shop.csv")));
        QCOMPARE(comboShown, offered);
        QCOMPARE(nameShown, shown);
        QCOMPARE(Cell(dialog, 0, 3), kept);
    }

    void exportWritesTheInterfaceLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("English") << QLocale::c() << QByteArray("No.,Code,Product Name,Price\r\n");
        QTest::newRow("Chinese") << QLocale(QLocale::Chinese, QLocale::China) << QByteArray("序号,编码,商品名称,单价\r\n");
    }

    void exportWritesTheInterfaceLanguage()
    {
        QFETCH(QLocale, locale);
        QFETCH(QByteArray, header);
        Language::Install(locale);
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Type=1\r\n");
        dir.WriteFile("ZEV.txt", "2,B2,\xCF\xE3\xBD\xB6,4.5\r\n1,A1,Apple,\r\n");
        ScaleMainDialog dialog;
        QVERIFY(dialog.ExportCsvFile(QString::fromStdString(dir.FilePath("out.csv"))));
        QCOMPARE(dir.ReadFile("out.csv"), "\xEF\xBB\xBF" + header + "1,A1,Apple,\r\n2,B2,香蕉,4.5\r\n");
    }

    void commandLineUploadEqualsTheDialogs_data()
    {
        QTest::addColumn<QString>("series");
        QTest::addColumn<QByteArray>("type");
        QTest::newRow("zud") << QString("zud") << QByteArray("0");
        QTest::newRow("zev") << QString("zev") << QByteArray("1");
    }

    void commandLineUploadEqualsTheDialogs()
    {
        QFETCH(QString, series);
        QFETCH(QByteArray, type);
        TempAppDirectory dir;
        WriteSystemSettings(dir, "Sleep=0\r\nType=" + type + "\r\n");
        dir.WriteFile("shop.csv", "\xEF\xBB\xBF序号;编码;商品名称;单价\r\n1;A1;苹果;3.50\r\n"
                                  "7;\" B 7\";\"Say \"\"hi\"\"\";\r\n200;Z;€ 欧元;0.5\r\n");
        const QString csv = QString::fromStdString(dir.FilePath("shop.csv"));

        VirtualScale dialogScale;
        QVERIFY(dialogScale.Start());
        {
            ScaleMainDialog dialog;
            WhenModalShows([](QWidget* preview) {
                preview->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
            });
            dialog.ImportCsvFile(csv);
            QVERIFY(OpenOn(dialog, dialogScale));
            QVERIFY(Button(&dialog, "uploadButton")->isEnabled());
            Button(&dialog, "uploadButton")->click();
            QVERIFY(dialogScale.WaitForCommands(202, 5s));
        }

        VirtualScale cliScale;
        QVERIFY(cliScale.Start());
        std::ostringstream out, err;
        const int status = RunCommandLine({"scaletool-cli", "--port", cliScale.PortPath(), "--series",
                                           series.toStdString(), "--upload", csv.toStdString()},
                                          out, err);
        QCOMPARE(status, int(kExitOk));
        QVERIFY(cliScale.WaitForCommands(202, 5s));
        QTest::qWait(50);
        QCOMPARE(QByteArray::fromStdString(cliScale.Received()), QByteArray::fromStdString(dialogScale.Received()));
        // The spaces around the quoted code are left out, as the commodity file would leave them out.
        QVERIFY(cliScale.Received().find("7[B 7]<Say \"hi\">") != std::string::npos);
    }
};

QTEST_MAIN(MainDialogCsvTest)
#include "MainDialogCsvTest.moc"
