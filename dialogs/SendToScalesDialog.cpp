#include "dialogs/SendToScalesDialog.h"

#include "ui_SendToScalesDialog.h"

#include "commodity/CommodityFile.h"
#include "commodity/CommodityTable.h"
#include "controls/GbkConvert.h"
#include "dialogs/PortLink.h"
#include "dialogs/PortWords.h"

#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidgetItem>

#include <algorithm>
#include <cctype>

namespace {

enum Column { NameColumn, PortColumn, BaudColumn, SeriesColumn, ProgressColumn, ResultColumn };

// Ports are named without regard to ASCII case (COM3, com3), as the list compares them.
bool SamePort(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::tolower((unsigned char)x) == std::tolower((unsigned char)y); });
}

} // namespace

SendToScalesDialog::SendToScalesDialog(std::vector<ScaleEntry> scales, std::string companyName, PortLink* mainLink,
                                       QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::SendToScalesDialog>())
    , companyName_(std::move(companyName))
    , mainLink_(mainLink)
{
    ui_->setupUi(this);
    rows_.reserve(scales.size());
    for (const ScaleEntry& scale : scales)
        AddRow(scale);
    QHeaderView* header = ui_->scaleTree->header();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(ProgressColumn, QHeaderView::Fixed);
    header->resizeSection(ProgressColumn, 120);
    header->setStretchLastSection(true);
    if (rows_.empty())
        ui_->statusLabel->setText(tr("The scale list is empty: add the shop's scales in the Scales window first."));
    connect(ui_->sendButton, &QPushButton::clicked, this, &SendToScalesDialog::SendTicked);
    connect(ui_->retryButton, &QPushButton::clicked, this, &SendToScalesDialog::SendFailed);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &SendToScalesDialog::CancelAll);
    connect(ui_->closeButton, &QPushButton::clicked, this, &SendToScalesDialog::reject);
    ShowButtons();
}

SendToScalesDialog::~SendToScalesDialog()
{
    // No report reaches the window from here on; each session of its own sends the last line of a
    // block begun, waits for its output to leave and is joined.
    reports_.Drop()->Close();
    for (Row& row : rows_) {
        if (row.send)
            row.send->Cancel();
    }
    rows_.clear();
}

void SendToScalesDialog::AddRow(const ScaleEntry& scale)
{
    auto* item = new QTreeWidgetItem(ui_->scaleTree, {FromGbk(scale.name), QString::fromStdString(scale.port),
                                                      QString::number(scale.baud),
                                                      PortWords::SeriesName(ScaleSeries(scale.series))});
    item->setCheckState(NameColumn, Qt::Checked);
    auto* bar = new QProgressBar;
    bar->setTextVisible(false);
    bar->setValue(0);
    ui_->scaleTree->setItemWidget(item, ProgressColumn, bar);
    rows_.push_back({scale, item, bar, State::Idle, 0, nullptr});
}

void SendToScalesDialog::SendTicked()
{
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].item->checkState(NameColumn) == Qt::Checked
            && rows_[i].state != State::Waiting && rows_[i].state != State::Running)
            Queue(i);
    }
    StartWaiting();
}

void SendToScalesDialog::SendFailed()
{
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].state == State::Failed)
            Queue(i);
    }
    StartWaiting();
}

void SendToScalesDialog::CancelAll()
{
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        if (row.state == State::Waiting)
            Finish(i, false, tr("Cancelled: nothing was sent"));
        else if (row.state == State::Running)
            row.send->Cancel();
    }
}

void SendToScalesDialog::Queue(std::size_t index)
{
    Row& row = rows_[index];
    row.state = State::Waiting;
    row.bar->setValue(0);
    row.item->setText(ResultColumn, tr("Waiting"));
}

void SendToScalesDialog::StartWaiting()
{
    auto running = std::count_if(rows_.begin(), rows_.end(), [](const Row& row) { return row.state == State::Running; });
    for (std::size_t i = 0; i < rows_.size() && running < kUploadsAtOnce; ++i) {
        if (rows_[i].state != State::Waiting)
            continue;
        Start(i);
        if (rows_[i].state == State::Running)
            ++running;
    }
    ShowButtons();
}

