#pragma once

#include <QByteArray>
#include <QTableView>

class CommodityTable;
class InPlaceEdit;
class QKeyEvent;

// Report view over the commodity table whose cells are edited in place: a double-click, or F2 or
// Enter on the current cell, lays one line editor exactly over the cell; Tab, Shift+Tab and
// Ctrl+Tab move it (with no cell open Tab leaves the list); a key filter keeps the
// Price numeric and the Code within 20 GBK bytes. Cells hold GBK bytes; text is converted here.
class EditableListCtrl : public QTableView {
    Q_OBJECT
public:
    explicit EditableListCtrl(QWidget* parent = nullptr);
    ~EditableListCtrl() override;

    // The table shown and edited; not owned. Call Refresh() after changing it from outside.
    void SetTable(CommodityTable* table);
    void Refresh();

    void SetLockFirstRow(bool locked);

    bool IsEditing() const;

    // Hides the editor; with `copy` its text goes into its cell first.
    void EndCellEdit(bool copy, bool hide);
    // True while the editor passes an Enter or Escape that ended an edit on to the host.
    bool PassingOnEditorKey() const { return passingOn_; }
    // Lays the editor over the cell if the cell may be opened; false when it is locked or absent.
    bool OpenCellAt(const QPoint& viewportPoint);

signals:
    // Input typed or pasted into the editor was refused (or cut); the hint says why.
    void inputRefused(const QString& hint);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class InPlaceEdit;
    class Model;

    // Sees every key press bound for the editor before the editor does; true swallows it.
    bool FilterEditorKey(QKeyEvent* event);
    void OpenEditor(int row, int column, const QRect& rect);
    // Opens the current cell, or the first editable one of its row; false when it stays closed.
    bool OpenCurrentCell();
    void MoveEditor(QKeyEvent* event);
    QByteArray CellBytes(int row, int column) const;
    void ApplyColumnLayout();

    Model* model_ = nullptr;
    InPlaceEdit* editor_ = nullptr;
    bool lockFirstRow_ = true;
    bool hiding_ = false;
    bool passingOn_ = false;
    // The editor's text as opened and the cell bytes it came from: an unchanged text is written back
    // byte for byte, even where the bytes were not valid GBK.
    QString openedText_;
    QByteArray openedBytes_;
};
