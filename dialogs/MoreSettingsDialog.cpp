#include "dialogs/MoreSettingsDialog.h"

#include "controls/FixedTexts.h"
#include "controls/SelectStored.h"
#include "controls/SettingsReport.h"
#include "dialogs/CalibrationDialog.h"
#include "dialogs/ManufacturerPasswordDialog.h"
#include "dialogs/ManufacturerSettingsDialog.h"
#include "link/ScaleCommandSet.h"
#include "settings/AppPaths.h"
#include "settings/Profile.h"

#include "ui_MoreSettingsDialog.h"

namespace {


constexpr const char* kSection = "System";
constexpr int kMostReportsPerSecond = 10;

} // namespace

MoreSettingsDialog::MoreSettingsDialog(PortLink& link, QWidget* parent)
    : ScaleSettingsDialog(link, parent)
    , ui_(std::make_unique<Ui::MoreSettingsDialog>())
{
    ui_->setupUi(this);

    gravity_.emplace(GravitySettings::Controls{ui_->cityList, ui_->gravityEdit, ui_->latitudeEdit, ui_->altitudeEdit},
                     GravitySettings::Keys{"Code1", "g1", "LAT1", "ASL1"});

    const std::string& path = AppPaths::SettingsPath();
    postbackCount_ = Profile::ReadInt(path, kSection, "Back", 6);
    ui_->countEdit->SetRange(kMostReportsPerSecond, 0);

    SelectStored(ui_->ledList, Profile::ReadInt(path, kSection, "LED", 5));
    SelectStored(ui_->alarmList, Profile::ReadInt(path, kSection, "FlowOver", 2));
    SelectStored(ui_->stabilityList, Profile::ReadInt(path, kSection, "Stable", 0));

    ui_->countEdit->ShowInteger(postbackCount_);

    // Every Set, On, Off and mode button reads the fields first; a field that does not parse is
    // reported and the handler goes on with the values read before.
    sendOnClick(ui_->codeSet, tr("Gravity by area code"), [this] { return gravity_->CityCommand(); });
    sendOnClick(ui_->gravitySet, tr("Gravity value"), [this] { return gravity_->GravityCommand(this); });
    sendOnClick(ui_->positionSet, tr("Gravity by latitude and altitude"), [this] { return gravity_->PositionCommand(); });
    sendOnClick(ui_->countSet, tr("Postback count"), [this] {
        return ForValueIn(postbackCount_, 0, kMostReportsPerSecond, FixedTexts::PostbackCountRange(),
                          [](int count) { return ScaleCommandSet::SetPostbackMode(std::uint8_t(count)); });
    });
    sendOnClick(ui_->stableBack, tr("Postback when stable"), [] { return ScaleCommandSet::SetPostbackMode(ScaleCommandSet::kPostbackStable); });
    sendOnClick(ui_->commandBack, tr("Postback on command"),
                [] { return ScaleCommandSet::SetPostbackMode(ScaleCommandSet::kPostbackOnCommand); });
    // Without a selection the scale gets "all overflow alarms"; false stability and the LED send
    // nothing rather than a value the operator did not choose.
    sendOnClick(ui_->alarmSet, tr("Overflow alarm"), [this] { return ScaleCommandSet::SetOverflowAlarm(ui_->alarmList->currentIndex()); });
    sendOnClick(ui_->animalOn, tr("Animal mode on"), [] { return ScaleCommandSet::SetAnimalMode(true); });
    sendOnClick(ui_->animalOff, tr("Animal mode off"), [] { return ScaleCommandSet::SetAnimalMode(false); });
    sendOnClick(ui_->stabilitySet, tr("False stability"), [this] {
        return ForChosen(ui_->stabilityList,
                         [](int index) { return ScaleCommandSet::SetFalseStability(std::uint8_t(index)); });
    });
    sendOnClick(ui_->ledSet, tr("LED brightness"), [this] {
        return ForChosen(ui_->ledList, [](int index) { return ScaleCommandSet::SetLedBrightness(std::uint8_t(index)); });
    });
    connect(ui_->calibrationButton, &QPushButton::clicked, this, &MoreSettingsDialog::openCalibration);
    connect(ui_->manufacturerButton, &QPushButton::clicked, this, &MoreSettingsDialog::openManufacturerSettings);
    connect(ui_->backButton, &QPushButton::clicked, this, &MoreSettingsDialog::reject);
}

MoreSettingsDialog::~MoreSettingsDialog()
{
    const std::string& path = AppPaths::SettingsPath();
    bool written = gravity_->Store();
    written = Profile::WriteInt(path, kSection, "Back", postbackCount_) && written;
    written = Profile::WriteInt(path, kSection, "LED", ui_->ledList->currentIndex()) && written;
    written = Profile::WriteInt(path, kSection, "FlowOver", ui_->alarmList->currentIndex()) && written;
    written = Profile::WriteInt(path, kSection, "Stable", ui_->stabilityList->currentIndex()) && written;
    ReportSettingsWrites(parentWidget(), written);
}

bool MoreSettingsDialog::exchangeFromControls()
{
    // The first field that does not parse ends the exchange.
    return gravity_->ReadGravity() && gravity_->ReadLatitude() && ui_->countEdit->ReadInteger(postbackCount_)
        && gravity_->ReadAltitude();
}

void MoreSettingsDialog::openCalibration()
{
    CalibrationDialog dialog(link_, this);
    dialog.exec();
}

void MoreSettingsDialog::openManufacturerSettings()
{
    ManufacturerPasswordDialog access(this);
    if (access.exec() != QDialog::Accepted)
        return;
    ManufacturerSettingsDialog settings(link_, this);
    settings.exec();
}
