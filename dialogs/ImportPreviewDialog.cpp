#include "dialogs/ImportPreviewDialog.h"

#include "ui_ImportPreviewDialog.h"

#include "commodity/CommodityTable.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>

#include <algorithm>

namespace {

QString Utf8(const std::string& text)
{
    return QString::fromStdString(text);
}

// The character as the operator sees it, its code after it for the ones that cannot be seen.
QString CharacterText(char32_t character)
{
    const QString code = QStringLiteral("U+%1").arg(uint(character), 4, 16, QLatin1Char('0')).toUpper();
    if (character < 0x20 || character == 0x7F)
        return code;
    return QStringLiteral("\u201C") + QString::fromUcs4(&character, 1) + QStringLiteral("\u201D (") + code
        + QLatin1Char(')');
}

// A first line the parser took for data because its captions are not ones it knows.
bool HeaderNotUnderstood(const CommodityCsv::Import& import, std::size_t row)
{
    const CommodityCsv::Row& first = import.rows[row];
    return row == 0 && !import.header && first.problem == CommodityCsv::Problem::NumberOutOfRange
        && std::none_of(first.number.begin(), first.number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

ImportPreviewDialog::ImportPreviewDialog(const CommodityCsv::Import& import, const QString& fileName, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::ImportPreviewDialog>())
{
    ui_->setupUi(this);
    importButton_ = ui_->buttonBox->button(QDialogButtonBox::Ok);
    importButton_->setText(tr("&Import"));
    ui_->buttonBox->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));

    QTableWidget* table = ui_->rowsTable;
    table->setRowCount(int(import.rows.size()));
    for (int r = 0; r < int(import.rows.size()); ++r) {
        const CommodityCsv::Row& row = import.rows[std::size_t(r)];
        const QString problem = HeaderNotUnderstood(import, std::size_t(r))
            ? tr("This first line looks like a header, but its captions are not understood: name the columns "
                 "No., Code, Product Name and Price, or remove the line.")
            : ProblemText(row);
        const QString cells[] = {QString::number(row.line), Utf8(row.number), Utf8(row.code), Utf8(row.name),
                                 Utf8(row.price), problem};
        for (int column = 0; column < 6; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (!problem.isEmpty())
                item->setForeground(QColor(0xB0, 0x00, 0x20));
            table->setItem(r, column, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);

    problems_ = import.ProblemCount();
    good_ = int(import.rows.size()) - problems_;
    const QString encoding = import.encoding == CommodityCsv::Encoding::Gbk ? QStringLiteral("GBK")
        : import.encoding == CommodityCsv::Encoding::Utf8WithBom            ? tr("UTF-8 with byte-order mark")
                                                                            : QStringLiteral("UTF-8");
    const QString separator = import.separator == ';' ? tr("semicolons") : import.separator == '\t' ? tr("tabs")
                                                                                                    : tr("commas");
    QString summary = tr("%1: %2, separated by %3, %4. Rows: %n.", nullptr, int(import.rows.size()))
                          .arg(fileName, encoding, separator,
                               import.header ? tr("with a header row") : tr("no header row"));
    summary += QLatin1Char(' ') + tr("Importing replaces the whole commodity list of this series.");
    if (problems_ > 0)
        summary += QLatin1Char(' ') + tr("Rows with a problem: %n. They cannot be imported.", nullptr, problems_);
    ui_->summaryLabel->setText(summary);

    ui_->skipCheck->setText(tr("&Skip the rows with a problem (%n) and import the others (%1)", nullptr, problems_)
                                .arg(good_));
    ui_->skipCheck->setVisible(problems_ > 0);
    connect(ui_->skipCheck, &QCheckBox::toggled, this, &ImportPreviewDialog::UpdateImportButton);
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    UpdateImportButton();
}

ImportPreviewDialog::~ImportPreviewDialog() = default;

void ImportPreviewDialog::UpdateImportButton()
{
    importButton_->setEnabled(good_ > 0 && (problems_ == 0 || ui_->skipCheck->isChecked()));
}

QString ImportPreviewDialog::ProblemText(const CommodityCsv::Row& row)
{
    using CommodityCsv::Problem;
    const QString column = row.column == CommodityTable::Code ? tr("Code")
        : row.column == CommodityTable::Name                  ? tr("Product Name")
        : row.column == CommodityTable::Price                 ? tr("Price")
                                                              : tr("No.");
    switch (row.problem) {
    case Problem::None:
        return {};
    case Problem::NumberOutOfRange:
        return tr("No. must be a whole number from 1 to 200: the scale keeps 200 commodities.");
    case Problem::NotGbk:
        return tr("%1: the scale cannot store %2 (it keeps GBK text only); use another character.")
            .arg(column, CharacterText(row.character));
    case Problem::RefusedCharacter:
        if (row.character == U',')
            return tr("%1: a comma cannot be part of it; the scale's file separates fields with it.").arg(column);
        if (row.character == U'[' || row.character == U']' || row.character == U'<' || row.character == U'>')
            return tr("%1: %2 cannot be part of it; the scale's upload marks the code with [ ] and the name with < >.")
                .arg(column, CharacterText(row.character));
        return tr("%1: a line break or other control character (%2) cannot be part of it; the scale's file keeps "
                  "one commodity per line.")
            .arg(column, CharacterText(row.character));
    case Problem::CodeTooLong:
        return tr("The code has %1 bytes; at most 20 (a Chinese character counts two).").arg(row.bytes);
    case Problem::PriceNotNumber:
        return tr("The price is not a number with at most one decimal point.");
    case Problem::ExtraFields:
        return tr("More fields than No., Code, Product Name and Price.");
    case Problem::Replaced:
        return tr("Number %1 comes again in line %2; the later row wins.").arg(Utf8(row.number)).arg(row.otherLine);
    }
    return {};
}
