#pragma once

#include "link/SerialLink.h"

#include <QDialog>

#include <cstdint>
#include <memory>

namespace Ui {
class ManufacturerSettingsDialog;
}

class QComboBox;

// Manufacturer-level settings of the scale: division value, return protocol, zero tracking, key
// lock and display precision. Each Set sends one command on the opener's port handle.
class ManufacturerSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit ManufacturerSettingsDialog(SerialLink::PortHandle& link, QWidget* parent = nullptr);
    // Stores the settings, however the dialog was closed.
    ~ManufacturerSettingsDialog() override;

public slots:
    // Enter: reads the field, then closes; a field that does not parse keeps the dialog open.
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool exchangeFromControls();
    void send(const std::string& bytes);
    void setDivisionValue();
    void setReturnProtocol();
    void setZeroTracking();
    void setButtonLock();
    void setPrecision();

    SerialLink::PortHandle& link_;
    std::unique_ptr<Ui::ManufacturerSettingsDialog> ui_;
    std::int32_t divisionValue_ = 0;
};
