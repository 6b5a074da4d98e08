// The port list's network ports: the addresses kept from before, the "Network port..." entry that
// asks for a new one, and what the window says when one cannot be reached.

#include "dialogs/ScaleMainDialog.h"

#include "ui_ScaleMainDialog.h"

#include "controls/SettingsReport.h"
#include "dialogs/NetworkPortDialog.h"
#include "link/NetworkPortName.h"
#include "settings/AppPaths.h"
#include "settings/Profile.h"

#include <QSignalBlocker>

#include <string>
#include <vector>

namespace {

constexpr const char* kSystem = "System";
// Marks the entry that asks for a new network port.
constexpr int kChooserRole = Qt::UserRole + 1;

std::string KeptKey(std::size_t i)
{
    return "NetworkPort" + std::to_string(i + 1);
}

std::vector<std::string> ReadKept()
{
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < NetworkPortName::kKept; ++i)
        kept.push_back(Profile::ReadText(AppPaths::SettingsPath(), kSystem, KeptKey(i), ""));
    return NetworkPortName::Remembered(kept, std::string());
}

} // namespace

void ScaleMainDialog::AddNetworkEntries()
{
    for (const std::string& name : ReadKept())
        ui_->portCombo->addItem(QString::fromStdString(name), QByteArray::fromStdString(name));
    ui_->portCombo->addItem(tr("Network port..."));
    ui_->portCombo->setItemData(ui_->portCombo->count() - 1, true, kChooserRole);
    // The asking entry is never left selected: a choice of it goes back at once, then asks.
    lastPortEntry_ = ui_->portCombo->currentIndex();
    connect(ui_->portCombo, &QComboBox::currentIndexChanged, this, [this](int entry) {
        if (IsNetworkChooser(entry) && lastPortEntry_ != entry && lastPortEntry_ < ui_->portCombo->count())
            ui_->portCombo->setCurrentIndex(lastPortEntry_);
        else
            lastPortEntry_ = entry;
        ShowBaudForPort();
    });
    connect(ui_->portCombo, &QComboBox::activated, this, [this](int entry) {
        if (IsNetworkChooser(entry))
            AskNetworkPort();
    });
}

bool ScaleMainDialog::IsNetworkChooser(int entry) const
{
    return entry >= 0 && ui_->portCombo->itemData(entry, kChooserRole).toBool();
}

int ScaleMainDialog::TailEntries() const
{
    int tail = demoIndex_ >= 0 ? 1 : 0;
    for (int entry = 0; entry < ui_->portCombo->count(); ++entry) {
        if (IsNetworkChooser(entry) || NetworkPortName::HasNetworkScheme(PortPathAt(entry)))
            ++tail;
    }
    return tail;
}

void ScaleMainDialog::ShowBaudForPort()
{
    // A raw network port runs at the device server's own rate: there is no rate to choose.
    const auto address = NetworkPortName::Parse(PortPathAt(ui_->portCombo->currentIndex()));
    const bool raw = address && address->kind == NetworkPortName::Kind::Raw;
    ui_->baudCombo->setEnabled(ui_->portCombo->isEnabled() && !raw);
}

void ScaleMainDialog::AskNetworkPort()
{
    const std::vector<std::string> kept = ReadKept();
    NetworkPortDialog dialog(kept.empty() ? std::string() : kept.front(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::vector<std::string> remembered = NetworkPortName::Remembered(kept, dialog.Name());
    bool written = true;
    for (std::size_t i = 0; i < NetworkPortName::kKept; ++i)
        written = Profile::WriteText(AppPaths::SettingsPath(), kSystem, KeptKey(i),
                                     i < remembered.size() ? remembered[i] : std::string()) && written;
    ReportSettingsWrites(this, written);
    // The list's kept entries follow the kept order; the new one is selected.
    QComboBox* combo = ui_->portCombo;
    const QSignalBlocker quiet(combo);
    for (int entry = combo->count() - 1; entry >= 0; --entry) {
        if (NetworkPortName::HasNetworkScheme(PortPathAt(entry)))
            combo->removeItem(entry);
    }
    int at = combo->count() - 1;  // before the asking entry
    for (const std::string& name : remembered)
        combo->insertItem(at++, QString::fromStdString(name), QByteArray::fromStdString(name));
    lastPortEntry_ = combo->findData(QByteArray::fromStdString(dialog.Name()));
    combo->setCurrentIndex(lastPortEntry_);
    ShowBaudForPort();
}
