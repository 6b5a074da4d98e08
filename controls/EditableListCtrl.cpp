#include "controls/EditableListCtrl.h"

#include "commodity/CommodityTable.h"
#include "controls/GbkConvert.h"
#include "controls/InPlaceEdit.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {

struct ColumnLayout {
    int width;
    Qt::Alignment alignment;
};

// Hidden, "No.", "Code", "Product Name", "Price".
constexpr ColumnLayout kColumns[CommodityTable::kColumns] = {
    {0, Qt::AlignRight}, {50, Qt::AlignRight}, {80, Qt::AlignRight}, {180, Qt::AlignLeft}, {70, Qt::AlignRight},
};

bool isKey(const QKeyEvent* event, std::initializer_list<int> keys)
{
    for (int key : keys)
        if (event->key() == key)
            return true;
    return false;
}

// Standard editing keys that bring no new text into the editor.
bool isEditingShortcut(const QKeyEvent* event)
{
    static const QKeySequence::StandardKey keys[] = {
        QKeySequence::Copy, QKeySequence::Cut, QKeySequence::SelectAll, QKeySequence::Undo, QKeySequence::Redo,
        QKeySequence::MoveToPreviousWord, QKeySequence::MoveToNextWord, QKeySequence::SelectPreviousChar,
        QKeySequence::SelectNextChar, QKeySequence::SelectPreviousWord, QKeySequence::SelectNextWord,
        QKeySequence::SelectStartOfLine, QKeySequence::SelectEndOfLine, QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfWord,
    };
    for (auto key : keys)
        if (event->matches(key))
            return true;
    return false;
}

} // namespace

class EditableListCtrl::Model : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    CommodityTable* table = nullptr;

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() || !table ? 0 : CommodityTable::kRows;
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : CommodityTable::kColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!table || !index.isValid())
            return {};
        if (role == Qt::DisplayRole)
            return FromGbk(table->Cell(index.row(), index.column()));
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(kColumns[index.column()].alignment | Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= CommodityTable::kColumns)
            return {};
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(kColumns[section].alignment | Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return {};
        switch (section) {
        case CommodityTable::Number:
            return EditableListCtrl::tr("No.");
        case CommodityTable::Code:
            return EditableListCtrl::tr("Code");
        case CommodityTable::Name:
            return EditableListCtrl::tr("Product Name");
        case CommodityTable::Price:
            return EditableListCtrl::tr("Price");
        default:
            return QString();
        }
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }
    void changedAll()
    {
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
    void changed(int row, int column)
    {
        emit dataChanged(index(row, column), index(row, column));
    }
    void retranslate() { emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1); }
};

EditableListCtrl::EditableListCtrl(QWidget* parent)
    : QTableView(parent)
    , model_(new Model(this))
{
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab walks the cells only while one is open; otherwise it goes on to the next control.
    setTabKeyNavigation(false);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(0);
    // A press anywhere in the header ends an edit without copying.
    horizontalHeader()->viewport()->installEventFilter(this);
    // The selected row stays marked while the focus is elsewhere.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight, colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
    ApplyColumnLayout();
}

EditableListCtrl::~EditableListCtrl()
{
    // The editor goes first; its last focus loss must not write into a table that may be gone.
    hiding_ = true;
    delete editor_;
}

void EditableListCtrl::ApplyColumnLayout()
{
    for (int column = 0; column < CommodityTable::kColumns; ++column)
        setColumnWidth(column, kColumns[column].width);
}

void EditableListCtrl::SetTable(CommodityTable* table)
{
    EndCellEdit(false, true);
    model_->table = table;
    model_->reset();
    ApplyColumnLayout();
}

void EditableListCtrl::Refresh()
{
    model_->changedAll();
}

void EditableListCtrl::SetLockFirstRow(bool locked)
{
    lockFirstRow_ = locked;
}

bool EditableListCtrl::IsEditing() const
{
    return editor_ && editor_->isVisible();
}

QByteArray EditableListCtrl::CellBytes(int row, int column) const
{
    if (!model_->table)
        return {};
    const std::string& cell = model_->table->Cell(row, column);
    return QByteArray(cell.data(), qsizetype(cell.size()));
}

void EditableListCtrl::EndCellEdit(bool copy, bool hide)
{
    if (!editor_ || hiding_)
        return;
    if (copy && model_->table) {
        const QString text = editor_->text();
        const QByteArray bytes = text == openedText_ ? openedBytes_ : QByteArray::fromStdString(ToGbk(text));
        const int row = editor_->Row();
        const int column = editor_->Column();
        if (CellBytes(row, column) != bytes) {
            model_->table->SetCell(row, column, bytes.toStdString());
            model_->changed(row, column);
        }
    }
    if (hide && editor_->isVisible()) {
        // The list takes the focus back (a hidden editor must not keep it and collect keys); that
        // focus loss must not copy again.
        hiding_ = true;
        if (editor_->hasFocus())
            setFocus(Qt::OtherFocusReason);
        editor_->hide();
        hiding_ = false;
    }
}

