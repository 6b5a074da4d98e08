// Words the operator reads: an import row's problem says what to do about it, in both languages,
// and the line monitor's captions fit their columns.
#include "commodity/CommodityCsv.h"
#include "dialogs/ImportPreviewDialog.h"
#include "dialogs/LineMonitorWindow.h"
#include "support/ControlLookup.h"
#include "support/Languages.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

namespace {

// The problem column of the preview's first row.
QString FirstProblem(const QByteArray& csv)
{
    std::string bytes(csv.constData(), std::size_t(csv.size()));
    const CommodityCsv::Import import = CommodityCsv::Parse(bytes);
    ImportPreviewDialog preview(bytes, import, QStringLiteral("a.csv"));
    auto* rows = RequireControl<QTableWidget>(&preview, "rowsTable");
    return rows->rowCount() > 0 ? rows->item(0, rows->columnCount() - 1)->text() : QString();
}

} // namespace

class PlainWordsTest : public QObject {
    Q_OBJECT

private slots:
    void importProblemsSayWhatToDo_data()
    {
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("says");
        QTest::newRow("comma") << false << QByteArray("1,10,\"Apple, red\",2.0\r\n")
                               << "Product Name: a comma cannot be part of it; the scale's file separates fields with it.";
        QTest::newRow("comma, Chinese") << true << QByteArray("1,10,\"Apple, red\",2.0\r\n")
                                        << QString::fromUtf8("商品名称：不能包含逗号，电子秤的文件用逗号分隔字段。");
        QTest::newRow("header not understood")
            << false << QByteArray("Item,Barcode,Description,Cost\r\n1,10,Apple,2.0\r\n")
            << "This first line looks like a header, but its captions are not understood: name the columns No., "
               "Code, Product Name and Price, or remove the line.";
    }

    void importProblemsSayWhatToDo()
    {
        QFETCH(bool, chinese);
        QFETCH(QByteArray, csv);
        QFETCH(QString, says);
        InstallLanguage(chinese);
        QCOMPARE(FirstProblem(csv), says);
        Language::Install(QLocale::c());
    }

    void lineMonitorCaptionsFitTheirColumns_data()
    {
        AddLanguageRows();
    }

    void lineMonitorCaptionsFitTheirColumns()
    {
        QFETCH(bool, chinese);
        InstallLanguage(chinese);
        LineMonitorWindow monitor;
        const QHeaderView* header = RequireControl<QTableView>(&monitor, "entryView")->horizontalHeader();
        for (int column = 0; column + 1 < header->count(); ++column) {
            const QString caption = header->model()->headerData(column, Qt::Horizontal).toString();
            const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            QVERIFY2(header->sectionSize(column) >= header->fontMetrics().horizontalAdvance(caption) + margins,
                     qPrintable(caption));
        }
        Language::Install(QLocale::c());
    }
};

QTEST_MAIN(PlainWordsTest)
#include "PlainWordsTest.moc"
