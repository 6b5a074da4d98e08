#include "dialogs/ScalesDialog.h"

#include "ui_ScalesDialog.h"

#include "controls/GbkConvert.h"
#include "dialogs/PortWords.h"
#include "settings/AppPaths.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidgetItem>

namespace {

enum Column { NameColumn, PortColumn, BaudColumn, SeriesColumn, TestColumn };

// A scale that has not answered within this long is reported silent.
constexpr int kTestAnswerMs = 3000;

QString PortOf(const QTreeWidgetItem* item)
{
    return item->text(PortColumn);
}

} // namespace

ScalesDialog::ScalesDialog(QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::ScalesDialog>())
    , path_(AppPaths::InApplicationDirectory(ScaleList::kFileName))
{
    ui_->setupUi(this);
    testLink_.setObjectName(QStringLiteral("testLink"));
    ui_->scaleTree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui_->scaleTree->header()->setStretchLastSection(true);
    ui_->portCombo->addItems(PortLink::SystemPorts());
    ui_->portCombo->setCurrentText(QString());
    for (const int baud : ScaleList::kBaudRates)
        ui_->baudCombo->addItem(QString::number(baud));
    ui_->baudCombo->setCurrentText(QStringLiteral("9600"));
    for (const ScaleSeries series : {ScaleSeries::Zud, ScaleSeries::Zev, ScaleSeries::Rivav})
        ui_->modelCombo->addItem(PortWords::SeriesName(series));

    if (const auto problem = ScaleList::Load(path_, list_)) {
        // Nothing is written over a file that could not be read whole.
        readable_ = false;
        ui_->statusLabel->setText(tr("The scale list cannot be read, so it is left as it is: %1")
                                      .arg(QString::fromLocal8Bit(problem->c_str())));
        ui_->newGroup->setEnabled(false);
    }
    Fill();

    testTimeout_.setSingleShot(true);
    testTimeout_.setInterval(kTestAnswerMs);
    connect(&testTimeout_, &QTimer::timeout, this, [this] { ShowTested(tr("No answer from the scale.")); });
    connect(&testLink_, &PortLink::opened, this, [this](int error) {
        if (error != 0) {
            ShowTested(PortWords::OpenFailure(testPort_, error).replace(QLatin1Char('\n'), QStringLiteral(": ")));
            return;
        }
        testLink_.StartReading([series = testSeries_] { return series; }, [] { return false; }, [] { return 100; });
    });
    connect(&testLink_, &PortLink::valueRead, this, [this](ScaleSeries, WeightReport::Quantity quantity, const QByteArray& text) {
        if (!testAnswered_) {
            testAnswered_ = true;
            // The fields of one reading come in one batch of reports; it is shown after them.
            QTimer::singleShot(0, this, [this] { ShowTested(testValues_.join(QStringLiteral("  "))); });
        }
        // A field the scale left empty (a price not set) is not shown.
        const QString value = FromGbk(std::string_view(text.constData(), std::size_t(text.size()))).trimmed();
        if (!value.isEmpty())
            testValues_ << QuantityName(quantity) + QLatin1Char(' ') + value;
    });
    connect(&testLink_, &PortLink::lost, this,
            [this](int fault, int error) { ShowTested(PortWords::LossReason(fault, error)); });
    connect(&testLink_, &PortLink::closed, this, &ScalesDialog::ShowButtons);

    connect(ui_->addButton, &QPushButton::clicked, this, &ScalesDialog::Add);
    connect(ui_->removeButton, &QPushButton::clicked, this, &ScalesDialog::Remove);
    connect(ui_->renameButton, &QPushButton::clicked, this, [this] {
        if (QTreeWidgetItem* item = ui_->scaleTree->currentItem())
            ui_->scaleTree->editItem(item, NameColumn);
    });
    connect(ui_->testButton, &QPushButton::clicked, this, &ScalesDialog::Test);
    connect(ui_->closeButton, &QPushButton::clicked, this, &ScalesDialog::reject);
    connect(ui_->scaleTree, &QTreeWidget::itemChanged, this, &ScalesDialog::Rename);
    connect(ui_->scaleTree, &QTreeWidget::currentItemChanged, this, &ScalesDialog::ShowButtons);
    ShowButtons();
}

ScalesDialog::~ScalesDialog() = default;

void ScalesDialog::Fill()
{
    filling_ = true;
    const QString current = ui_->scaleTree->currentItem() ? PortOf(ui_->scaleTree->currentItem()) : QString();
    ui_->scaleTree->clear();
    for (const ScaleEntry& scale : list_.Entries()) {
        auto* item = new QTreeWidgetItem(ui_->scaleTree, {FromGbk(scale.name), QString::fromStdString(scale.port),
                                                          QString::number(scale.baud),
                                                          PortWords::SeriesName(ScaleSeries(scale.series))});
        if (readable_)
            item->setFlags(item->flags() | Qt::ItemIsEditable);
        if (item->text(PortColumn) == current)
            ui_->scaleTree->setCurrentItem(item);
    }
    filling_ = false;
    ShowButtons();
}

