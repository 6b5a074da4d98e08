#pragma once

#include "dialogs/PortLink.h"
#include "dialogs/ScaleMainDialog.h"
#include "rules/EnableRule.h"
#include "sim/VirtualScale.h"
#include "support/ControlLookup.h"
#include "support/TempDirectory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMap>
#include <QTest>
#include <QTimer>

#include <functional>

// Shared by the main dialog's tests: settings, control access and the state the enable rule sets.
namespace MainDialogSupport {

inline QComboBox* Combo(const QWidget* dialog, const char* name)
{
    return RequireControl<QComboBox>(dialog, name);
}

inline QAbstractButton* Button(const QWidget* dialog, const char* name)
{
    return RequireControl<QAbstractButton>(dialog, name);
}

inline QLineEdit* Edit(const QWidget* dialog, const char* name)
{
    return RequireControl<QLineEdit>(dialog, name);
}

// The port link every exchange of the dialog goes through.
inline PortLink& LinkOf(const QWidget* dialog)
{
    return *RequireControl<PortLink>(dialog, "portLink");
}

// Puts the scale's port into the list and opens it.
inline bool OpenOn(QWidget& dialog, const VirtualScale& scale)
{
    QComboBox* ports = Combo(&dialog, "portCombo");
    ports->addItem(QString::fromStdString(scale.PortPath()));
    ports->setCurrentIndex(ports->count() - 1);
    Button(&dialog, "openButton")->click();
    // The port opens on the link's worker.
    const QString close = QCoreApplication::translate("ScaleMainDialog", "Cl&ose port");
    return QTest::qWaitFor([&] { return Button(&dialog, "openButton")->text() == close; }, 2000);
}

// True from the start of automatic reading until its end has been reported.
inline bool IsReading(const QWidget* dialog)
{
    return LinkOf(dialog).IsReading();
}

// The object name in the main dialog's form of each control the enable rule governs.
inline const char* ObjectName(EnableRule::Control control)
{
    using enum EnableRule::Control;
    switch (control) {
    case PortList: return "portCombo";
    case BaudList: return "baudCombo";
    case CompanyName: return "corpEdit";
    case CompanyButton: return "companyButton";
    case Upload: return "uploadButton";
    case Zero: return "zeroButton";
    case Tare: return "tareButton";
    case NewBaudList: return "newBaudCombo";
    case SetBaud: return "setBaudButton";
    case PrintSetup: return "printSetupButton";
    case PrintA15: return "printA15Button";
    case PrintA16: return "printA16Button";
    case CommodityList: return "commodityList";
    case AutoRead: return "autoReadCheck";
    case ActiveReturn: return "activeReturnCheck";
    case PostbackList: return "postbackCombo";
    case PostbackButton: return "postbackButton";
    case More: return "moreButton";
    case ReadParameters: return "readParamButton";
    }
    return "";
}

// Object name -> enabled, for every control the rule governs.
inline QMap<QString, bool> EnabledStates(const QWidget* dialog)
{
    QMap<QString, bool> states;
    for (const auto& state : EnableRule::Evaluate(false, ScaleSeries::Zud, false).controls)
        states.insert(ObjectName(state.control), RequireControl<QWidget>(dialog, ObjectName(state.control))->isEnabled());
    return states;
}

// Runs `action` once the next modal dialog is up (polling), then closes that dialog.
inline void WhenModalShows(const std::function<void(QWidget*)>& action, QWidget* besides = nullptr)
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action, besides] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == besides)
            return;
        poll->stop();
        poll->deleteLater();
        action(modal);
        modal->close();
    });
    poll->start();
}

} // namespace MainDialogSupport
