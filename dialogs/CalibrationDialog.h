#pragma once

#include "dialogs/GravitySettings.h"
#include "dialogs/ScaleSettingsDialog.h"

#include <QTimer>

#include <memory>
#include <optional>

namespace Ui {
class CalibrationDialog;
}

// Guides the span calibration of a scale in adjustment mode: gravity, forced zero, capacity and
// calibration weight, with the scale's calibration readings polled every 300 ms.
class CalibrationDialog : public ScaleSettingsDialog {
    Q_OBJECT
public:
    explicit CalibrationDialog(PortLink& link, QWidget* parent = nullptr);
    // Stops the readings and stores the settings, however the dialog was closed.
    ~CalibrationDialog() override;

    // One tick of the reading timer: asks the port link for a read bounded to 50 ms; the readings
    // it carried are shown when it reports back.
    void PollReadings();

protected:
    // In field order: gravity, latitude, altitude.
    bool exchangeFromControls() override;

private:
    void setZero();
    void calibrate();
    void serviceEntry();
    void ShowReadings(const QByteArray& received);

    std::unique_ptr<Ui::CalibrationDialog> ui_;
    std::optional<GravitySettings> gravity_;
    int hiddenClicks_ = 0;
    QTimer readingTimer_;
};
