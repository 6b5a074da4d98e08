#pragma once

#include "dialogs/PortLink.h"
#include "link/WeightReport.h"
#include "settings/ScaleList.h"

#include <QDialog>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>

class QTreeWidgetItem;

namespace Ui {
class ScalesDialog;
}

// The shop's scales (Scales.ini in the data folder): add, remove, rename, and test one (its port
// opened on a worker, one reading, the weight or the reason shown in its row). Every change is
// written at once. A list file that cannot be read is shown as such and left as it is.
class ScalesDialog : public QDialog {
    Q_OBJECT
public:
    explicit ScalesDialog(QWidget* parent = nullptr);
    ~ScalesDialog() override;

private:
    void Fill();
    void Add();
    void Remove();
    void Rename(QTreeWidgetItem* item, int column);
    void Test();
    void ShowTested(const QString& result);
    // Writes the list; says so when it could not.
    bool Save();
    void ShowButtons();
    QString QuantityName(WeightReport::Quantity quantity) const;

    std::unique_ptr<Ui::ScalesDialog> ui_;
    std::string path_;
    ScaleList list_;
    bool readable_ = true;
    bool filling_ = false;
    // The scale under test: its port, what it read so far.
    std::string testPort_;
    ScaleSeries testSeries_ = ScaleSeries::None;
    QStringList testValues_;
    bool testAnswered_ = false;
    QTimer testTimeout_;
    PortLink testLink_{this};  // last of what the tests use: its worker reports into the window
};
