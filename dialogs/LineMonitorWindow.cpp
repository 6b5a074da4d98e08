#include "dialogs/LineMonitorWindow.h"

#include "ui_LineMonitorWindow.h"

#include "controls/GbkConvert.h"
#include "controls/OperatorMessage.h"
#include "settings/DurableFile.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace {
constexpr int kTakeIntervalMs = 100;
enum Column { TimeColumn, DirectionColumn, HexColumn, TextColumn, ColumnCount };
} // namespace

// The rows: the newest entries, at most the log's capacity.
class LineLogModel : public QAbstractTableModel {
public:
    explicit LineLogModel(QObject* parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(ring_.Size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : ColumnCount; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || std::size_t(index.row()) >= ring_.Size())
            return {};
        const LineLog::Entry& entry = ring_.At(std::size_t(index.row()));
        if (entry.gap > 0) {
            if (role == Qt::DisplayRole && index.column() == TextColumn)
                return GapText(entry);
            if (role == Qt::ForegroundRole)
                return QColor(0x80, 0x80, 0x80);
            if (role != Qt::DisplayRole || index.column() != TimeColumn)
                return {};
        }
        if (role == Qt::DisplayRole) {
            switch (index.column()) {
            case TimeColumn: return QString::fromLatin1(LineLog::TimeText(entry.time).c_str());
            case DirectionColumn: return DirectionWord(entry.direction);
            case HexColumn:
                return entry.direction == LineLog::Direction::Note ? QString()
                                                                   : QString::fromLatin1(LineLog::HexText(entry.bytes).c_str());
            case TextColumn:
                return entry.direction == LineLog::Direction::Note ? NoteText(entry.bytes)
                                                                   : FromGbk(LineLog::EscapedText(entry.bytes));
            default: return {};
            }
        }
        if (role == Qt::ForegroundRole && index.column() == DirectionColumn)
            return entry.direction == LineLog::Direction::Written ? QColor(0x1F, 0x4E, 0xB4)
                : entry.direction == LineLog::Direction::Read     ? QColor(0x1B, 0x7F, 0x2A)
                                                                  : QColor(0x9A, 0x5B, 0x00);
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        switch (section) {
        case TimeColumn: return LineMonitorWindow::tr("Time");
        case DirectionColumn: return LineMonitorWindow::tr("Direction");
        case HexColumn: return LineMonitorWindow::tr("Hex");
        case TextColumn: return LineMonitorWindow::tr("Text");
        default: return {};
        }
    }

    static QString GapText(const LineLog::Entry& entry)
    {
        return LineMonitorWindow::tr("... %1 entries not shown: the monitor keeps the newest %2 ...")
            .arg(entry.gap)
            .arg(LineLog::kCapacity);
    }

    static QString DirectionWord(LineLog::Direction direction)
    {
        switch (direction) {
        case LineLog::Direction::Written: return LineMonitorWindow::tr("TX");
        case LineLog::Direction::Read: return LineMonitorWindow::tr("RX");
        case LineLog::Direction::Discarded: return LineMonitorWindow::tr("RX, discarded");
        case LineLog::Direction::Note: return LineMonitorWindow::tr("Note");
        }
        return {};
    }

    // A network port's notes are the link's fixed sentences, put in the window's language here.
    static QString NoteText(const std::string& note)
    {
        static const char* const known[] = {
            QT_TRANSLATE_NOOP("LineMonitorWindow", "The server does not take line settings: its own apply."),
            QT_TRANSLATE_NOOP("LineMonitorWindow", "The server set the line other than asked."),
            QT_TRANSLATE_NOOP("LineMonitorWindow", "The server has not confirmed the line settings; the port is used as set."),
        };
        for (const char* text : known) {
            if (note == text)
                return LineMonitorWindow::tr(text);
        }
        return QString::fromStdString(note);
    }

    void Append(std::vector<LineLog::Entry> entries)
    {
        if (entries.empty())
            return;
        const std::size_t capacity = ring_.Capacity();
        if (entries.size() > capacity) {
            // The gap line stays first and counts what goes with the oldest of the batch.
            const std::size_t cut = entries.size() - capacity;
            const bool gap = entries.front().gap > 0;
            const auto from = entries.begin() + (gap ? 1 : 0);
            std::size_t dropped = 0;
            for (auto it = from; it != from + std::ptrdiff_t(cut); ++it)
                dropped += it->gap > 0 ? it->gap : 1;
            entries.erase(from, from + std::ptrdiff_t(cut));
            if (gap)
                entries.front().gap += dropped;
        }
        const std::size_t overflow = ring_.Size() + entries.size() > capacity ? ring_.Size() + entries.size() - capacity : 0;
        if (overflow > 0) {
            beginRemoveRows({}, 0, int(overflow) - 1);
            ring_.DropFront(overflow);
            endRemoveRows();
        }
        beginInsertRows({}, int(ring_.Size()), int(ring_.Size() + entries.size()) - 1);
        for (auto& entry : entries)
            ring_.Add(std::move(entry));
        endInsertRows();
    }

