// The main dialog's talk with the scale: weight reading and its lamp, tare, zero, baud rate and
// postback commands, and the parameter readout.
#include "dialogs/ScaleMainDialog.h"

#include "ui_ScaleMainDialog.h"

#include "controls/FixedTexts.h"
#include "controls/GbkConvert.h"
#include "controls/OperatorMessage.h"
#include "controls/StatusLamp.h"
#include "dialogs/ParameterDialog.h"
#include "settings/AppPaths.h"
#include "settings/Profile.h"

QLineEdit* ScaleMainDialog::ReadingField(WeightReport::Quantity quantity) const
{
    // The fields read gross, tare and net for a ZUD scale, net, price and total for the others.
    using enum WeightReport::Quantity;
    switch (quantity) {
    case Gross: return ui_->value1;
    case Tare: return ui_->value2;
    case Net: return series_ == SeriesZud ? ui_->value3 : ui_->value1;
    case Price: return ui_->value2;
    case Total: return ui_->value3;
    }
    return nullptr;
}

void ScaleMainDialog::OnAutomaticReading(bool checked)
{
    if (checked) {
        ui_->readParamButton->setEnabled(false);
        link_.StartReading([this] { return series_.load(); }, [this] { return activeReturn_.load(); },
                           [] { return Profile::ReadInt(AppPaths::SettingsPath(), "System", "Sleep", 100); });
        ShowLamp(true);
    } else {
        link_.StopReading();
    }
}

void ScaleMainDialog::OnReaderFinished()
{
    ui_->autoReadCheck->setChecked(false);
    ui_->lamp->hide();
    ui_->readParamButton->setEnabled(link_.IsOpen() && !readingParameters_);
}

void ScaleMainDialog::ShowLamp(bool visible)
{
    // Only the RIVAV series reports stability; the lamp shows while its reports are being read.
    ui_->lamp->setVisible(visible && series_ == SeriesRivav && link_.IsReading());
}

void ScaleMainDialog::ShowReading(WeightReport::Quantity quantity, const std::string& text)
{
    ReadingField(quantity)->setText(FromGbk(text));
}

void ScaleMainDialog::Send(const Bytes& bytes)
{
    link_.Send(bytes);
}

void ScaleMainDialog::OnTare()
{
    Send(ScaleCommandSet::Tare(series_));
}

void ScaleMainDialog::OnZero()
{
    Send(ScaleCommandSet::Zero(series_));
}

void ScaleMainDialog::OnSetBaud()
{
    // Without a chosen rate there is nothing to tell the scale.
    if (ui_->newBaudCombo->currentIndex() < 0)
        return;
    Send(ScaleCommandSet::SetBaud(ui_->newBaudCombo->currentText().toStdString()));
}

void ScaleMainDialog::OnSetPostback()
{
    const int rate = ui_->postbackCombo->currentIndex();
    if (rate < 0)
        return;
    Send(ScaleCommandSet::SetPostbackFrequency(rate));
}

void ScaleMainDialog::OnReadParameter()
{
    if (!link_.IsOpen() || link_.IsReading() || readingParameters_)
        return;
    if (OperatorMessage::Show(this, FixedTexts::ReadParametersQuestion(), OperatorMessage::Icon::Question,
                              QMessageBox::Ok | QMessageBox::Cancel, FixedTexts::QuestionTitle())
        != QMessageBox::Ok)
        return;

    // The exchange takes up to about a second and a half on the link's worker; the dump comes back.
    readingParameters_ = true;
    ui_->readParamButton->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    link_.ReadParameters();
}

void ScaleMainDialog::OnParametersRead(const QByteArray& dump, bool complete)
{
    readingParameters_ = false;
    QApplication::restoreOverrideCursor();
    ui_->readParamButton->setEnabled(link_.IsOpen() && !link_.IsReading());
    // A lost port is reported on its own; the window may have been closed meanwhile.
    if (!complete || finished_)
        return;
    ParameterDialog parameters(dump.toStdString(), this);
    parameters.exec();
}
