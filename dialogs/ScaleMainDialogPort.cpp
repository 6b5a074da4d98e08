// The main dialog's port: open and close, what the link reports of them, and the port list that
// follows the system's devices.
#include "dialogs/ScaleMainDialog.h"

#include "ui_ScaleMainDialog.h"

#include "controls/OperatorMessage.h"
#include "controls/StatusLamp.h"
#include "dialogs/PortWords.h"
#include "link/SerialLink.h"
#include "settings/LeadingInteger.h"
#include "sim/VirtualScale.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

void ScaleMainDialog::OnOpenClose()
{
    if (link_.IsChanging())
        return;
    if (link_.IsOpen())
        ClosePort();
    else
        OpenPort();
}

void ScaleMainDialog::OpenPort()
{
    const int entry = ui_->portCombo->currentIndex();
    const int baud = LeadingInteger::Wrapped(ui_->baudCombo->currentText().toStdString());
    openCaption_ = ui_->portCombo->currentText();
    std::string name;
    if (entry >= 0 && entry == demoIndex_) {
        demoScale_ = std::make_unique<VirtualScale>();
        // Loads come and go on the demo's pan, so that reading, TARE and Zero show something.
        demoScale_->StartLife();
        if (!demoScale_->Start()) {
            demoScale_.reset();
            OperatorMessage::Show(this, tr("Open port fail") + QLatin1Char('\n') + tr("The virtual scale could not be started."),
                                  OperatorMessage::Icon::Error);
            return;
        }
        name = demoScale_->PortPath();
    } else {
        name = PortPathAt(entry);
    }
    portWatch_.stop();
    // The port opens on the link's worker; the window hears the result.
    link_.Open(name, baud);
    ApplyEnableRule();
}

void ScaleMainDialog::OnOpened(int error)
{
    if (error == 0) {
        // What the fields show was read on another port.
        ClearReadings();
        ui_->openButton->setText(tr("Cl&ose port"));
        ApplyEnableRule();
        return;
    }
    const bool demo = demoScale_ != nullptr;
    ShowClosed();
    ShowAfterReports(demo ? tr("Open port fail") : PortWords::OpenFailure(link_.PortName(), error));
}

void ScaleMainDialog::ShowAfterReports(const QString& text)
{
    // Opened once the batch of reports that asked for it is through, so a later report (a loss)
    // never waits behind the box while the window still shows what came before.
    QMetaObject::invokeMethod(
        this, [this, text] { OperatorMessage::Show(this, text, OperatorMessage::Icon::Error); }, Qt::QueuedConnection);
}

void ScaleMainDialog::ClosePort()
{
    if (ui_->autoReadCheck->isChecked()) {
        ui_->autoReadCheck->setChecked(false);
        OnAutomaticReading(false);
    }
    // The close runs on the link's worker after what was asked before; the window hears its end.
    link_.Close();
    ApplyEnableRule();
}

void ScaleMainDialog::OnClosed()
{
    ShowClosed();
}

void ScaleMainDialog::ShowClosed()
{
    demoScale_.reset();
    ui_->openButton->setText(tr("&Open port"));
    ApplyEnableRule();
    portWatch_.start();
}

void ScaleMainDialog::OnLost(int fault, int error)
{
    // What was read before is no longer the scale's weight.
    ClearReadings();
    ui_->autoReadCheck->setChecked(false);
    ui_->lamp->hide();
    ShowClosed();
    ShowAfterReports(tr("The connection to %1 was lost.").arg(openCaption_) + QLatin1Char('\n')
                     + PortWords::LossReason(fault, error));
}

void ScaleMainDialog::OnPortsListed(const QStringList& ports)
{
    if (ports == listedPorts_ || link_.IsOpen() || link_.IsChanging())
        return;
    QComboBox* combo = ui_->portCombo;
    const QString selected = combo->currentText();
    QStringList gone = listedPorts_;
    if (!absentChoice_.isEmpty())
        gone << absentChoice_;
    absentChoice_.clear();
    for (const QString& port : gone) {
        if (ports.contains(port))
            continue;
        // The operator's choice stays chosen while its device is away (an adapter replugged), so
        // the next Open port never opens another port, and it is there again when it comes back.
        if (port == selected)
            absentChoice_ = port;
        else
            combo->removeItem(combo->findText(port, Qt::MatchExactly));
    }
    // New devices go before the virtual scale, which stays last.
    for (const QString& port : ports) {
        if (combo->findText(port, Qt::MatchExactly) < 0) {
            const int at = combo->count() - TailEntries();
            combo->insertItem(at, port, port.toLocal8Bit());
        }
    }
    if (demoIndex_ >= 0)
        demoIndex_ = combo->count() - TailEntries();
    listedPorts_ = ports;
    const int again = combo->findText(selected, Qt::MatchExactly);
    if (again >= 0)
        combo->setCurrentIndex(again);
}

