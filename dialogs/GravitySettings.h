#pragma once

#include "link/ScaleCommandSet.h"

#include <cstdint>

class NumericEdit;
class QComboBox;
class QWidget;

// The gravity group that the calibration and the more settings dialogs both carry: a city code list,
// the g value, and latitude with altitude, each with its own Set button. Each dialog keeps its own
// settings keys and its own field order, so it reads the fields one by one.
class GravitySettings {
public:
    struct Controls {
        QComboBox* cityList;
        NumericEdit* gravityEdit;
        NumericEdit* latitudeEdit;
        NumericEdit* altitudeEdit;
    };
    struct Keys {
        const char* city;
        const char* gravity;
        const char* latitude;
        const char* altitude;
    };

    // Fills the city list and shows the stored values.
    GravitySettings(const Controls& controls, const Keys& keys);
    bool Store() const;

    // False when the field does not parse; the edit has told the operator and the value stays.
    bool ReadGravity();
    bool ReadLatitude();
    bool ReadAltitude();

    // What each Set button sends, from the values read last; empty when nothing goes out.
    // No city chosen (the settings held an index the list does not have): nothing to send.
    Bytes CityCommand() const;
    // A g value out of range is refused with a message over `dialog`.
    Bytes GravityCommand(QWidget* dialog) const;
    Bytes PositionCommand() const;

private:
    Controls controls_;
    Keys keys_;
    double gravity_ = 9.7883;
    double latitude_ = 0.0;
    std::int32_t altitude_ = 0;
};