void SendToScalesDialog::Start(std::size_t index)
{
    Row& row = rows_[index];
    ScaleSend::Writes writes;
    if (const auto problem = Prepare(row.scale, writes)) {
        Finish(index, false, *problem);
        return;
    }
    row.state = State::Running;
    row.bar->setRange(0, int(writes.block.size() + (writes.companyLine.empty() ? 0 : 1)));
    row.item->setText(ResultColumn, tr("Sending..."));
    const int run = ++row.run;
    // Each event is for this run of this row only.
    const auto current = [this, index, run] { return rows_[index].run == run; };
    ScaleSend::Events events;
    events.progress = [this, index, current](std::size_t sent) {
        if (current())
            rows_[index].bar->setValue(int(sent));
    };
    events.held = [this, index, current](bool held) {
        if (current() && rows_[index].state == State::Running)
            rows_[index].item->setText(ResultColumn, held ? tr("The scale holds the line; waiting while it takes data")
                                                          : tr("Sending..."));
    };
    events.ended = [this, index, current](const UploadOutcome& outcome, std::optional<int> openError) {
        if (current())
            ShowEnded(index, outcome, openError);
    };
    const bool onMainPort = mainLink_ != nullptr && mainLink_->IsOpen() && SamePort(mainLink_->PortName(), row.scale.port);
    row.send = std::make_unique<ScaleSend>(reports_.Drop(), std::move(events));
    row.send->Start(row.scale.port, row.scale.baud, std::move(writes), onMainPort ? mainLink_ : nullptr);
}

std::optional<QString> SendToScalesDialog::Prepare(const ScaleEntry& scale, ScaleSend::Writes& writes) const
{
    const auto series = ScaleSeries(scale.series);
    if (series == ScaleSeries::Rivav)
        return tr("The RIVAV series keeps no commodity list");
    // The list as the main window keeps it for the series, sent as its Upload sends it.
    CommodityTable table;
    const QString file = QString::fromLocal8Bit(CommodityFilePath(series).c_str());
    switch (LoadCommodityFile(table, series)) {
    case CommodityLoad::Unreadable:
        return tr("The commodity list could not be read from %1.").arg(file);
    case CommodityLoad::Missing:
        return tr("There is no commodity list for this model yet (%1).").arg(file);
    case CommodityLoad::Loaded:
        break;
    }
    writes.block = UploadBlock(table, series);
    if (series == ScaleSeries::Zud && !companyName_.empty())
        writes.companyLine = CompanyNameCommand(companyName_);
    return std::nullopt;
}

void SendToScalesDialog::ShowEnded(std::size_t index, const UploadOutcome& outcome, std::optional<int> openError)
{
    const int sent = int(outcome.sent);
    if (outcome.done) {
        Finish(index, true, tr("Done: %n lines sent", nullptr, sent));
        return;
    }
    QString result;
    if (openError)
        result = PortWords::OpenFailure(rows_[index].scale.port, *openError).replace(QLatin1Char('\n'), QStringLiteral(": "));
    else if (outcome.end == UploadOutcome::End::Cancelled)
        result = sent == 0 ? tr("Cancelled: nothing was sent") : tr("Cancelled after %n lines", nullptr, sent);
    else if (outcome.fault.fault != SerialLink::PortFault::None)
        result = PortWords::LossReason(int(outcome.fault.fault), outcome.fault.error) + QLatin1Char(' ')
            + tr("Upload stopped after %n lines", nullptr, sent);
    else
        result = tr("The port was closed.") + QLatin1Char(' ') + tr("Upload stopped after %n lines", nullptr, sent);
    Finish(index, false, result);
}

void SendToScalesDialog::Finish(std::size_t index, bool done, const QString& result)
{
    Row& row = rows_[index];
    row.state = done ? State::Done : State::Failed;
    row.item->setText(ResultColumn, result);
    row.item->setToolTip(ResultColumn, result);
    StartWaiting();
    if (!Busy())
        ui_->statusLabel->setText(Summary());
}

bool SendToScalesDialog::Busy() const
{
    return std::any_of(rows_.begin(), rows_.end(),
                       [](const Row& row) { return row.state == State::Waiting || row.state == State::Running; });
}

void SendToScalesDialog::ShowButtons()
{
    const bool busy = Busy();
    ui_->sendButton->setEnabled(!busy && !rows_.empty());
    ui_->retryButton->setEnabled(
        !busy && std::any_of(rows_.begin(), rows_.end(), [](const Row& row) { return row.state == State::Failed; }));
    ui_->cancelButton->setEnabled(busy);
}

QString SendToScalesDialog::Summary() const
{
    const auto count = [this](State state) {
        return int(std::count_if(rows_.begin(), rows_.end(), [state](const Row& row) { return row.state == state; }));
    };
    const int done = count(State::Done);
    const int failed = count(State::Failed) + count(State::Waiting) + count(State::Running);
    if (done + failed == 0)
        return QString();
    if (failed == 0)
        return tr("Sent to all %n scales", nullptr, done);
    return tr("Sent to %1 of %2 scales; not to: %3")
        .arg(done)
        .arg(done + failed)
        .arg([this] {
            QStringList names;
            for (const Row& row : rows_) {
                if (row.state != State::Done && row.state != State::Idle)
                    names << FromGbk(row.scale.name);
            }
            return names.join(QStringLiteral(", "));
        }());
}

void SendToScalesDialog::reject()
{
    // What still runs is cancelled; the sessions finish what is moving when the window goes.
    CancelAll();
    QDialog::reject();
}
