#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class ManufacturerPasswordDialog;
}

// Asks for the manufacturer access code; ends with Accepted only when the code is right. Knows
// nothing of what it guards.
class ManufacturerPasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit ManufacturerPasswordDialog(QWidget* parent = nullptr);
    ~ManufacturerPasswordDialog() override;

public slots:
    // Checks the code: closes on a right one; on a wrong one empties the field and says so.
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::ManufacturerPasswordDialog> ui_;
};
