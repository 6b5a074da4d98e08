#include "dialogs/GravitySettings.h"

#include "controls/FixedTexts.h"
#include "controls/GbkConvert.h"
#include "controls/NumericEdit.h"
#include "controls/OperatorMessage.h"
#include "controls/SelectStored.h"
#include "dialogs/ScaleSettingsDialog.h"
#include "rules/CityCodes.h"
#include "settings/AppPaths.h"
#include "settings/LeadingInteger.h"
#include "settings/Profile.h"

#include <QComboBox>

namespace {

constexpr const char* kSection = "System";

bool gravityInRange(double g)
{
    return g >= 9.6999999 && g <= 9.900000001;
}

} // namespace

GravitySettings::GravitySettings(const Controls& controls, const Keys& keys)
    : controls_(controls)
    , keys_(keys)
{
    const std::string& path = AppPaths::SettingsPath();
    for (const std::string& city : CityCodes::Items())
        controls_.cityList->addItem(QString::fromStdString(city));
    SelectStored(controls_.cityList,
                                   Profile::ReadInt(path, kSection, keys_.city, CityCodes::kDefaultIndex));

    gravity_ = Profile::ReadReal(path, kSection, keys_.gravity, "9.78830");
    controls_.gravityEdit->SetDecimalMode(true);
    latitude_ = Profile::ReadReal(path, kSection, keys_.latitude, "0");
    controls_.latitudeEdit->SetDecimalMode(true);
    controls_.latitudeEdit->SetRange(90, 0);
    altitude_ = LeadingInteger::Wrapped(Profile::ReadText(path, kSection, keys_.altitude, "0"));

    controls_.gravityEdit->ShowReal(gravity_);
    controls_.latitudeEdit->ShowReal(latitude_);
    controls_.altitudeEdit->ShowInteger(altitude_);
}

bool GravitySettings::Store() const
{
    const std::string& path = AppPaths::SettingsPath();
    bool written = Profile::WriteInt(path, kSection, keys_.city, controls_.cityList->currentIndex());
    written = Profile::WriteReal(path, kSection, keys_.gravity, gravity_) && written;
    written = Profile::WriteReal(path, kSection, keys_.latitude, latitude_) && written;
    written = Profile::WriteInt(path, kSection, keys_.altitude, altitude_) && written;
    return written;
}

bool GravitySettings::ReadGravity()
{
    return controls_.gravityEdit->ReadReal(gravity_);
}

bool GravitySettings::ReadLatitude()
{
    return controls_.latitudeEdit->ReadReal(latitude_);
}

bool GravitySettings::ReadAltitude()
{
    return controls_.altitudeEdit->ReadInteger(altitude_);
}

Bytes GravitySettings::CityCommand() const
{
    if (controls_.cityList->currentIndex() < 0)
        return {};
    return ScaleCommandSet::SetGravityCode(ToGbk(controls_.cityList->currentText()));
}

Bytes GravitySettings::GravityCommand(QWidget* dialog) const
{
    if (!gravityInRange(gravity_)) {
        OperatorMessage::Show(dialog, FixedTexts::GravityRange());
        return {};
    }
    return ScaleCommandSet::SetGravityValue(gravity_);
}

Bytes GravitySettings::PositionCommand() const
{
    return ScaleCommandSet::SetGravityPosition(latitude_, altitude_);
}
