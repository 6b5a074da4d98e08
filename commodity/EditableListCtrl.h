#pragma once

#include <QTableView>

class CommodityTable;

// Report view over the commodity table whose cells are edited in place.
// (First cut: shows the table; in-place editing arrives with the commodity work.)
class EditableListCtrl : public QTableView {
    Q_OBJECT
public:
    explicit EditableListCtrl(QWidget* parent = nullptr);
    ~EditableListCtrl() override;

    // The table shown and edited; not owned. Call Refresh() after changing it from outside.
    void SetTable(CommodityTable* table);
    CommodityTable* Table() const;
    void Refresh();

    void SetLockFirstRow(bool locked);
    void SetLockLeadColumns(bool locked);

private:
    class Model;
    Model* model_ = nullptr;
    bool lockFirstRow_ = true;
    bool lockLeadColumns_ = true;
};
