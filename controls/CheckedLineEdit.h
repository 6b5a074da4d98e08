#pragma once

#include <QLineEdit>

class QMenu;

// A line edit whose own rules see pasted text however it is pasted: the context menu is the
// subclass's, and the middle button's paste of the primary selection (X11) goes through the same
// check as any other paste.
class CheckedLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

    // The context menu the editor shows; its text-changing actions follow the subclass's rules.
    virtual QMenu* CreateContextMenu() = 0;

protected:
    // Inserts `text` at the caret in place of the selection as far as the subclass's rules allow.
    virtual void PasteText(const QString& text) = 0;

    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
