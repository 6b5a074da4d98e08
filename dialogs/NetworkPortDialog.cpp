#include "dialogs/NetworkPortDialog.h"

#include "controls/OperatorMessage.h"
#include "link/NetworkPortName.h"

#include "ui_NetworkPortDialog.h"

namespace {

// The kind list's entries, in the .ui file's order.
enum KindEntry { Rfc2217Entry, RawEntry };

} // namespace

NetworkPortDialog::NetworkPortDialog(const std::string& shown, QWidget* parent)
    : FieldsDialog(parent)
    , ui_(std::make_unique<Ui::NetworkPortDialog>())
{
    ui_->setupUi(this);
    connect(ui_->okButton, &QPushButton::clicked, this, &NetworkPortDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &NetworkPortDialog::reject);
    if (const auto address = NetworkPortName::Parse(shown)) {
        ui_->kindCombo->setCurrentIndex(address->kind == NetworkPortName::Kind::Raw ? RawEntry : Rfc2217Entry);
        ui_->hostEdit->setText(QString::fromStdString(address->host));
        ui_->portSpin->setValue(address->port);
    }
    ui_->hostEdit->setFocus();
}

NetworkPortDialog::~NetworkPortDialog() = default;

bool NetworkPortDialog::exchangeFromControls()
{
    NetworkPortName::Address address;
    address.kind = ui_->kindCombo->currentIndex() == RawEntry ? NetworkPortName::Kind::Raw : NetworkPortName::Kind::Rfc2217;
    address.host = ui_->hostEdit->text().trimmed().toStdString();
    if (address.host.size() > 2 && address.host.front() == '[' && address.host.back() == ']')
        address.host = address.host.substr(1, address.host.size() - 2);
    address.port = ui_->portSpin->value();
    const std::string name = NetworkPortName::Format(address);
    if (!NetworkPortName::Parse(name)) {
        OperatorMessage::Show(this, tr("Enter the host as a name, an IPv4 address or an IPv6 address."));
        ui_->hostEdit->setFocus();
        return false;
    }
    name_ = name;
    return true;
}
