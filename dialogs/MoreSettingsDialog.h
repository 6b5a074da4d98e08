#pragma once

#include "link/SerialLink.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>

namespace Ui {
class MoreSettingsDialog;
}

// The scale settings that the main dialog does not show: gravity, postback, alarms, LED; the door
// to calibration and to the manufacturer settings. Commands go out on the opener's port handle.
class MoreSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit MoreSettingsDialog(SerialLink::PortHandle& link, QWidget* parent = nullptr);
    // Stores the settings, however the dialog was closed.
    ~MoreSettingsDialog() override;

public slots:
    // Enter: reads the fields, then closes; a field that does not parse keeps the dialog open.
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool exchangeFromControls();
    void send(const std::string& bytes);
    void setGravityCode();
    void setGravityValue();
    void setGravityPosition();
    void setPostbackCount();
    void setPostbackMode(std::uint8_t mode);
    void setOverflowAlarm();
    void setAnimalMode(bool on);
    void setFalseStability();
    void setLedBrightness();
    void openCalibration();
    void openManufacturerSettings();

    SerialLink::PortHandle& link_;
    std::unique_ptr<Ui::MoreSettingsDialog> ui_;
    double gravity_ = 9.7883;
    double latitude_ = 0.0;
    std::int32_t postbackCount_ = 5;
    std::int32_t altitude_ = 0;
};
