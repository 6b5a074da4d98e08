#pragma once

#include "dialogs/ScaleSettingsDialog.h"

#include <cstdint>
#include <memory>

namespace Ui {
class ManufacturerSettingsDialog;
}

// Manufacturer-level settings of the scale: division value, return protocol, zero tracking, key
// lock and display precision. Each Set sends one command on the opener's port handle.
class ManufacturerSettingsDialog : public ScaleSettingsDialog {
    Q_OBJECT
public:
    explicit ManufacturerSettingsDialog(PortLink& link, QWidget* parent = nullptr);
    // Stores the settings, however the dialog was closed.
    ~ManufacturerSettingsDialog() override;

protected:
    bool exchangeFromControls() override;

private:
    std::unique_ptr<Ui::ManufacturerSettingsDialog> ui_;
    std::int32_t divisionValue_ = 0;
};
