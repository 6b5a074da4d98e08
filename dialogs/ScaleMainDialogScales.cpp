// The main dialog's way to the shop's scales: the list window and the sending of each scale's
// commodity list to all of them at once.
#include "dialogs/ScaleMainDialog.h"

#include "ui_ScaleMainDialog.h"

#include "controls/GbkConvert.h"
#include "controls/OperatorMessage.h"
#include "dialogs/ScalesDialog.h"
#include "dialogs/SendToScalesDialog.h"
#include "settings/AppPaths.h"
#include "settings/ScaleList.h"

void ScaleMainDialog::OnScales()
{
    ScalesDialog scales(this);
    scales.exec();
}

void ScaleMainDialog::OnSendToScales()
{
    // Each scale gets the list of its series from that series' file: the list on screen is
    // written there first.
    if (series_ != ScaleSeries::None && !SaveTable(series_, true))
        return;
    ScaleList list;
    if (const auto problem = ScaleList::Load(AppPaths::InApplicationDirectory(ScaleList::kFileName), list)) {
        OperatorMessage::Show(this, tr("The scale list cannot be read: %1").arg(QString::fromLocal8Bit(problem->c_str())),
                              OperatorMessage::Icon::Warning);
        return;
    }
    SendToScalesDialog send(list.Entries(), ToGbk(ui_->corpEdit->text()), &link_, this);
    send.exec();
    if (const QString summary = send.Summary(); !summary.isEmpty())
        ShowStatus(summary);
}
