#include "dialogs/ManufacturerSettingsDialog.h"

#include "controls/FixedTexts.h"
#include "controls/OperatorMessage.h"
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

    connect(ui_->divisionSet, &QPushButton::clicked, this, &ManufacturerSettingsDialog::setDivisionValue);
    connect(ui_->protocolSet, &QPushButton::clicked, this, &ManufacturerSettingsDialog::setReturnProtocol);
    connect(ui_->zeroSet, &QPushButton::clicked, this, &ManufacturerSettingsDialog::setZeroTracking);
    connect(ui_->lockSet, &QPushButton::clicked, this, &ManufacturerSettingsDialog::setButtonLock);
    connect(ui_->precisionSet, &QPushButton::clicked, this, &ManufacturerSettingsDialog::setPrecision);
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

// Every Set reads the field first; a field that does not parse is reported and the Set goes on
// with the value read before.

void ManufacturerSettingsDialog::setDivisionValue()
{
    exchangeFromControls();
    // The command carries 16 bits: a larger value would reach the scale cut to its low bits.
    if (divisionValue_ < 0 || divisionValue_ > 0xFFFF) {
        OperatorMessage::Show(this, FixedTexts::WrongDivision());
        return;
    }
    send(ScaleCommandSet::SetDivisionValue(static_cast<std::uint16_t>(divisionValue_)));
}

// A list left without a selection (the settings file held an index it does not have): the protocol
// and precision commands have a defined fallback (0x11, 00 00); zero tracking and the key lock have
// none, so they send nothing rather than a value the operator did not choose.

void ManufacturerSettingsDialog::setReturnProtocol()
{
    exchangeFromControls();
    send(ScaleCommandSet::SetReturnProtocol(ui_->protocolList->currentIndex()));
}

void ManufacturerSettingsDialog::setZeroTracking()
{
    exchangeFromControls();
    if (const int index = ui_->zeroList->currentIndex(); index >= 0)
        send(ScaleCommandSet::SetZeroTracking(index));
}

void ManufacturerSettingsDialog::setButtonLock()
{
    exchangeFromControls();
    if (const int index = ui_->lockList->currentIndex(); index >= 0)
        send(ScaleCommandSet::SetButtonLock(static_cast<std::uint8_t>(index)));
}

void ManufacturerSettingsDialog::setPrecision()
{
    exchangeFromControls();
    send(ScaleCommandSet::SetPrecision(ui_->precisionList->currentIndex()));
}