bool EditableListCtrl::OpenCellAt(const QPoint& viewportPoint)
{
    const QModelIndex index = indexAt(viewportPoint);
    if (!index.isValid())
        return false;
    if (lockFirstRow_ && index.row() == 0)
        return false;
    // The hidden column and "No." never open.
    if (index.column() < CommodityTable::Code)
        return false;
    OpenEditor(index.row(), index.column(), visualRect(index));
    return true;
}

void EditableListCtrl::OpenEditor(int row, int column, const QRect& rect)
{
    if (!editor_) {
        editor_ = new InPlaceEdit(this, viewport());
        editor_->hide();
        connect(editor_, &InPlaceEdit::inputRefused, this, &EditableListCtrl::inputRefused);
        // A press on the header must not take the focus from the editor (the list would take it,
        // and the focus loss would copy); the press only hides the editor.
        horizontalHeader()->setFocusProxy(editor_);
    }
    openedBytes_ = CellBytes(row, column);
    openedText_ = FromGbk(std::string_view(openedBytes_.constData(), std::size_t(openedBytes_.size())));
    editor_->setGeometry(rect);
    editor_->show();
    editor_->setText(openedText_);
    editor_->setFocus(Qt::OtherFocusReason);
    editor_->deselect();
    editor_->end(false);
    editor_->SetCell(row, column);
}

void EditableListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!OpenCellAt(event->position().toPoint()))
        return;
    QTableView::mouseDoubleClickEvent(event);
}

void EditableListCtrl::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool opens = key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (opens && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && !IsEditing() && OpenCurrentCell()) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool EditableListCtrl::OpenCurrentCell()
{
    const QModelIndex current = currentIndex();
    const int row = current.isValid() ? current.row() : 0;
    const int column = current.isValid() ? std::max(current.column(), int(CommodityTable::Code)) : CommodityTable::Code;
    const QModelIndex target = model_->index(row, column);
    if (!target.isValid())
        return false;
    scrollTo(target, QAbstractItemView::EnsureVisible);
    return OpenCellAt(visualRect(target).topLeft() + QPoint(1, 1));
}

void EditableListCtrl::MoveEditor(QKeyEvent* event)
{
    EndCellEdit(true, false);
    const int rows = model_->rowCount();
    const int columns = model_->columnCount();
    int row = editor_->Row();
    int column = editor_->Column();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers & Qt::ControlModifier) {
        row = row >= rows - 1 ? 0 : row + 1;
    } else if ((modifiers & Qt::ShiftModifier) || event->key() == Qt::Key_Backtab) {
        if (--column < 0) {
            column = columns - 1;
            if (--row < 0)
                row = rows - 1;
        }
    } else if (++column >= columns) {
        column = 0;
        row = row >= rows - 1 ? 0 : row + 1;
    }
    row = std::min(row, rows - 1);

    const QModelIndex target = model_->index(row, column);
    // Probe the target as a double-click would: a locked cell (the zero-width hidden column falls
    // into "No.") leaves the editor where it is.
    if (OpenCellAt(visualRect(target).topLeft() + QPoint(1, 1)) && !viewport()->rect().contains(editor_->geometry()))
        scrollTo(target, QAbstractItemView::EnsureVisible); // the editor moves with the cells
    selectionModel()->select(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool EditableListCtrl::FilterEditorKey(QKeyEvent* event)
{
    if (!IsEditing())
        return false;
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        MoveEditor(event);
        return true;
    }
    // Every key first puts the text as it stands into the cell: the cell follows the typing one
    // key behind, and Escape keeps what was typed.
    EndCellEdit(true, false);

    if (event->matches(QKeySequence::Paste)) {
        editor_->PasteChecked();
        return true;
    }
    if (isEditingShortcut(event))
        return false;

    const int column = editor_->Column();
    const Qt::KeyboardModifiers held = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (column == CommodityTable::Price) {
        const bool point = event->key() == Qt::Key_Period;
        const bool allowed = !held
            && (point || (event->key() >= Qt::Key_0 && event->key() <= Qt::Key_9)
                || isKey(event, {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Right}));
        if (!allowed)
            return true;
        if (point && editor_->text().contains(QLatin1Char('.')))
            return true;
    } else if (column == CommodityTable::Code && CellBytes(editor_->Row(), column).size() >= CommodityTable::kCodeBytes) {
        if (held || !isKey(event, {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right}))
            return true;
    }

    // What the key would type must fit the cell too (AltGr may type text with Ctrl and Alt held).
    const QString typed = event->text();
    const bool typesText = !typed.isEmpty()
        && std::none_of(typed.begin(), typed.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
    if (typesText && !editor_->Admissible(typed, false))
        return true;
    return false;
}

bool EditableListCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && IsEditing())
        EndCellEdit(false, true);
    return QTableView::eventFilter(watched, event);
}

void EditableListCtrl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        model_->retranslate();
    QTableView::changeEvent(event);
}
