#pragma once

#include "dialogs/FieldsDialog.h"

#include <memory>
#include <string>

namespace Ui {
class NetworkPortDialog;
}

// Asks for a network port: the kind (a device server speaking RFC 2217, or raw TCP), the host and
// the TCP port. Ends Accepted only with a well-formed name, which Name() then gives
// ("rfc2217://HOST:PORT" or "socket://HOST:PORT").
class NetworkPortDialog : public FieldsDialog {
    Q_OBJECT
public:
    // `shown` (may be empty) fills the fields, e.g. with the address used last.
    explicit NetworkPortDialog(const std::string& shown, QWidget* parent = nullptr);
    ~NetworkPortDialog() override;

    const std::string& Name() const { return name_; }

protected:
    bool exchangeFromControls() override;

private:
    std::unique_ptr<Ui::NetworkPortDialog> ui_;
    std::string name_;
};
