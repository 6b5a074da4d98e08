#include "dialogs/CalibrationDialog.h"

#include "app/AppPaths.h"
#include "app/SettingsProfile.h"
#include "controls/NumericEntry.h"
#include "controls/OperatorMessage.h"
#include "dialogs/CalibrationReading.h"
#include "dialogs/CityCodes.h"
#include "dialogs/ManufacturerPasswordDialog.h"
#include "link/ScaleCommand.h"

#include "ui_CalibrationDialog.h"

#include <QKeyEvent>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr const char* kSection = "System";
constexpr int kReadingIntervalMs = 300;
constexpr int kReadingLimitMs = 50;
constexpr int kReadingBytes = 128;
// Clicks on the unlabeled button that only count before it asks for the access code.
constexpr int kSilentServiceClicks = 8;

std::string toGbk(const QString& text)
{
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder.encode(text);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

QString fromGbk(const std::string& bytes)
{
    QStringDecoder decoder("GBK");
    return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

void selectStored(QComboBox* list, int index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

// Selects the item with this text, or shows the text in the edit field when there is none.
void showStoredText(QComboBox* list, const QString& text)
{
    const int index = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    list->setCurrentIndex(index);
    if (index < 0)
        list->setEditText(text);
}

bool gravityInRange(double g)
{
    return g >= 9.6999999 && g <= 9.900000001;
}

} // namespace

CalibrationDialog::CalibrationDialog(SerialLink::PortHandle& link, QWidget* parent)
    : QDialog(parent)
    , link_(link)
    , ui_(std::make_unique<Ui::CalibrationDialog>())
{
    ui_->setupUi(this);
    // The readings start empty; the template's labels are never shown.
    ui_->maximumReading->clear();
    ui_->calibrationWeightReading->clear();
    ui_->weightReading->clear();

    const std::string& path = AppPaths::SettingsPath();
    for (const std::string& city : CityCodes::Items())
        ui_->cityList->addItem(QString::fromStdString(city));
    selectStored(ui_->cityList, Profile::ReadInt(path, kSection, "Code", CityCodes::kDefaultIndex));

    gravity_ = Profile::ReadReal(path, kSection, "g", "9.78830");
    ui_->gravityEdit->SetDecimalMode(true);
    latitude_ = Profile::ReadReal(path, kSection, "LAT", "0");
    ui_->latitudeEdit->SetDecimalMode(true);
    ui_->latitudeEdit->SetRange(90, 0);
    altitude_ = NumericEntry::LeadingInteger(Profile::ReadText(path, kSection, "ASL", "0"));

    showStoredText(ui_->capacityList, fromGbk(Profile::ReadText(path, kSection, "MAXRange", "15")));
    showStoredText(ui_->weightList, fromGbk(Profile::ReadText(path, kSection, "Weights", "5")));

    readingTimer_.setInterval(kReadingIntervalMs);
    connect(&readingTimer_, &QTimer::timeout, this, &CalibrationDialog::PollReadings);
    readingTimer_.start();

    ui_->gravityEdit->ShowReal(gravity_);
    ui_->latitudeEdit->ShowReal(latitude_);
    ui_->altitudeEdit->ShowInteger(altitude_);
    hiddenClicks_ = 0;

    connect(ui_->codeSet, &QPushButton::clicked, this, &CalibrationDialog::setGravityCode);
    connect(ui_->gravitySet, &QPushButton::clicked, this, &CalibrationDialog::setGravityValue);
    connect(ui_->positionSet, &QPushButton::clicked, this, &CalibrationDialog::setGravityPosition);
    connect(ui_->zeroButton, &QPushButton::clicked, this, &CalibrationDialog::setZero);
    connect(ui_->calibrateButton, &QPushButton::clicked, this, &CalibrationDialog::calibrate);
    connect(ui_->serviceButton, &QPushButton::clicked, this, &CalibrationDialog::serviceEntry);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &CalibrationDialog::reject);
}

CalibrationDialog::~CalibrationDialog()
{
    readingTimer_.stop();
    const std::string& path = AppPaths::SettingsPath();
    Profile::WriteInt(path, kSection, "Code", ui_->cityList->currentIndex());
    Profile::WriteReal(path, kSection, "g", gravity_);
    Profile::WriteReal(path, kSection, "LAT", latitude_);
    Profile::WriteInt(path, kSection, "ASL", altitude_);
    Profile::WriteText(path, kSection, "MAXRange", toGbk(ui_->capacityList->currentText()));
    Profile::WriteText(path, kSection, "Weights", toGbk(ui_->weightList->currentText()));
}

void CalibrationDialog::PollReadings()
{
    char buffer[kReadingBytes];
    const int count = SerialLink::ReadBytes(link_, buffer, kReadingBytes, kReadingLimitMs);
    if (count <= 0)
        return;
    for (const auto& reading : CalibrationReading::Parse(std::string_view(buffer, std::size_t(count)))) {
        QLabel* shown = reading.value == CalibrationReading::Value::Maximum ? ui_->maximumReading
            : reading.value == CalibrationReading::Value::CalibrationWeight ? ui_->calibrationWeightReading
                                                                             : ui_->weightReading;
        shown->setText(fromGbk(CalibrationReading::DisplayText(reading)));
    }
}

bool CalibrationDialog::exchangeFromControls()
{
    // In field order; the first field that does not parse ends the exchange.
    return ui_->gravityEdit->ReadReal(gravity_) && ui_->latitudeEdit->ReadReal(latitude_)
        && ui_->altitudeEdit->ReadInteger(altitude_);
}

void CalibrationDialog::accept()
{
    if (exchangeFromControls())
        QDialog::accept();
}

void CalibrationDialog::keyPressEvent(QKeyEvent* event)
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

void CalibrationDialog::send(const std::string& bytes)
{
    SerialLink::WriteBytes(link_, bytes.data(), bytes.size());
}

// Every handler reads the fields first; a field that does not parse is reported and the handler
// goes on with the values read before.

void CalibrationDialog::setGravityCode()
{
    exchangeFromControls();
    // No city chosen (the settings held an index the list does not have): nothing to send.
    if (ui_->cityList->currentIndex() < 0)
        return;
    send(ScaleCommandSet::SetGravityCode(toGbk(ui_->cityList->currentText())));
}

void CalibrationDialog::setGravityValue()
{
    exchangeFromControls();
    if (!gravityInRange(gravity_)) {
        OperatorMessage::Show(this, QString::fromUtf8("重力加速度应为9.7 ~ 9.9之间"));
        return;
    }
    send(ScaleCommandSet::SetGravityValue(gravity_));
}

void CalibrationDialog::setGravityPosition()
{
    exchangeFromControls();
    send(ScaleCommandSet::SetGravityPosition(latitude_, altitude_));
}

void CalibrationDialog::setZero()
{
    exchangeFromControls();
    send(ScaleCommandSet::CalibrationZero());
}

void CalibrationDialog::calibrate()
{
    exchangeFromControls();
    const std::int32_t capacity = NumericEntry::LeadingInteger(toGbk(ui_->capacityList->currentText()));
    const std::int32_t weight = NumericEntry::LeadingInteger(toGbk(ui_->weightList->currentText()));
    const char* refusal = weight <= 0 ? "请输入正确的砝码重量"
        : capacity <= 0               ? "请输入正确的最大称量"
        : weight > capacity           ? "砝码重量不能大于最大称量"
                                      : nullptr;
    if (refusal) {
        OperatorMessage::Show(this, QString::fromUtf8(refusal));
        return;
    }
    send(ScaleCommandSet::CalibrateSpan(capacity, weight));
}

void CalibrationDialog::serviceEntry()
{
    if (hiddenClicks_ < kSilentServiceClicks) {
        ++hiddenClicks_;
        return;
    }
    ManufacturerPasswordDialog access(this);
    if (access.exec() == QDialog::Accepted)
        send(ScaleCommandSet::ServiceCommand());
}
