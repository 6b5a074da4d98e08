#include "dialogs/ManufacturerSettingsDialog.h"

#include "controls/FixedTexts.h"
#include "controls/SelectStored.h"
#include "controls/SettingsReport.h"
#include "link/ScaleCommandSet.h"
#include "settings/AppPaths.h"
#include "settings/Profile.h"

#include "ui_ManufacturerSettingsDialog.h"

namespace {

constexpr const char* kSection = "System";

} // namespace

ManufacturerSettingsDialog::ManufacturerSettingsDialog(PortLink& link, QWidget* parent)
    : ScaleSettingsDialog(link, parent)
    , ui_(std::make_unique<Ui::ManufacturerSettingsDialog>())
{
    ui_->setupUi(this);

    const std::string& path = AppPaths::SettingsPath();
    divisionValue_ = Profile::ReadInt(path, kSection, "Scale", 0);
    SelectStored(ui_->protocolList, Profile::ReadInt(path, kSection, "Type", 0));
    SelectStored(ui_->zeroList, Profile::ReadInt(path, kSection, "Zero", 1));
    SelectStored(ui_->lockList, Profile::ReadInt(path, kSection, "EnableButton", 1));
    SelectStored(ui_->precisionList, Profile::ReadInt(path, kSection, "Precision", 0));
    ui_->divisionEdit->ShowInteger(divisionValue_);

    // Every Set reads the field first; a field that does not parse is reported and the Set goes on
    // with the value read before. Without a selection the protocol and precision commands have a
    // defined fallback (0x11, 00 00); zero tracking and the key lock send nothing.
    // The division command carries 16 bits: a larger value would reach the scale cut to its low bits.
    sendOnClick(ui_->divisionSet, tr("Division value"), [this] {
        return ForValueIn(divisionValue_, 0, 0xFFFF, FixedTexts::WrongDivision(),
                          [](int grams) { return ScaleCommandSet::SetDivisionValue(std::uint16_t(grams)); });
    });
    sendOnClick(ui_->protocolSet, tr("Return protocol"),
                [this] { return ScaleCommandSet::SetReturnProtocol(ui_->protocolList->currentIndex()); });
    sendOnClick(ui_->zeroSet, tr("Zero tracking"), [this] { return ForChosen(ui_->zeroList, ScaleCommandSet::SetZeroTracking); });
    sendOnClick(ui_->lockSet, tr("Key lock"), [this] {
        return ForChosen(ui_->lockList, [](int index) { return ScaleCommandSet::SetButtonLock(std::uint8_t(index)); });
    });
    sendOnClick(ui_->precisionSet, tr("Display precision"),
                [this] { return ScaleCommandSet::SetPrecision(ui_->precisionList->currentIndex()); });
    connect(ui_->backButton, &QPushButton::clicked, this, &ManufacturerSettingsDialog::reject);
}

ManufacturerSettingsDialog::~ManufacturerSettingsDialog()
{
    const std::string& path = AppPaths::SettingsPath();
    bool written = Profile::WriteInt(path, kSection, "Scale", divisionValue_);
    written = Profile::WriteInt(path, kSection, "Type", ui_->protocolList->currentIndex()) && written;
    written = Profile::WriteInt(path, kSection, "Zero", ui_->zeroList->currentIndex()) && written;
    written = Profile::WriteInt(path, kSection, "EnableButton", ui_->lockList->currentIndex()) && written;
    written = Profile::WriteInt(path, kSection, "Precision", ui_->precisionList->currentIndex()) && written;
    ReportSettingsWrites(parentWidget(), written);
}

bool ManufacturerSettingsDialog::exchangeFromControls()
{
    return ui_->divisionEdit->ReadInteger(divisionValue_);
}