    void Clear()
    {
        beginResetModel();
        ring_.Clear();
        endResetModel();
    }

    const LineLog::Ring& Ring() const { return ring_; }

private:
    LineLog::Ring ring_;
};

LineMonitorWindow::LineMonitorWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , ui_(std::make_unique<Ui::LineMonitorWindow>())
    , model_(new LineLogModel(this))
{
    ui_->setupUi(this);
    ui_->entryView->setModel(model_);
    ui_->entryView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ui_->entryView->verticalHeader()->hide();
    ui_->entryView->verticalHeader()->setDefaultSectionSize(ui_->entryView->fontMetrics().height() + 4);
    ui_->entryView->horizontalHeader()->setStretchLastSection(true);
    const int digit = ui_->entryView->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    // Wide enough for the entries and for the header's own caption, in either language.
    const auto fit = [this, digit](int column, int digits) {
        ui_->entryView->setColumnWidth(column,
                                       std::max(digits * digit, ui_->entryView->horizontalHeader()->sectionSizeHint(column)));
    };
    fit(TimeColumn, 14);
    fit(DirectionColumn, 8);
    fit(HexColumn, 48);

    auto* copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(copy);
    connect(copy, &QAction::triggered, this, &LineMonitorWindow::CopySelection);
    connect(ui_->copyButton, &QPushButton::clicked, this, &LineMonitorWindow::CopySelection);
    connect(ui_->clearButton, &QPushButton::clicked, this, [this] {
        (void)inbox_->Take();
        model_->Clear();
        ShowCount();
    });
    connect(ui_->saveButton, &QPushButton::clicked, this, &LineMonitorWindow::Save);
    connect(ui_->pauseButton, &QPushButton::toggled, this, [this](bool paused) {
        ui_->pauseButton->setText(paused ? tr("&Resume") : tr("&Pause"));
        if (!paused)
            TakeNew();
    });
    takeTimer_.setInterval(kTakeIntervalMs);
    connect(&takeTimer_, &QTimer::timeout, this, [this] {
        if (!ui_->pauseButton->isChecked())
            TakeNew();
    });
    ShowCount();
}

LineMonitorWindow::~LineMonitorWindow() = default;

std::function<void(LineLog::Direction, std::string_view)> LineMonitorWindow::Recorder() const
{
    return [inbox = inbox_](LineLog::Direction direction, std::string_view bytes) {
        if (!bytes.empty())
            inbox->Record(direction, bytes);
    };
}

void LineMonitorWindow::TakeNew()
{
    auto entries = inbox_->Take();
    if (entries.empty())
        return;
    const QScrollBar* bar = ui_->entryView->verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    model_->Append(std::move(entries));
    if (following)
        ui_->entryView->scrollToBottom();
    ShowCount();
}

int LineMonitorWindow::RowCount() const
{
    return model_->rowCount();
}

QString LineMonitorWindow::RowText(int row) const
{
    const LineLog::Entry& entry = model_->Ring().At(std::size_t(row));
    if (entry.gap > 0)
        return QString::fromLatin1(LineLog::TimeText(entry.time).c_str()) + QStringLiteral("\t\t\t")
            + LineLogModel::GapText(entry);
    return FromGbk(LineLog::FormatEntry(entry, ToGbk(LineLogModel::DirectionWord(entry.direction))));
}

bool LineMonitorWindow::SaveTo(const QString& path) const
{
    // UTF-8, as Copy and the CSV export write, through the careful writer: a log replaced halfway
    // never stands in for the one before.
    QString text;
    for (int row = 0; row < RowCount(); ++row)
        text += RowText(row) + QStringLiteral("\r\n");
    const QByteArray bytes = text.toUtf8();
    return DurableFile::Replace(QFile::encodeName(path).toStdString(),
                                std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

void LineMonitorWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    takeTimer_.start();
    emit watchingChanged(true);
}

void LineMonitorWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    takeTimer_.stop();
    emit watchingChanged(false);
}

void LineMonitorWindow::CopySelection()
{
    QModelIndexList rows = ui_->entryView->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList lines;
    for (const QModelIndex& index : rows)
        lines << RowText(index.row());
    if (!lines.isEmpty())
        QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void LineMonitorWindow::Save()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save line log"), QStringLiteral("line-log.txt"),
                                                      tr("Text files (*.txt);;All files (*)"));
    if (path.isEmpty())
        return;
    if (!SaveTo(path))
        OperatorMessage::Show(this, tr("The line log could not be written to %1.").arg(path), OperatorMessage::Icon::Error);
}

void LineMonitorWindow::ShowCount()
{
    ui_->countLabel->setText(tr("%1 entries (the newest %2 are kept)").arg(model_->rowCount()).arg(LineLog::kCapacity));
}
