#include "dialogs/FindScaleDialog.h"

#include "ui_FindScaleDialog.h"

#include "controls/GbkConvert.h"
#include "link/PortError.h"
#include "link/NetworkPortName.h"
#include "link/ScaleCommandSet.h"
#include "settings/AppPaths.h"
#include "settings/ScaleList.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidgetItem>

#include <cstring>
#include <numeric>

FindScaleDialog::FindScaleDialog(std::vector<Port> ports, std::vector<int> rates, QWidget* parent,
                                 ScaleFinder::Timing timing)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::FindScaleDialog>())
    , ports_(std::move(ports))
    , rates_(std::move(rates))
    , timing_(timing)
    , stepsDone_(ports_.size(), 0)
{
    ui_->setupUi(this);
    ui_->progressBar->setRange(0, int(std::max<std::size_t>(1, ports_.size() * rates_.size())));
    ui_->resultTree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui_->resultTree->header()->setStretchLastSection(true);
    ui_->statusLabel->setText(tr("Looking for scales on %1 ports...").arg(ports_.size()));
    connect(ui_->cancelButton, &QPushButton::clicked, this, &FindScaleDialog::reject);
    connect(ui_->useButton, &QPushButton::clicked, this, &FindScaleDialog::UseSelected);
    connect(ui_->addButton, &QPushButton::clicked, this, &FindScaleDialog::AddToScales);
    connect(ui_->resultTree, &QTreeWidget::itemDoubleClicked, this, &FindScaleDialog::UseSelected);
    connect(ui_->resultTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        ui_->useButton->setEnabled(item != nullptr && item->data(0, Qt::UserRole).isValid());
    });
}

FindScaleDialog::~FindScaleDialog()
{
    cancel_ = true;
    if (scan_.joinable())
        scan_.join();
}

void FindScaleDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!scan_.joinable())
        StartScan();
}

void FindScaleDialog::StartScan()
{
    std::vector<std::string> paths;
    for (const Port& port : ports_)
        paths.push_back(port.path);
    // The scan's threads report through the queue only; they read nothing of the dialog but
    // their own copies.
    scan_ = std::thread([this, paths = std::move(paths), rates = rates_, timing = timing_] {
        const auto progress = [this](const ScaleFinder::Progress& p) { reports_.Post([this, p] { ShowProgress(p); }); };
        const auto portDone = [this](const ScaleFinder::PortResult& r) {
            reports_.Post([this, r] { ShowPortResult(r); });
        };
        ScaleFinder::Result result = ScaleFinder::Scan(paths, rates, cancel_, progress, {timing}, portDone);
        reports_.Post([this, result = std::move(result)] { ShowResult(result); });
    });
}

void FindScaleDialog::ShowProgress(const ScaleFinder::Progress& p)
{
    if (finished_ || cancel_)
        return;
    int& done = stepsDone_.at(std::size_t(p.portIndex));
    done = std::max(done, p.rateIndex);
    ui_->progressBar->setValue(std::accumulate(stepsDone_.begin(), stepsDone_.end(), 0));
    ui_->statusLabel->setText(tr("Trying %1 at %2 baud (port %3 of %4)...")
                                  .arg(LabelOf(p.port))
                                  .arg(p.baud)
                                  .arg(p.portIndex + 1)
                                  .arg(p.portCount));
}

// A port's result as it comes; the list is put in port order once all are done.
void FindScaleDialog::ShowPortResult(const ScaleFinder::PortResult& result)
{
    if (finished_ || cancel_)
        return;
    stepsDone_.at(std::size_t(result.portIndex)) = int(rates_.size());
    ui_->progressBar->setValue(std::accumulate(stepsDone_.begin(), stepsDone_.end(), 0));
    if (result.found)
        AddFoundRow(*result.found, std::nullopt);
    if (result.unopened)
        AddUnopenedRow(*result.unopened);
}

// A scale's row; only rows of the finished list (with their index into found_) can be used.
void FindScaleDialog::AddFoundRow(const ScaleFinder::Found& found, std::optional<int> index)
{
    auto* item = new QTreeWidgetItem(ui_->resultTree, {LabelOf(found.port), QString::number(found.baud),
                                                       SeriesText(found.answer.series),
                                                       QString::fromLatin1(found.answer.weight.c_str()),
                                                       FormText(found.answer.form)});
    if (index)
        item->setData(0, Qt::UserRole, *index);
}

void FindScaleDialog::AddUnopenedRow(const ScaleFinder::Unopened& port)
{
    auto* item = new QTreeWidgetItem(ui_->resultTree, {LabelOf(port.port), QString(), QString(), QString(),
                                                       tr("Could not be opened: %1").arg(ReasonText(port.error))});
    item->setFlags(Qt::ItemIsEnabled);
    item->setForeground(4, palette().brush(QPalette::Disabled, QPalette::Text));
}