void ScalesDialog::Add()
{
    ScaleEntry scale;
    scale.name = ToGbk(ui_->nameEdit->text());
    scale.port = ui_->portCombo->currentText().toStdString();
    scale.baud = ui_->baudCombo->currentText().toInt();
    scale.series = ui_->modelCombo->currentIndex();
    // The refusal met most often in the operator's language; the list names any other.
    QString refused;
    if (list_.FindByPort(scale.port))
        refused = tr("%1 is in the list already.").arg(ui_->portCombo->currentText());
    else if (const auto problem = list_.Add(scale))
        refused = QString::fromLocal8Bit(problem->c_str());
    if (!refused.isEmpty()) {
        ui_->statusLabel->setText(tr("The scale was not added: %1").arg(refused));
        return;
    }
    if (!Save()) {
        list_.Remove(scale.port);
        return;
    }
    ui_->statusLabel->setText(tr("%1 was added.").arg(ui_->nameEdit->text()));
    ui_->nameEdit->clear();
    Fill();
}

void ScalesDialog::Remove()
{
    QTreeWidgetItem* item = ui_->scaleTree->currentItem();
    if (!item || !readable_)
        return;
    const ScaleList before = list_;
    list_.Remove(PortOf(item).toStdString());
    if (!Save()) {
        list_ = before;
        return;
    }
    ui_->statusLabel->setText(tr("%1 was removed.").arg(item->text(NameColumn)));
    Fill();
}

void ScalesDialog::Rename(QTreeWidgetItem* item, int column)
{
    if (filling_ || column != NameColumn || !readable_)
        return;
    const ScaleList before = list_;
    if (const auto problem = list_.Rename(PortOf(item).toStdString(), ToGbk(item->text(NameColumn)))) {
        ui_->statusLabel->setText(tr("The scale was not renamed: %1").arg(QString::fromLocal8Bit(problem->c_str())));
    } else if (Save()) {
        ui_->statusLabel->setText(tr("The scale on %1 is now called %2.").arg(PortOf(item), item->text(NameColumn)));
    } else {
        list_ = before;
    }
    // The row shows what the list holds, whatever was typed.
    QMetaObject::invokeMethod(this, &ScalesDialog::Fill, Qt::QueuedConnection);
}

void ScalesDialog::Test()
{
    QTreeWidgetItem* item = ui_->scaleTree->currentItem();
    if (!item || testLink_.IsOpen() || testLink_.IsChanging())
        return;
    const ScaleEntry* scale = list_.FindByPort(PortOf(item).toStdString());
    if (!scale)
        return;
    testPort_ = scale->port;
    testSeries_ = ScaleSeries(scale->series);
    testValues_.clear();
    testAnswered_ = false;
    item->setText(TestColumn, tr("Testing..."));
    // The port opens and is read on the link's worker; the row hears the result.
    testLink_.Open(scale->port, scale->baud);
    testTimeout_.start();
    ShowButtons();
}

void ScalesDialog::ShowTested(const QString& result)
{
    if (testPort_.empty())
        return;
    testTimeout_.stop();
    const QString port = QString::fromStdString(testPort_);
    testPort_.clear();
    for (int i = 0; i < ui_->scaleTree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ui_->scaleTree->topLevelItem(i);
        if (PortOf(item) == port) {
            item->setText(TestColumn, result);
            item->setToolTip(TestColumn, result);
        }
    }
    testLink_.StopReading();
    testLink_.Close();
    ShowButtons();
}

bool ScalesDialog::Save()
{
    if (list_.Save(path_))
        return true;
    ui_->statusLabel->setText(tr("The scale list could not be saved to %1; it is as it was.")
                                  .arg(QString::fromLocal8Bit(path_.c_str())));
    return false;
}

void ScalesDialog::ShowButtons()
{
    const bool chosen = ui_->scaleTree->currentItem() != nullptr;
    ui_->removeButton->setEnabled(chosen && readable_);
    ui_->renameButton->setEnabled(chosen && readable_);
    ui_->testButton->setEnabled(chosen && testPort_.empty() && !testLink_.IsOpen() && !testLink_.IsChanging());
}

QString ScalesDialog::QuantityName(WeightReport::Quantity quantity) const
{
    using enum WeightReport::Quantity;
    switch (quantity) {
    case Gross: return tr("Gross");
    case Tare: return tr("TARE");
    case Net: return tr("Net");
    case Price: return tr("Price");
    case Total: return tr("Total");
    }
    return QString();
}
