#pragma once

#include "dialogs/FieldsDialog.h"
#include "dialogs/PortLink.h"

#include <functional>
#include <string>

class QAbstractButton;
class QComboBox;
class QLabel;

// A settings dialog that sends its commands through the opener's port link; it never opens or closes the port.
class ScaleSettingsDialog : public FieldsDialog {
    Q_OBJECT
public:
    ScaleSettingsDialog(PortLink& link, QWidget* parent = nullptr);

protected:
    // An empty command (a handler that found nothing to send) writes nothing; neither does a closed
    // port. `what` names the command on the status line, which says whether it left whole.
    void send(const std::string& bytes, const QString& what);
    // A button whose click reads the fields first (a field that does not parse is reported and the
    // click goes on with the values read before), then sends what `command` builds from them.
    void sendOnClick(QAbstractButton* button, const QString& what, std::function<std::string()> command);
    // The status line goes below what the form lays out.
    void showEvent(QShowEvent* event) override;
    // What `build` makes of the list's chosen index; nothing while the list has no selection (the
    // settings file held an index it does not have), rather than a value the operator did not choose.
    static std::string ForChosen(const QComboBox* list, const std::function<std::string(int)>& build);
    // What `build` makes of `value` when it lies in [lowest, highest]; otherwise nothing, after
    // telling the operator `outOfRange`.
    std::string ForValueIn(int value, int lowest, int highest, const QString& outOfRange,
                           const std::function<std::string(int)>& build);

    PortLink& link_;

private:
    QLabel* statusLine_ = nullptr;
};
