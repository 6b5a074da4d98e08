// The main dialog's answers to the operator: the status line, the reading fields' freshness and the
// tooltips of disabled controls.
#include "dialogs/ScaleMainDialog.h"

#include "ui_ScaleMainDialog.h"

#include <QTime>

namespace {

// A reading older than this is drawn greyed: the scale has gone quiet, the weight may be old.
constexpr int kStaleAfterMs = 1000;

} // namespace

void ScaleMainDialog::ConnectStatus()
{
    connect(&link_, &PortLink::sent, this, [this](const QString& what, bool whole) {
        ShowStatus(whole ? tr("%1 sent").arg(what) : tr("%1 could not be sent").arg(what));
    });
    connect(&link_, &PortLink::uploadProgress, this, [this](int sent) { uploadSent_ = sent; });
    connect(&link_, &PortLink::uploadEnded, this, &ScaleMainDialog::ShowUploadEnded);

    staleReadings_.setSingleShot(true);
    staleReadings_.setInterval(kStaleAfterMs);
    connect(&staleReadings_, &QTimer::timeout, this, [this] { ShowReadingsStale(true); });
    connect(&link_, &PortLink::valueRead, this, [this](ScaleSeries series) {
        if (series != series_)
            return;
        ShowReadingsStale(false);
        staleReadings_.start();
    });
}

void ScaleMainDialog::ShowStatus(const QString& text)
{
    // The time tells a new answer from the same one given again.
    ui_->statusLine->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + text);
}

void ScaleMainDialog::ShowUploadEnded(bool complete)
{
    ShowStatus(complete ? tr("%n lines sent", nullptr, uploadSent_)
                        : tr("Upload stopped after %n lines", nullptr, uploadSent_));
    uploadSent_ = 0;
}

void ScaleMainDialog::ClearReadings()
{
    staleReadings_.stop();
    for (QLineEdit* field : {ui_->value1, ui_->value2, ui_->value3})
        field->clear();
    ShowReadingsStale(false);
}

void ScaleMainDialog::ShowReadingsStale(bool stale)
{
    for (QLineEdit* field : {ui_->value1, ui_->value2, ui_->value3}) {
        // A style sheet of the field's own, so that it holds under the skin's as well.
        const QString grey = field->palette().color(QPalette::Disabled, QPalette::Text).name();
        field->setStyleSheet(stale ? QStringLiteral("QLineEdit { color: %1; }").arg(grey) : QString());
    }
}

void ScaleMainDialog::ExplainDisabled(const EnableRule::Outcome& outcome)
{
    for (const EnableRule::ControlState& state : outcome.controls) {
        using enum EnableRule::Need;
        QString why;
        switch (state.need) {
        case Nothing: break;
        case OpenPort: why = tr("Open the port first"); break;
        case ClosePort: why = tr("Close the port first"); break;
        case StopReading: why = tr("Stop automatic reading first"); break;
        case ZudSeries: why = tr("Only for the ZUD series"); break;
        case ZevSeries: why = tr("Only for the ZEV series"); break;
        case RivavSeries: why = tr("Only for the RIVAV series"); break;
        case OtherThanZev: why = tr("The ZEV series has no such command"); break;
        case OtherThanRivav: why = tr("The RIVAV series keeps no commodity list"); break;
        }
        Governed(state.control)->setToolTip(why);
    }
    if (link_.IsUploading())
        ui_->uploadButton->setToolTip(tr("An upload is running"));
    ExplainReadParameter();
}

void ScaleMainDialog::ExplainReadParameter()
{
    // Automatic reading and the readout itself disable it between the rule's moments.
    QPushButton* button = ui_->readParamButton;
    if (button->isEnabled() || !link_.IsOpen())
        button->setToolTip(button->isEnabled() ? QString() : tr("Open the port first"));
    else if (ui_->autoReadCheck->isChecked() || link_.IsReading())
        button->setToolTip(tr("Stop automatic reading first"));
}
