// The main dialog's talk with the scale: weight reading and its lamp, tare, zero, baud rate and
// postback commands, the parameter readout, finding a scale and the line monitor.
#include "dialogs/ScaleMainDialog.h"

#include "ui_ScaleMainDialog.h"

#include "controls/FixedTexts.h"
#include "controls/GbkConvert.h"
#include "controls/OperatorMessage.h"
#include "controls/SelectStored.h"
#include "controls/StatusLamp.h"
#include "dialogs/FindScaleDialog.h"
#include "dialogs/LineMonitorWindow.h"
#include "dialogs/ParameterDialog.h"
#include "link/LineLog.h"
#include "settings/AppPaths.h"
#include "settings/LeadingInteger.h"
#include "settings/Profile.h"
#include "sim/VirtualScale.h"

QLineEdit* ScaleMainDialog::ReadingField(WeightReport::Quantity quantity) const
{
    // The fields read gross, tare and net for a ZUD scale, net, price and total for the others.
    using enum WeightReport::Quantity;
    switch (quantity) {
    case Gross: return ui_->value1;
    case Tare: return ui_->value2;
    case Net: return series_ == ScaleSeries::Zud ? ui_->value3 : ui_->value1;
    case Price: return ui_->value2;
    case Total: return ui_->value3;
    }
    return nullptr;
}

void ScaleMainDialog::OnAutomaticReading(bool checked)
{
    if (checked) {
        ui_->readParamButton->setEnabled(false);
        ExplainReadParameter();
        link_.StartReading([this] { return series_.load(); }, [this] { return activeReturn_.load(); },
                           [] { return Profile::ReadInt(AppPaths::SettingsPath(), "System", "Sleep", 100); });
        ShowLamp();
    } else {
        link_.StopReading();
    }
}

void ScaleMainDialog::OnReaderFinished()
{
    ui_->autoReadCheck->setChecked(false);
    ui_->lamp->hide();
    ui_->readParamButton->setEnabled(link_.IsOpen() && !readingParameters_);
    ExplainReadParameter();
}

void ScaleMainDialog::ShowLamp()
{
    // Only the RIVAV series reports stability; the lamp shows while its reports are being read.
    ui_->lamp->setVisible(series_ == ScaleSeries::Rivav && link_.IsReading());
}

void ScaleMainDialog::ShowValue(ScaleSeries series, WeightReport::Quantity quantity, const QByteArray& gbkText)
{
    if (series == series_)
        ReadingField(quantity)->setText(FromGbk(std::string_view(gbkText.constData(), std::size_t(gbkText.size()))));
}

void ScaleMainDialog::OnTare()
{
    link_.Send(ScaleCommandSet::Tare(series_), tr("Tare"));
}

void ScaleMainDialog::OnZero()
{
    link_.Send(ScaleCommandSet::Zero(series_), tr("Zero"));
}

void ScaleMainDialog::OnSetBaud()
{
    // Without a chosen rate there is nothing to tell the scale.
    if (ui_->newBaudCombo->currentIndex() < 0)
        return;
    const QString rate = ui_->newBaudCombo->currentText();
    link_.Send(ScaleCommandSet::SetBaud(rate.toStdString()), tr("Baud rate %1").arg(rate));
}

void ScaleMainDialog::OnSetPostback()
{
    const int rate = ui_->postbackCombo->currentIndex();
    if (rate < 0)
        return;
    link_.Send(ScaleCommandSet::SetPostbackFrequency(rate), tr("Postback rate"));
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
    // A lost port is reported on its own; the window may have been closed meanwhile. The window
    // opens once the batch of reports it came with is through (see ShowAfterReports).
    if (!complete)
        return;
    QMetaObject::invokeMethod(
        this,
        [this, dump] {
            if (finished_)
                return;
            ParameterDialog parameters(dump.toStdString(), this);
            parameters.exec();
        },
        Qt::QueuedConnection);
}

void ScaleMainDialog::OnFindScale()
{
    if (link_.IsOpen() || link_.IsChanging())
        return;
    // The demo entry is probed on a virtual scale of its own, set as the one Open port makes.
    std::unique_ptr<VirtualScale> probedDemo;
    std::vector<FindScaleDialog::Port> ports;
    for (int entry = 0; entry < ui_->portCombo->count(); ++entry) {
        const QString label = ui_->portCombo->itemText(entry);
        if (IsNetworkChooser(entry))
            continue;
        if (entry == demoIndex_) {
            probedDemo = std::make_unique<VirtualScale>(demoLine_);
            if (probedDemo->Start())
                ports.push_back({label, probedDemo->PortPath()});
            continue;
        }
        ports.push_back({label, PortPathAt(entry)});
    }
    std::vector<int> rates;
    for (int entry = 0; entry < ui_->baudCombo->count(); ++entry)
        rates.push_back(LeadingInteger::Wrapped(ui_->baudCombo->itemText(entry).toStdString()));

    FindScaleDialog dialog(std::move(ports), std::move(rates), this);
    if (dialog.exec() != QDialog::Accepted || !dialog.Chosen())
        return;
    // By text: the list may have been refilled while the scan ran.
    const FindScaleDialog::Choice choice = *dialog.Chosen();
    SelectStored(ui_->portCombo, ui_->portCombo->findText(choice.label));
    SelectStored(ui_->baudCombo, ui_->baudCombo->findText(QString::number(choice.baud)));
    SelectSeries(choice.series);
}

void ScaleMainDialog::OnLineMonitor()
{
    if (!monitor_) {
        monitor_ = new LineMonitorWindow(this);
        // Only a monitor on screen records: while it is closed the port's worker has no observer.
        connect(monitor_, &LineMonitorWindow::watchingChanged, this, [this](bool watching) {
            link_.SetLineObserver(watching ? monitor_->Recorder() : nullptr);
        });
    }
    monitor_->show();
    monitor_->raise();
    monitor_->activateWindow();
}
