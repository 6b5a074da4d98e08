#pragma once

#include "controls/CheckedLineEdit.h"

#include <optional>

class EditableListCtrl;
class QMenu;

// The single-line editor that the list lays over a cell. The list owns it and decides which keys
// reach it; the editor itself ends the edit on Enter, Escape and focus loss, and checks every piece
// of text that arrives by other means than a typed key (paste, drag and drop, input method).
class InPlaceEdit : public CheckedLineEdit {
    Q_OBJECT
public:
    InPlaceEdit(EditableListCtrl* list, QWidget* parent);

    int Row() const { return row_; }
    int Column() const { return column_; }
    void SetCell(int row, int column);

    // Inserts the clipboard's text in place of the selection if the cell may take it.
    void PasteChecked();
    // The editor's context menu: the standard one, whose Paste goes through PasteChecked.
    QMenu* CreateContextMenu() override;

    // The text to insert for `text` typed or pasted over the current selection, or nothing when it
    // is refused. `allowCut` lets a Code that would grow past its limit take the part that fits.
    // A refusal or a cut tells the operator why.
    std::optional<QString> Admissible(const QString& text, bool allowCut);

    // Tells the operator next to the editor why input was refused.
    void ShowHint(const QString& hint);

signals:
    void inputRefused(const QString& hint);

protected:
    // Every key, Tab included, goes through the list's rules first.
    bool event(QEvent* event) override;
    // Leaving the editor ends the edit.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Text from a paste, a drop or an input method meets the cell rules.
    void PasteText(const QString& text) override;
    void dropEvent(QDropEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void keyDown(QKeyEvent* event);

    EditableListCtrl* list_;
    int row_ = 0;
    int column_ = 0;
    bool copyOnKillFocus_ = true;
};
