#pragma once

#include "dialogs/EnableRule.h"
#include "dialogs/ScaleMainDialog.h"
#include "support/ControlLookup.h"
#include "support/TempDirectory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QTimer>

#include <functional>

// Shared by the main dialog's tests: settings, control access and the state the enable rule sets.
namespace MainDialogSupport {

// Writes Option.ini with these lines in section "System".
inline void WriteSystemSettings(const TempAppDirectory& dir, const QByteArray& lines)
{
    dir.WriteFile("Option.ini", "[System]\r\n" + lines);
}

inline QComboBox* Combo(const QWidget* dialog, int id)
{
    return RequireControl<QComboBox>(dialog, id);
}

inline QAbstractButton* Button(const QWidget* dialog, int id)
{
    return RequireControl<QAbstractButton>(dialog, id);
}

inline QLineEdit* Edit(const QWidget* dialog, int id)
{
    return RequireControl<QLineEdit>(dialog, id);
}

// id -> enabled, for every control the rule governs.
inline QMap<int, bool> EnabledStates(const QWidget* dialog)
{
    QMap<int, bool> states;
    for (const auto& control : EnableRule::Evaluate(false, 0, false).controls)
        states.insert(control.id, RequireControl<QWidget>(dialog, control.id)->isEnabled());
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
