#include "controls/InPlaceEdit.h"

#include "commodity/CommodityTable.h"
#include "commodity/GbkText.h"
#include "commodity/TextEntry.h"
#include "controls/EditableListCtrl.h"
#include "controls/GbkConvert.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QToolTip>

namespace {

// The line edit's own menu text for Paste (Qt's, in whatever language Qt's translations give).
const char* const kQtPasteText = "&Paste";

// GBK bytes of `text`, or nothing when GBK cannot represent all of it.
std::optional<QByteArray> gbkBytes(const QString& text)
{
    if (!IsGbkText(text))
        return std::nullopt;
    return QByteArray::fromStdString(ToGbk(text));
}

QString withoutTrailingLineBreaks(QString text)
{
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    return text;
}

} // namespace

InPlaceEdit::InPlaceEdit(EditableListCtrl* list, QWidget* parent)
    : CheckedLineEdit(parent)
    , list_(list)
{
    setObjectName(QStringLiteral("InPlaceEdit"));
}

void InPlaceEdit::SetCell(int row, int column)
{
    row_ = row;
    column_ = column;
}

bool InPlaceEdit::event(QEvent* event)
{
    // Every key, Tab included, goes through the list's rules before the line edit sees it.
    if (event->type() == QEvent::KeyPress) {
        keyDown(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QLineEdit::event(event);
}

void InPlaceEdit::keyDown(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool escape = event->key() == Qt::Key_Escape;
    const bool swallowed = list_->FilterEditorKey(event);
    event->accept();
    if (enter || escape) {
        copyOnKillFocus_ = enter;
        list_->EndCellEdit(enter, true);
        // Unless the list swallowed it, the key goes on to the host dialog as an ordinary key.
        if (!swallowed && list_->parentWidget()) {
            QKeyEvent onward(event->type(), event->key(), event->modifiers(), event->text(),
                             event->isAutoRepeat(), event->count());
            list_->passingOn_ = true;
            QCoreApplication::sendEvent(list_->parentWidget(), &onward);
            list_->passingOn_ = false;
        }
        return;
    }
    if (swallowed)
        return;
    QLineEdit::event(event);
    // Keys the line edit has no use for (Up, Down, Page Up, ...) stay here rather than moving the list.
    event->accept();
}

void InPlaceEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    copyOnKillFocus_ = true;
}

void InPlaceEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // The editor's own context menu takes the focus for a moment; the edit goes on.
    if (event->reason() == Qt::PopupFocusReason)
        return;
    list_->EndCellEdit(copyOnKillFocus_, true);
}

std::optional<QString> InPlaceEdit::Admissible(const QString& offered, bool allowCut)
{
    if (offered.isEmpty())
        return offered;
    if (!gbkBytes(offered)) {
        ShowHint(tr("This text cannot be stored: commodity cells keep GBK text only (no emoji or other "
                    "symbols outside GBK)."));
        return std::nullopt;
    }
    // A comma would split the line of the commodity file, and the row would not load again; the
    // brackets delimit Code and Name in the upload line, and the scale would cut the name there.
    const TextEntry::Field field
        = column_ == CommodityTable::Price ? TextEntry::Field::Line : TextEntry::Field::Commodity;
    switch (TextEntry::Check(gbkBytes(offered)->toStdString(), field)) {
    case TextEntry::Verdict::Accepted:
        break;
    case TextEntry::Verdict::LineBreak:
        ShowHint(tr("A cell holds one line of text."));
        return std::nullopt;
    case TextEntry::Verdict::ControlCharacter:
        ShowHint(tr("A cell takes no control characters."));
        return std::nullopt;
    case TextEntry::Verdict::Delimiter:
        ShowHint(tr("Commas, square brackets and angle brackets cannot be stored in a commodity cell."));
        return std::nullopt;
    }
    QString rest = text();
    if (hasSelectedText())
        rest.remove(selectionStart(), selectedText().size());

    if (column_ == CommodityTable::Price) {
        static const QRegularExpression price(QStringLiteral("^[0-9]*\\.?[0-9]*$"));
        if (!price.match(offered).hasMatch()
            || (offered.contains(QLatin1Char('.')) && rest.contains(QLatin1Char('.')))) {
            ShowHint(tr("The price takes digits and one decimal point only."));
            return std::nullopt;
        }
        return offered;
    }
    if (column_ == CommodityTable::Code) {
        const QByteArray bytes = *gbkBytes(offered);
        const qsizetype used = gbkBytes(rest).value_or(QByteArray()).size();
        const qsizetype room = std::max<qsizetype>(0, CommodityTable::kCodeBytes - used);
        if (bytes.size() <= room)
            return offered;
        const QString hint = tr("The code holds at most %1 bytes; a Chinese character counts two.")
                                 .arg(CommodityTable::kCodeBytes);
        const std::string_view fits
            = GbkText::CutToBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())), std::size_t(room));
        ShowHint(hint);
        if (!allowCut || fits.empty())
            return std::nullopt;
        return FromGbk(fits);
    }
    return offered;
}

void InPlaceEdit::ShowHint(const QString& hint)
{
    QToolTip::showText(mapToGlobal(QPoint(0, height())), hint, this, QRect(), 4000);
    emit inputRefused(hint);
}

void InPlaceEdit::PasteChecked()
{
    if (!isReadOnly())
        PasteText(QGuiApplication::clipboard()->text());
}

void InPlaceEdit::PasteText(const QString& text)
{
    QString offered = withoutTrailingLineBreaks(text);
    if (column_ == CommodityTable::Price)
        offered = offered.trimmed();
    if (offered.isEmpty())
        return;
    if (const std::optional<QString> fits = Admissible(offered, true))
        insert(*fits);
}

QMenu* InPlaceEdit::CreateContextMenu()
{
    QMenu* menu = createStandardContextMenu();
    // Pasting from the menu follows the same rules as Ctrl+V.
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")
            || action->text().startsWith(QCoreApplication::translate("QLineEdit", kQtPasteText))) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            // After the menu has closed, so that a refusal's hint is not swept away with it.
            connect(action, &QAction::triggered, this, [this] { PasteChecked(); }, Qt::QueuedConnection);
        }
    }
    return menu;
}

void InPlaceEdit::dropEvent(QDropEvent* event)
{
    // Moving text within the editor brings nothing new in.
    if (event->source() == this || !event->mimeData()->hasText()) {
        QLineEdit::dropEvent(event);
        return;
    }
    QString offered = withoutTrailingLineBreaks(event->mimeData()->text());
    if (column_ == CommodityTable::Price)
        offered = offered.trimmed();
    deselect();
    const int at = cursorPositionAt(event->position().toPoint());
    setCursorPosition(at);
    const std::optional<QString> fits = Admissible(offered, true);
    if (!fits) {
        event->ignore();
        return;
    }
    insert(*fits);
    event->acceptProposedAction();
    setFocus(Qt::MouseFocusReason);
}

void InPlaceEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // Composed text is checked like typed text; a Code takes the part that fits.
    const QString fits = Admissible(event->commitString(), true).value_or(QString());
    QInputMethodEvent checked(event->preeditString(), event->attributes());
    checked.setCommitString(fits, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&checked);
    event->accept();
}
