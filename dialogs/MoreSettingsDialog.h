#pragma once

#include "dialogs/GravitySettings.h"
#include "dialogs/ScaleSettingsDialog.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace Ui {
class MoreSettingsDialog;
}

// The scale settings that the main dialog does not show: gravity, postback, alarms, LED; the door
// to calibration and to the manufacturer settings. Commands go out on the opener's port handle.
class MoreSettingsDialog : public ScaleSettingsDialog {
    Q_OBJECT
public:
    explicit MoreSettingsDialog(PortLink& link, QWidget* parent = nullptr);
    // Stores the settings, however the dialog was closed.
    ~MoreSettingsDialog() override;

protected:
    // In field order: gravity, latitude, postback count, altitude.
    bool exchangeFromControls() override;

private:
    void openCalibration();
    void openManufacturerSettings();

    std::unique_ptr<Ui::MoreSettingsDialog> ui_;
    std::optional<GravitySettings> gravity_;
    std::int32_t postbackCount_ = 5;
};
