#pragma once

#include "link/SerialLink.h"

#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>

namespace Ui {
class CalibrationDialog;
}

class QComboBox;

// Guides the span calibration of a scale in adjustment mode: gravity, forced zero, capacity and
// calibration weight, with the scale's calibration readings polled every 300 ms.
class CalibrationDialog : public QDialog {
    Q_OBJECT
public:
    explicit CalibrationDialog(SerialLink::PortHandle& link, QWidget* parent = nullptr);
    // Stops the readings and stores the settings, however the dialog was closed.
    ~CalibrationDialog() override;

    // One tick of the reading timer: a read bounded to 50 ms, then the readings it carried.
    void PollReadings();

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
    void setZero();
    void calibrate();
    void serviceEntry();

    SerialLink::PortHandle& link_;
    std::unique_ptr<Ui::CalibrationDialog> ui_;
    double gravity_ = 9.7883;
    double latitude_ = 0.0;
    std::int32_t altitude_ = 0;
    int hiddenClicks_ = 0;
    QTimer readingTimer_;
};
