#include "dialogs/MoreSettingsDialog.h"

#include "app/AppPaths.h"
#include "app/SettingsProfile.h"
#include "controls/NumericEntry.h"
#include "controls/OperatorMessage.h"
#include "dialogs/CalibrationDialog.h"
#include "dialogs/CityCodes.h"
#include "dialogs/ManufacturerPasswordDialog.h"
#include "dialogs/ManufacturerSettingsDialog.h"
#include "link/ScaleCommand.h"

#include "ui_MoreSettingsDialog.h"

#include <QKeyEvent>
#include <QStringEncoder>

namespace {

constexpr const char* kSection = "System";
constexpr int kMostReportsPerSecond = 10;

std::string toGbk(const QString& text)
{
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder.encode(text);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

void selectStored(QComboBox* list, int index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

bool gravityInRange(double g)
{
    return g >= 9.6999999 && g <= 9.900000001;
}

} // namespace

MoreSettingsDialog::MoreSettingsDialog(SerialLink::PortHandle& link, QWidget* parent)
    : QDialog(parent)
    , link_(link)
    , ui_(std::make_unique<Ui::MoreSettingsDialog>())
{
    ui_->setupUi(this);

    const std::string& path = AppPaths::SettingsPath();
    for (const std::string& city : CityCodes::Items())
        ui_->cityList->addItem(QString::fromStdString(city));
    selectStored(ui_->cityList, Profile::ReadInt(path, kSection, "Code1", CityCodes::kDefaultIndex));

    gravity_ = Profile::ReadReal(path, kSection, "g1", "9.78830");
    ui_->gravityEdit->SetDecimalMode(true);
    latitude_ = Profile::ReadReal(path, kSection, "LAT1", "0");
    ui_->latitudeEdit->SetDecimalMode(true);
    ui_->latitudeEdit->SetRange(90, 0);
    altitude_ = NumericEntry::LeadingInteger(Profile::ReadText(path, kSection, "ASL1", "0"));
    postbackCount_ = Profile::ReadInt(path, kSection, "Back", 6);
    ui_->countEdit->SetRange(kMostReportsPerSecond, 0);

    selectStored(ui_->ledList, Profile::ReadInt(path, kSection, "LED", 5));
    selectStored(ui_->alarmList, Profile::ReadInt(path, kSection, "FlowOver", 2));
    selectStored(ui_->stabilityList, Profile::ReadInt(path, kSection, "Stable", 0));

    ui_->gravityEdit->ShowReal(gravity_);
    ui_->latitudeEdit->ShowReal(latitude_);
    ui_->countEdit->ShowInteger(postbackCount_);
    ui_->altitudeEdit->ShowInteger(altitude_);

    connect(ui_->codeSet, &QPushButton::clicked, this, &MoreSettingsDialog::setGravityCode);
    connect(ui_->gravitySet, &QPushButton::clicked, this, &MoreSettingsDialog::setGravityValue);
    connect(ui_->positionSet, &QPushButton::clicked, this, &MoreSettingsDialog::setGravityPosition);
    connect(ui_->countSet, &QPushButton::clicked, this, &MoreSettingsDialog::setPostbackCount);
    connect(ui_->stableBack, &QPushButton::clicked, this,
            [this] { setPostbackMode(ScaleCommandSet::kPostbackStable); });
    connect(ui_->commandBack, &QPushButton::clicked, this,
            [this] { setPostbackMode(ScaleCommandSet::kPostbackOnCommand); });
    connect(ui_->alarmSet, &QPushButton::clicked, this, &MoreSettingsDialog::setOverflowAlarm);
    connect(ui_->animalOn, &QPushButton::clicked, this, [this] { setAnimalMode(true); });
    connect(ui_->animalOff, &QPushButton::clicked, this, [this] { setAnimalMode(false); });
    connect(ui_->stabilitySet, &QPushButton::clicked, this, &MoreSettingsDialog::setFalseStability);
    connect(ui_->ledSet, &QPushButton::clicked, this, &MoreSettingsDialog::setLedBrightness);
    connect(ui_->calibrationButton, &QPushButton::clicked, this, &MoreSettingsDialog::openCalibration);
    connect(ui_->manufacturerButton, &QPushButton::clicked, this, &MoreSettingsDialog::openManufacturerSettings);
    connect(ui_->backButton, &QPushButton::clicked, this, &MoreSettingsDialog::reject);
}

MoreSettingsDialog::~MoreSettingsDialog()
{
    const std::string& path = AppPaths::SettingsPath();
    Profile::WriteInt(path, kSection, "Code1", ui_->cityList->currentIndex());
    Profile::WriteReal(path, kSection, "g1", gravity_);
    Profile::WriteReal(path, kSection, "LAT1", latitude_);
    Profile::WriteInt(path, kSection, "ASL1", altitude_);
    Profile::WriteInt(path, kSection, "Back", postbackCount_);
    Profile::WriteInt(path, kSection, "LED", ui_->ledList->currentIndex());
    Profile::WriteInt(path, kSection, "FlowOver", ui_->alarmList->currentIndex());
    Profile::WriteInt(path, kSection, "Stable", ui_->stabilityList->currentIndex());
}

bool MoreSettingsDialog::exchangeFromControls()
{
    // In field order; the first field that does not parse ends the exchange.
    return ui_->gravityEdit->ReadReal(gravity_) && ui_->latitudeEdit->ReadReal(latitude_)
        && ui_->countEdit->ReadInteger(postbackCount_) && ui_->altitudeEdit->ReadInteger(altitude_);
}

void MoreSettingsDialog::accept()
{
    if (exchangeFromControls())
        QDialog::accept();
}

void MoreSettingsDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter is OK unless a button has the focus, which then takes it.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled())
            button->click();
        else
            accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MoreSettingsDialog::send(const std::string& bytes)
{
    SerialLink::WriteBytes(link_, bytes.data(), bytes.size());
}

// Every Set, On, Off and mode button reads the fields first; a field that does not parse is
// reported and the handler goes on with the values read before. A list left without a selection
// (the settings file held an index it does not have) sends nothing: no value the operator did
// not choose reaches the scale.

void MoreSettingsDialog::setGravityCode()
{
    exchangeFromControls();
    if (ui_->cityList->currentIndex() < 0)
        return;
    send(ScaleCommandSet::SetGravityCode(toGbk(ui_->cityList->currentText())));
}

void MoreSettingsDialog::setGravityValue()
{
    exchangeFromControls();
    if (!gravityInRange(gravity_)) {
        OperatorMessage::Show(this, QString::fromUtf8("重力加速度应为9.7 ~ 9.9之间"));
        return;
    }
    send(ScaleCommandSet::SetGravityValue(gravity_));
}

void MoreSettingsDialog::setGravityPosition()
{
    exchangeFromControls();
    send(ScaleCommandSet::SetGravityPosition(latitude_, altitude_));
}

void MoreSettingsDialog::setPostbackCount()
{
    exchangeFromControls();
    if (postbackCount_ < 0 || postbackCount_ > kMostReportsPerSecond) {
        OperatorMessage::Show(this, QString::fromUtf8("主动回传次数应为0 ~ 10之间"));
        return;
    }
    send(ScaleCommandSet::SetPostbackMode(static_cast<std::uint8_t>(postbackCount_)));
}

void MoreSettingsDialog::setPostbackMode(std::uint8_t mode)
{
    exchangeFromControls();
    send(ScaleCommandSet::SetPostbackMode(mode));
}

void MoreSettingsDialog::setOverflowAlarm()
{
    exchangeFromControls();
    // Without a selection the scale gets "all overflow alarms".
    send(ScaleCommandSet::SetOverflowAlarm(ui_->alarmList->currentIndex()));
}

void MoreSettingsDialog::setAnimalMode(bool on)
{
    exchangeFromControls();
    send(ScaleCommandSet::SetAnimalMode(on));
}

void MoreSettingsDialog::setFalseStability()
{
    exchangeFromControls();
    if (const int index = ui_->stabilityList->currentIndex(); index >= 0)
        send(ScaleCommandSet::SetFalseStability(static_cast<std::uint8_t>(index)));
}

void MoreSettingsDialog::setLedBrightness()
{
    exchangeFromControls();
    if (const int index = ui_->ledList->currentIndex(); index >= 0)
        send(ScaleCommandSet::SetLedBrightness(static_cast<std::uint8_t>(index)));
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
