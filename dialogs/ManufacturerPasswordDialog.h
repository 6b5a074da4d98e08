#pragma once

#include "dialogs/FieldsDialog.h"

#include <memory>

namespace Ui {
class ManufacturerPasswordDialog;
}

// Asks for the manufacturer access code; ends with Accepted only when the code is right. Knows
// nothing of what it guards.
class ManufacturerPasswordDialog : public FieldsDialog {
    Q_OBJECT
public:
    explicit ManufacturerPasswordDialog(QWidget* parent = nullptr);
    ~ManufacturerPasswordDialog() override;

protected:
    // Checks the code: OK closes on a right one; on a wrong one empties the field and says so.
    bool exchangeFromControls() override;

private:
    std::unique_ptr<Ui::ManufacturerPasswordDialog> ui_;
};