void FindScaleDialog::ShowResult(const ScaleFinder::Result& result)
{
    finished_ = true;
    if (scan_.joinable())
        scan_.join();  // the thread has nothing left to do but end
    found_ = result.scales;
    ui_->progressBar->setValue(ui_->progressBar->maximum());
    ui_->resultTree->clear();
    for (std::size_t i = 0; i < result.scales.size(); ++i)
        AddFoundRow(result.scales[i], int(i));
    for (const ScaleFinder::Unopened& port : result.unopened)
        AddUnopenedRow(port);
    QString status = result.scales.empty() ? tr("No scale answered.") : tr("Scales found: %1.").arg(result.scales.size());
    if (result.cancelled)
        status = tr("Cancelled.") + QLatin1Char(' ') + status;
    ui_->statusLabel->setText(status);
    ui_->cancelButton->setText(tr("Close"));
    ui_->addButton->setEnabled(!result.scales.empty());
    if (!result.scales.empty()) {
        ui_->resultTree->setCurrentItem(ui_->resultTree->topLevelItem(0));
        ui_->useButton->setFocus();
    }
}

void FindScaleDialog::reject()
{
    // Cancelling returns at once; the thread ends within one probe and is joined on destruction.
    cancel_ = true;
    QDialog::reject();
}

void FindScaleDialog::UseSelected()
{
    const QTreeWidgetItem* item = ui_->resultTree->currentItem();
    if (!finished_ || item == nullptr || !item->data(0, Qt::UserRole).isValid())
        return;
    const ScaleFinder::Found& found = found_.at(std::size_t(item->data(0, Qt::UserRole).toInt()));
    chosen_ = Choice{LabelOf(found.port), found.baud, found.answer.series};
    accept();
}

void FindScaleDialog::AddToScales()
{
    const std::string path = AppPaths::InApplicationDirectory(ScaleList::kFileName);
    ScaleList list;
    if (const auto problem = ScaleList::Load(path, list)) {
        ui_->statusLabel->setText(tr("The scale list cannot be read, so nothing was added: %1")
                                      .arg(QString::fromLocal8Bit(problem->c_str())));
        return;
    }
    QStringList added;
    QStringList notAdded;
    for (const ScaleFinder::Found& found : found_) {
        const QString label = LabelOf(found.port);
        if (list.FindByPort(found.port)) {
            notAdded << tr("%1 is listed already").arg(label);
            continue;
        }
        const ScaleEntry scale{ToGbk(label), found.port, found.baud, int(found.answer.series)};
        if (const auto problem = list.Add(scale))
            notAdded << QStringLiteral("%1: %2").arg(label, QString::fromLocal8Bit(problem->c_str()));
        else
            added << label;
    }
    if (!added.isEmpty() && !list.Save(path)) {
        ui_->statusLabel->setText(tr("The scale list could not be saved to %1; nothing was added.")
                                      .arg(QString::fromLocal8Bit(path.c_str())));
        return;
    }
    QString status = added.isEmpty() ? tr("No scale was added.") : tr("Added to the scales: %1.").arg(added.join(", "));
    if (!notAdded.isEmpty())
        status += QLatin1Char(' ') + tr("Not added: %1.").arg(notAdded.join("; "));
    ui_->statusLabel->setText(status);
    ui_->addButton->setEnabled(false);
}

QString FindScaleDialog::LabelOf(const std::string& path) const
{
    for (const Port& port : ports_) {
        if (port.path == path)
            return port.label;
    }
    return QString::fromLocal8Bit(path.c_str());
}

QString FindScaleDialog::SeriesText(ScaleSeries series) const
{
    switch (series) {
    case ScaleSeries::Zud: return tr("ZUD series");
    case ScaleSeries::Zev: return tr("ZEV series");
    case ScaleSeries::Rivav: return tr("RIVAV series");
    default: return QString();
    }
}

QString FindScaleDialog::FormText(ScaleFinder::ReportForm form) const
{
    switch (form) {
    case ScaleFinder::ReportForm::Zud: return tr("13-byte report after \"R\"");
    case ScaleFinder::ReportForm::PolledFramed: return tr("15-byte report after 0x11 (a RIVAV scale answers alike)");
    case ScaleFinder::ReportForm::Unasked: return tr("16-byte reports sent unasked");
    }
    return QString();
}

QString FindScaleDialog::ReasonText(int error) const
{
    // A kept network port.
    if (error == NetworkPortName::NoAnswerError())
        return tr("no answer within 3 s");
    if (error == NetworkPortName::RefusedError())
        return tr("the connection was refused");
    if (error == NetworkPortName::UnknownHostError())
        return tr("the host name is not known");
    switch (SerialLink::ClassifyOpenError(error)) {
    case SerialLink::OpenProblem::Refused: return tr("access was refused (the user is not in the \"dialout\" group)");
    case SerialLink::OpenProblem::InUse: return tr("in use by another program");
    case SerialLink::OpenProblem::NotThere: return tr("not there (any more)");
    case SerialLink::OpenProblem::NotConfigurable: return tr("no baud rate of the list was accepted");
    case SerialLink::OpenProblem::Other: break;
    }
    return QString::fromStdString(SerialLink::SystemErrorText(error));
}
