#include "commodity/EditableListCtrl.h"

#include "commodity/CommodityTable.h"

#include <QAbstractTableModel>
#include <QStringDecoder>

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
        if (!table || !index.isValid() || role != Qt::DisplayRole)
            return {};
        const std::string& cell = table->Cell(index.row(), index.column());
        QStringDecoder gbk("GBK");
        return QString(gbk.decode(QByteArrayView(cell.data(), qsizetype(cell.size()))));
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }
};

EditableListCtrl::EditableListCtrl(QWidget* parent)
    : QTableView(parent)
    , model_(new Model(this))
{
    setModel(model_);
}

EditableListCtrl::~EditableListCtrl() = default;

void EditableListCtrl::SetTable(CommodityTable* table)
{
    model_->table = table;
    model_->reset();
}

CommodityTable* EditableListCtrl::Table() const
{
    return model_->table;
}

void EditableListCtrl::Refresh()
{
    model_->reset();
}

void EditableListCtrl::SetLockFirstRow(bool locked)
{
    lockFirstRow_ = locked;
}

void EditableListCtrl::SetLockLeadColumns(bool locked)
{
    lockLeadColumns_ = locked;
}
