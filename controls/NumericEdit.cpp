#include "controls/NumericEdit.h"

#include "controls/FixedTexts.h"
#include "controls/OperatorMessage.h"

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

namespace {

qsizetype bytesBefore(const QString& text, qsizetype position)
{
    return text.left(position).toUtf8().size();
}

qsizetype charactersIn(const std::string& text, std::size_t bytes)
{
    return QString::fromUtf8(text.data(), qsizetype(std::min(bytes, text.size()))).size();
}

// Field exchange: the parsed number goes to `value`; a text that is not one is reported, and the
// field gets the focus with its text selected.
template <typename T>
bool Take(QLineEdit& edit, const std::optional<T>& parsed, T& value, const QString& prompt)
{
    if (parsed) {
        value = *parsed;
        return true;
    }
    OperatorMessage::Show(edit.window(), prompt);
    edit.setFocus();
    edit.selectAll();
    return false;
}

} // namespace

NumericEdit::NumericEdit(QWidget* parent)
    : CheckedLineEdit(parent)
{
}

void NumericEdit::SetRange(int upper, int lower)
{
    limits_.upper = upper;
    limits_.lower = lower;
}

void NumericEdit::SetDecimalMode(bool decimal)
{
    limits_.mode = decimal ? NumericEntry::Mode::Decimal : NumericEntry::Mode::Integer;
}

void NumericEdit::TypeText(const QString& text)
{
    for (char32_t character : text.toUcs4())
        type(character);
}

void NumericEdit::ShowReal(double value)
{
    setText(QString::fromStdString(NumericEntry::FormatReal(value)));
}

void NumericEdit::ShowInteger(std::int32_t value)
{
    setText(QString::fromStdString(NumericEntry::FormatInteger(value)));
}

bool NumericEdit::ReadReal(double& value)
{
    return Take(*this, NumericEntry::ParseReal(text().toStdString()), value, FixedTexts::EnterNumber());
}

bool NumericEdit::ReadInteger(std::int32_t& value)
{
    return Take(*this, NumericEntry::ParseInteger(text().toStdString()), value, FixedTexts::EnterInteger());
}

NumericEntry::Field NumericEdit::field() const
{
    const QString current = text();
    NumericEntry::Field field;
    field.text = current.toStdString();
    field.caret = std::size_t(bytesBefore(current, cursorPosition()));
    if (hasSelectedText()) {
        const qsizetype start = selectionStart();
        field.selectionStart = std::size_t(bytesBefore(current, start));
        field.selectionLength =
            std::size_t(bytesBefore(current, start + selectionLength())) - field.selectionStart;
    } else {
        field.selectionStart = field.caret;
    }
    return field;
}

void NumericEdit::display(const NumericEntry::Field& wanted)
{
    if (wanted == field())
        return;
    const QString wantedText = QString::fromStdString(wanted.text);
    const bool changed = wantedText != text();
    if (changed)
        setText(wantedText);
    if (wanted.selectionLength > 0) {
        const qsizetype start = charactersIn(wanted.text, wanted.selectionStart);
        const qsizetype end = charactersIn(wanted.text, wanted.selectionStart + wanted.selectionLength);
        if (charactersIn(wanted.text, wanted.caret) == start)
            setSelection(end, start - end);
        else
            setSelection(start, end - start);
    } else {
        setCursorPosition(charactersIn(wanted.text, wanted.caret));
    }
    if (changed)
        emit textEdited(text());
}

void NumericEdit::type(char32_t character)
{
    display(NumericEntry::Type(field(), character, limits_));
}

void NumericEdit::settle()
{
    display(NumericEntry::Settle(field(), limits_));
}

void NumericEdit::PasteText(const QString& text)
{
    if (!isReadOnly())
        TypeText(text);
}

void NumericEdit::cutSelection()
{
    if (!hasSelectedText() || isReadOnly() || echoMode() != Normal)
        return;
    copy();
    type(NumericEntry::kBackspace);  // removes the selection the way the rule removes text
}

void NumericEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    // Enter and ESC belong to the dialog; copying and selecting change no text.
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape
        || event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (modifiers & Qt::AltModifier) {
        event->ignore();  // menu mnemonics, not text
        return;
    }
    const bool control = modifiers & (Qt::ControlModifier | Qt::MetaModifier);
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z) {
        // A control letter types its control character, which the rule drops: Ctrl+V, Ctrl+X and
        // Ctrl+Z change nothing.
        type(char32_t(key - Qt::Key_A + 1));
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        PasteText(QGuiApplication::clipboard()->text());
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        cutSelection();
        return;
    }
    if (key == Qt::Key_Backspace) {
        type(NumericEntry::kBackspace);
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && key != Qt::Key_Delete && text.front() != QChar(0x7F)) {
        TypeText(text);
        return;
    }
    // Caret movement, Delete and the like: the box's own handling, then the usual check.
    const QString before = this->text();
    QLineEdit::keyPressEvent(event);
    if (this->text() != before)
        settle();
}

void NumericEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // Composed text counts as typed; a composition in progress is not shown.
    if (!event->commitString().isEmpty())
        TypeText(event->commitString());
    event->accept();
}

QMenu* NumericEdit::CreateContextMenu()
{
    // Its entries read as those of every other line edit, in Qt's translations.
    auto* menu = new QMenu(this);
    const bool editable = !isReadOnly();
    const bool selected = hasSelectedText() && echoMode() == Normal;
    QAction* cut = menu->addAction(QLineEdit::tr("Cu&t"), this, &NumericEdit::cutSelection);
    cut->setEnabled(editable && selected);
    QAction* copyAction = menu->addAction(QLineEdit::tr("&Copy"), this, &QLineEdit::copy);
    copyAction->setEnabled(selected);
    QAction* paste = menu->addAction(QLineEdit::tr("&Paste"), this,
                                     [this] { PasteText(QGuiApplication::clipboard()->text()); });
    paste->setEnabled(editable && !QGuiApplication::clipboard()->text().isEmpty());
    QAction* remove = menu->addAction(QLineEdit::tr("Delete"), this, [this] {
        if (hasSelectedText())
            type(NumericEntry::kBackspace);
    });
    remove->setEnabled(editable && hasSelectedText());
    menu->addSeparator();
    QAction* all = menu->addAction(QLineEdit::tr("Select All"), this, &QLineEdit::selectAll);
    all->setEnabled(!text().isEmpty());
    return menu;
}

void NumericEdit::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasText() || isReadOnly()) {
        event->ignore();
        return;
    }
    deselect();
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    TypeText(event->mimeData()->text());
    // Copied, never moved: the source keeps its text.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}
