#include "dialogs/ImportPreviewDialog.h"

#include "ui_ImportPreviewDialog.h"

#include "commodity/CommodityTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>

#include <algorithm>

namespace {

// A cell as it will be kept; control bytes shown escaped (the row says why it is refused).
QString Shown(const std::string& text)
{
    return QString::fromStdString(CommodityCsv::Printable(text));
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

// The combo's entries, in its order.
constexpr CommodityCsv::Encoding kReadings[] = {CommodityCsv::Encoding::Utf8, CommodityCsv::Encoding::Gbk};

} // namespace

ImportPreviewDialog::ImportPreviewDialog(std::string bytes, CommodityCsv::Import import, const QString& fileName,
                                         QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::ImportPreviewDialog>())
    , bytes_(std::move(bytes))
    , import_(std::move(import))
    , fileName_(fileName)
{
    ui_->setupUi(this);
    importButton_ = ui_->buttonBox->button(QDialogButtonBox::Ok);
    importButton_->setText(tr("&Import"));
    ui_->buttonBox->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    // Only a file that reads as both offers the choice; it opens with the likelier reading.
    ui_->encodingLabel->setVisible(import_.bothReadings);
    ui_->encodingCombo->setVisible(import_.bothReadings);
    ui_->encodingCombo->setCurrentIndex(import_.encoding == CommodityCsv::Encoding::Gbk ? 1 : 0);
    connect(ui_->encodingCombo, &QComboBox::currentIndexChanged, this, &ImportPreviewDialog::OnEncodingChosen);
    connect(ui_->skipCheck, &QCheckBox::toggled, this, &ImportPreviewDialog::UpdateImportButton);
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ShowImport();
}

ImportPreviewDialog::~ImportPreviewDialog() = default;

void ImportPreviewDialog::OnEncodingChosen(int index)
{
    if (index < 0 || index >= int(std::size(kReadings)))
        return;
    const bool both = import_.bothReadings;
    import_ = CommodityCsv::Parse(bytes_, kReadings[index]);
    import_.bothReadings = both;
    ShowImport();
}

void ImportPreviewDialog::ShowImport()
{
    QTableWidget* table = ui_->rowsTable;
    table->clearContents();
    table->setRowCount(int(import_.rows.size()));
    for (int r = 0; r < int(import_.rows.size()); ++r) {
        const CommodityCsv::Row& row = import_.rows[std::size_t(r)];
        const QString problem = HeaderNotUnderstood(import_, std::size_t(r))
            ? tr("This first line looks like a header, but its captions are not understood: name the columns "
                 "No., Code, Product Name and Price, or remove the line.")
            : ProblemText(row);
        const QString cells[] = {QString::number(row.line), Shown(row.number), Shown(row.code), Shown(row.name),
                                 Shown(row.price), problem};
        for (int column = 0; column < 6; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (!problem.isEmpty())
                item->setForeground(QColor(0xB0, 0x00, 0x20));
            table->setItem(r, column, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);

    problems_ = import_.ProblemCount();
    good_ = int(import_.rows.size()) - problems_;
    const int trimmed = int(std::count_if(import_.rows.begin(), import_.rows.end(),
                                          [](const CommodityCsv::Row& row) { return row.trimmed; }));
    const QString encoding = import_.encoding == CommodityCsv::Encoding::Gbk ? QStringLiteral("GBK")
        : import_.encoding == CommodityCsv::Encoding::Utf8WithBom           ? tr("UTF-8 with byte-order mark")
                                                                            : QStringLiteral("UTF-8");
    const QString separator = import_.separator == ';' ? tr("semicolons") : import_.separator == '\t' ? tr("tabs")
                                                                                                      : tr("commas");
    QString summary = tr("%1: %2, separated by %3, %4. Rows: %n.", nullptr, int(import_.rows.size()))
                          .arg(fileName_, encoding, separator,
                               import_.header ? tr("with a header row") : tr("no header row"));
    summary += QLatin1Char(' ') + tr("Importing replaces the whole commodity list of this series.");
    if (trimmed > 0)
        summary += QLatin1Char(' ')
            + tr("Spaces around code, name or price are left out in %n row(s), as the commodity file leaves them out.",
                 nullptr, trimmed);
    if (problems_ > 0)
        summary += QLatin1Char(' ') + tr("Rows with a problem: %n. They cannot be imported.", nullptr, problems_);
    if (import_.fileProblem != CommodityCsv::FileProblem::None)
        summary += QLatin1Char(' ') + FileProblemText(import_);
    ui_->summaryLabel->setText(summary);

    ui_->skipCheck->setText(tr("&Skip the rows with a problem (%n) and import the others (%1)", nullptr, problems_)
                                .arg(good_));
    ui_->skipCheck->setVisible(problems_ > 0);
    UpdateImportButton();
}

void ImportPreviewDialog::UpdateImportButton()
{
    importButton_->setEnabled(import_.fileProblem == CommodityCsv::FileProblem::None && good_ > 0
                              && (problems_ == 0 || ui_->skipCheck->isChecked()));
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
    case Problem::TextAfterQuote:
        return tr("%1: text after the closing quote.").arg(column);
    case Problem::NoCode:
        return tr("No code: the commodity file keeps only rows with a code.");
    case Problem::Replaced:
        return tr("Number %1 comes again in line %2; the later row wins.").arg(Shown(row.number)).arg(row.otherLine);
    }
    return {};
}

QString ImportPreviewDialog::FileProblemText(const CommodityCsv::Import& import)
{
    using CommodityCsv::FileProblem;
    const QString name = QString::fromStdString(import.columnName);
    switch (import.fileProblem) {
    case FileProblem::None:
        return {};
    case FileProblem::NoNumberColumn:
        return tr("Its header row names no No. column.");
    case FileProblem::UnknownColumn:
        return tr("Its header row names a column that is not understood: \u201C%1\u201D.").arg(name);
    case FileProblem::RepeatedColumn:
        return tr("Its header row names \u201C%1\u201D twice.").arg(name);
    case FileProblem::Utf16:
        return tr("UTF-16 text is not read; save the sheet as CSV (UTF-8 or GBK).");
    case FileProblem::UnclosedQuote:
        return tr("A quote opens in line %1 and never closes.").arg(import.fileLine);
    case FileProblem::MixedEncoding:
        return tr("Line %1 holds bytes that are not UTF-8 in UTF-8 text.").arg(import.fileLine);
    case FileProblem::NotText:
        return tr("Line %1 holds bytes that are not %2 text.")
            .arg(import.fileLine)
            .arg(import.encoding == CommodityCsv::Encoding::Gbk ? QStringLiteral("GBK") : QStringLiteral("UTF-8"));
    case FileProblem::TooLarge:
        return tr("It is over 1 MiB or has more than 1000 rows; a commodity list holds 200.");
    }
    return {};
}
