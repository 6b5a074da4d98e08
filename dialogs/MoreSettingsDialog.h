#pragma once

#include "link/SerialLink.h"

#include <QDialog>

// The scale settings that the main dialog does not show: gravity, postback, alarms, LED; the door
// to calibration and to the manufacturer settings. Commands go out on the opener's port handle.
class MoreSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit MoreSettingsDialog(SerialLink::PortHandle& link, QWidget* parent = nullptr);
    ~MoreSettingsDialog() override;

private:
    SerialLink::PortHandle& link_;
};
