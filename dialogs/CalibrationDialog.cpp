#include "dialogs/CalibrationDialog.h"

#include "controls/FixedTexts.h"
#include "controls/GbkConvert.h"
#include "controls/OperatorMessage.h"
#include "controls/SettingsReport.h"
#include "controls/TextFieldGuard.h"
#include "dialogs/ManufacturerPasswordDialog.h"
#include "link/ScaleCommandSet.h"
#include "rules/CalibrationReading.h"
#include "rules/NumericEntry.h"
#include "settings/AppPaths.h"
#include "settings/Profile.h"

#include "ui_CalibrationDialog.h"

namespace {


constexpr const char* kSection = "System";
// Clicks on the unlabeled button that only count before it asks for the access code.
constexpr int kSilentServiceClicks = 8;

// Selects the item with this text, or shows the text in the edit field when there is none.
void showStoredText(QComboBox* list, const QString& text)
{
    const int index = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    list->setCurrentIndex(index);
    if (index < 0)
        list->setEditText(text);
}

} // namespace

CalibrationDialog::CalibrationDialog(PortLink& link, QWidget* parent)
    : ScaleSettingsDialog(link, parent)
    , ui_(std::make_unique<Ui::CalibrationDialog>())
{
    ui_->setupUi(this);
    // The readings start empty; the template's labels are never shown.
    ui_->maximumReading->clear();
    ui_->calibrationWeightReading->clear();
    ui_->weightReading->clear();

    gravity_.emplace(GravitySettings::Controls{ui_->cityList, ui_->gravityEdit, ui_->latitudeEdit, ui_->altitudeEdit},
                     GravitySettings::Keys{"Code", "g", "LAT", "ASL"});

    const std::string& path = AppPaths::SettingsPath();
    showStoredText(ui_->capacityList, FromGbk(Profile::ReadText(path, kSection, "MAXRange", "15")));
    showStoredText(ui_->weightList, FromGbk(Profile::ReadText(path, kSection, "Weights", "5")));
    // What is typed into the lists is stored in the settings file, one line per key.
    TextFieldGuard::Install(ui_->capacityList->lineEdit());
    TextFieldGuard::Install(ui_->weightList->lineEdit());

    // The tick asks the port's worker for a read; the readings come back with its result.
    connect(&link, &PortLink::calibrationRead, this, &CalibrationDialog::ShowReadings);
    readingTimer_.setInterval(CalibrationReading::kTickIntervalMs);
    connect(&readingTimer_, &QTimer::timeout, this, &CalibrationDialog::PollReadings);
    readingTimer_.start();

    hiddenClicks_ = 0;

    // Every handler reads the fields first; a field that does not parse is reported and the
    // handler goes on with the values read before.
    sendOnClick(ui_->codeSet, tr("Gravity by area code"), [this] { return gravity_->CityCommand(); });
    sendOnClick(ui_->gravitySet, tr("Gravity value"), [this] { return gravity_->GravityCommand(this); });
    sendOnClick(ui_->positionSet, tr("Gravity by latitude and altitude"), [this] { return gravity_->PositionCommand(); });
    connect(ui_->zeroButton, &QPushButton::clicked, this, &CalibrationDialog::setZero);
    connect(ui_->calibrateButton, &QPushButton::clicked, this, &CalibrationDialog::calibrate);
    connect(ui_->serviceButton, &QPushButton::clicked, this, &CalibrationDialog::serviceEntry);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &CalibrationDialog::reject);
}

CalibrationDialog::~CalibrationDialog()
{
    readingTimer_.stop();
    const std::string& path = AppPaths::SettingsPath();
    bool written = gravity_->Store();
    written = Profile::WriteText(path, kSection, "MAXRange", ToGbk(ui_->capacityList->currentText())) && written;
    written = Profile::WriteText(path, kSection, "Weights", ToGbk(ui_->weightList->currentText())) && written;
    ReportSettingsWrites(parentWidget(), written);
}

void CalibrationDialog::PollReadings()
{
    link_.ReadCalibration();
}

void CalibrationDialog::ShowReadings(const QByteArray& received)
{
    for (const auto& reading : CalibrationReading::Parse(std::string_view(received.constData(), std::size_t(received.size())))) {
        QLabel* shown = reading.value == CalibrationReading::Value::Maximum ? ui_->maximumReading
            : reading.value == CalibrationReading::Value::CalibrationWeight ? ui_->calibrationWeightReading
                                                                             : ui_->weightReading;
        shown->setText(FromGbk(CalibrationReading::DisplayText(reading)));
    }
}

bool CalibrationDialog::exchangeFromControls()
{
    // The first field that does not parse ends the exchange.
    return gravity_->ReadGravity() && gravity_->ReadLatitude() && gravity_->ReadAltitude();
}

void CalibrationDialog::setZero()
{
    exchangeFromControls();
    send(ScaleCommandSet::CalibrationZero(), tr("Forced zero"));
}

void CalibrationDialog::calibrate()
{
    exchangeFromControls();
    // Whole kilograms only: "2.5" or "5kg" would otherwise be cut to a number the scale takes as
    // the weight on it. A text that is not one is refused like an empty one.
    const std::int32_t capacity = NumericEntry::ParseInteger(ToGbk(ui_->capacityList->currentText())).value_or(0);
    const std::int32_t weight = NumericEntry::ParseInteger(ToGbk(ui_->weightList->currentText())).value_or(0);
    const QString refusal = weight <= 0 ? FixedTexts::WrongCalibrationWeight()
        : capacity <= 0                 ? FixedTexts::WrongCapacity()
        : weight > capacity             ? FixedTexts::WeightAboveCapacity()
                                        : QString();
    if (!refusal.isEmpty()) {
        OperatorMessage::Show(this, refusal);
        return;
    }
    send(ScaleCommandSet::CalibrateSpan(capacity, weight), tr("Span calibration"));
}

void CalibrationDialog::serviceEntry()
{
    if (hiddenClicks_ < kSilentServiceClicks) {
        ++hiddenClicks_;
        return;
    }
    ManufacturerPasswordDialog access(this);
    if (access.exec() == QDialog::Accepted)
        send(ScaleCommandSet::ServiceCommand(), tr("Service command"));
}
