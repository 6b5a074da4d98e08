#include "dialogs/ScaleMainDialog.h"

#include "ui_ScaleMainDialog.h"

#include "controls/GbkConvert.h"
#include "controls/SelectStored.h"
#include "controls/SettingsReport.h"
#include "controls/StatusLamp.h"
#include "controls/TextFieldGuard.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/FindScaleDialog.h"
#include "dialogs/LineMonitorWindow.h"
#include "dialogs/MoreSettingsDialog.h"
#include "link/SerialLink.h"
#include "print/KeyboardSheetPrinting.h"
#include "rules/EnableRule.h"
#include "settings/AppPaths.h"
#include "settings/Profile.h"
#include "sim/VirtualScale.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QProgressDialog>
#include <QScrollBar>
#include <QSignalBlocker>


namespace {

constexpr const char* kSystem = "System";
// How often the port list looks for devices that came or went while the port is closed.
constexpr int kPortWatchMs = 1000;

int ReadSetting(const char* key, int fallback)
{
    return Profile::ReadInt(AppPaths::SettingsPath(), kSystem, key, fallback);
}

} // namespace

ScaleMainDialog::ScaleMainDialog(QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::ScaleMainDialog>())
{
    ui_->setupUi(this);
    link_.setObjectName(QStringLiteral("portLink"));

    // The About entry: the window has no system menu here, so it sits in the dialog's context menu
    // and, without its mnemonic (which "Automatic reading" uses), on a small button.
    QString about = tr("About VELK(&A)...");
    about.remove(QStringLiteral("(&A)"));
    about.remove(QLatin1Char('&'));
    ui_->aboutButton->setText(about);
    ui_->aboutButton->setIcon(QIcon(QStringLiteral(":/scale.png")));

    // Import and export share one button with a menu, in the free place beside "More".
    auto* csvMenu = new QMenu(ui_->csvButton);
    csvMenu->setObjectName(QStringLiteral("csvMenu"));
    csvMenu->addAction(tr("&Import from CSV..."), this, &ScaleMainDialog::OnImportCsv)
        ->setObjectName(QStringLiteral("importCsvAction"));
    csvMenu->addAction(tr("&Export to CSV..."), this, &ScaleMainDialog::OnExportCsv)
        ->setObjectName(QStringLiteral("exportCsvAction"));
    ui_->csvButton->setMenu(csvMenu);

    setWindowIcon(QIcon(QStringLiteral(":/scale.png")));

    // The lamp (which keeps out of the skin by itself) shows only while reading runs.
    QSizePolicy keepSpace = ui_->lamp->sizePolicy();
    keepSpace.setRetainSizeWhenHidden(true);
    ui_->lamp->setSizePolicy(keepSpace);
    ui_->lamp->hide();

    FillPortList();

    EditableListCtrl* list = ui_->commodityList;
    list->SetTable(&table_);
    list->SetLockFirstRow(false);
    // Wide enough for all its columns, so the window never opens with the prices cut off.
    const int rowHeader = list->verticalHeader()->isHidden() ? 0 : list->verticalHeader()->sizeHint().width();
    list->setMinimumWidth(list->horizontalHeader()->length() + rowHeader
                          + list->verticalScrollBar()->sizeHint().width() + 2 * list->frameWidth());

    SelectFromSettings();
    ui_->corpEdit->setText(FromGbk(Profile::ReadText(AppPaths::SettingsPath(), kSystem, "Corp", "")));
    // The name goes to the scale as one line and back into the settings file as one key.
    TextFieldGuard::Install(ui_->corpEdit);

    ConnectControls();
    ConnectLink();
    ConnectStatus();
    OnSeriesChanged();
    portWatch_.setInterval(kPortWatchMs);
    connect(&portWatch_, &QTimer::timeout, &link_, &PortLink::ListPorts);
    portWatch_.start();
}

ScaleMainDialog::~ScaleMainDialog()
{
    link_.StopReading();
    // A dialog destroyed without being ended still keeps what the operator set.
    if (!finished_) {
        finished_ = true;
        SaveTable(series_, false);
        SaveSettings();
    }
}

QWidget* ScaleMainDialog::Governed(EnableRule::Control control) const
{
    using enum EnableRule::Control;
    switch (control) {
    case PortList: return ui_->portCombo;
    case BaudList: return ui_->baudCombo;
    case CompanyName: return ui_->corpEdit;
    case CompanyButton: return ui_->companyButton;
    case Upload: return ui_->uploadButton;
    case Zero: return ui_->zeroButton;
    case Tare: return ui_->tareButton;
    case NewBaudList: return ui_->newBaudCombo;
    case SetBaud: return ui_->setBaudButton;
    case PrintSetup: return ui_->printSetupButton;
    case PrintA15: return ui_->printA15Button;
    case PrintA16: return ui_->printA16Button;
    case CommodityList: return ui_->commodityList;
    case AutoRead: return ui_->autoReadCheck;
    case ActiveReturn: return ui_->activeReturnCheck;
    case PostbackList: return ui_->postbackCombo;
    case PostbackButton: return ui_->postbackButton;
    case More: return ui_->moreButton;
    case ReadParameters: return ui_->readParamButton;
    }
    return nullptr;
}

void ScaleMainDialog::ConnectLink()
{
    connect(&link_, &PortLink::opened, this, &ScaleMainDialog::OnOpened);
    connect(&link_, &PortLink::closed, this, &ScaleMainDialog::OnClosed);
    connect(&link_, &PortLink::lost, this, &ScaleMainDialog::OnLost);
    connect(&link_, &PortLink::readingEnded, this, &ScaleMainDialog::OnReaderFinished);
    connect(&link_, &PortLink::valueRead, this, &ScaleMainDialog::ShowValue);
    connect(&link_, &PortLink::stableRead, this, [this](bool stable) {
        if (link_.IsReading())
            ui_->lamp->SetState(stable ? LampState::Stable : LampState::Unstable);
    });
    connect(&link_, &PortLink::uploadProgress, this, [this](int sent) {
        // A window-modal progress window runs the event loop inside setValue(): it is set after
        // the batch of reports, so no report is handled in the middle of another.
        uploadShown_ = sent;
        if (uploadShowPending_)
            return;
        uploadShowPending_ = true;
        QTimer::singleShot(0, this, [this] {
            uploadShowPending_ = false;
            if (uploadProgress_)
                uploadProgress_->setValue(uploadShown_);
        });
    });
    connect(&link_, &PortLink::uploadDraining, this, &ScaleMainDialog::OnUploadDraining);
    connect(&link_, &PortLink::lineHeld, this, &ScaleMainDialog::OnLineHeld);
    connect(&link_, &PortLink::uploadEnded, this, &ScaleMainDialog::OnUploadEnded);
    connect(&link_, &PortLink::parametersRead, this, &ScaleMainDialog::OnParametersRead);
    connect(&link_, &PortLink::portsListed, this, &ScaleMainDialog::OnPortsListed);
}

void ScaleMainDialog::FillPortList()
{
    // Listed here at once, so that the stored entry can be selected; later the worker lists them.
    listedPorts_ = PortLink::SystemPorts();
    for (const QString& port : listedPorts_)
        ui_->portCombo->addItem(port, port.toLocal8Bit());
    // A scale of our own for trying the tool without hardware; "[System] VirtualScale=0" hides it.
    if (ReadSetting("VirtualScale", 1) != 0) {
        demoIndex_ = ui_->portCombo->count();
        ui_->portCombo->addItem(tr("Virtual scale (demo)"));
    }
    AddNetworkEntries();
}

std::string ScaleMainDialog::PortPathAt(int entry) const
{
    const QByteArray listed = ui_->portCombo->itemData(entry).toByteArray();
    return !listed.isEmpty() ? listed.toStdString() : ui_->portCombo->itemText(entry).toStdString();
}

void ScaleMainDialog::SelectFromSettings()
{
    // "SelectVirtualScale=1" (the demo's first start) chooses the virtual scale once; the stored
    // entry counts again from the next start.
    const bool virtualFirst = demoIndex_ >= 0 && ReadSetting("SelectVirtualScale", 0) != 0;
    SelectStored(ui_->portCombo, virtualFirst ? demoIndex_ : ReadSetting("Port", 0));
    SelectStored(ui_->baudCombo, ReadSetting("Baudrate", 2));
    SelectStored(ui_->modelCombo, ReadSetting("Type", 0));
    SelectStored(ui_->newBaudCombo, ReadSetting("Baudrate2", 2));
    SelectStored(ui_->postbackCombo, ReadSetting("BackDataRate", 0));
}

void ScaleMainDialog::ConnectControls()
{
    connect(ui_->openButton, &QPushButton::clicked, this, &ScaleMainDialog::OnOpenClose);
    connect(ui_->modelCombo, &QComboBox::currentIndexChanged, this, &ScaleMainDialog::OnSeriesChanged);
    connect(ui_->companyButton, &QPushButton::clicked, this, &ScaleMainDialog::OnSetupCompanyName);
    connect(ui_->uploadButton, &QPushButton::clicked, this, &ScaleMainDialog::OnUploadCommodity);
    connect(ui_->tareButton, &QPushButton::clicked, this, &ScaleMainDialog::OnTare);
    connect(ui_->zeroButton, &QPushButton::clicked, this, &ScaleMainDialog::OnZero);
    connect(ui_->setBaudButton, &QPushButton::clicked, this, &ScaleMainDialog::OnSetBaud);
    connect(ui_->postbackButton, &QPushButton::clicked, this, &ScaleMainDialog::OnSetPostback);
    connect(ui_->autoReadCheck, &QCheckBox::clicked, this, &ScaleMainDialog::OnAutomaticReading);
    connect(ui_->activeReturnCheck, &QCheckBox::toggled, this, [this](bool checked) { activeReturn_ = checked; });
    connect(ui_->moreButton, &QPushButton::clicked, this, &ScaleMainDialog::OnMore);
    connect(ui_->readParamButton, &QPushButton::clicked, this, &ScaleMainDialog::OnReadParameter);
    connect(ui_->printA15Button, &QPushButton::clicked, this,
            [this] { FinishCellEdit(); ShowKeyboardSheetPreview(this, table_, SheetLayout::A15); });
    connect(ui_->printA16Button, &QPushButton::clicked, this,
            [this] { FinishCellEdit(); ShowKeyboardSheetPreview(this, table_, SheetLayout::A16); });
    connect(ui_->printSetupButton, &QPushButton::clicked, this, [this] { RunPrintFontSetup(this); });
    connect(ui_->aboutButton, &QPushButton::clicked, this, &ScaleMainDialog::ShowAbout);
    connect(ui_->escButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->findButton, &QPushButton::clicked, this, &ScaleMainDialog::OnFindScale);
    connect(ui_->monitorButton, &QPushButton::clicked, this, &ScaleMainDialog::OnLineMonitor);
    connect(ui_->scalesButton, &QPushButton::clicked, this, &ScaleMainDialog::OnScales);
    connect(ui_->sendScalesButton, &QPushButton::clicked, this, &ScaleMainDialog::OnSendToScales);
}

ScaleSeries ScaleMainDialog::SelectedSeries() const
{
    const int entry = ui_->modelCombo->currentIndex();
    return entry >= int(ScaleSeries::Zud) && entry <= int(ScaleSeries::Rivav) ? ScaleSeries(entry) : ScaleSeries::None;
}

void ScaleMainDialog::SelectSeries(ScaleSeries series)
{
    SelectStored(ui_->modelCombo, int(series));
}

void ScaleMainDialog::ApplyEnableRule()
{
    const EnableRule::Outcome outcome =
        EnableRule::Evaluate(link_.IsOpen(), SelectedSeries(), ui_->autoReadCheck->isChecked());
    for (const EnableRule::ControlState& state : outcome.controls) {
        if (state.control == EnableRule::Control::ActiveReturn && outcome.uncheckActiveReturn)
            ui_->activeReturnCheck->setChecked(false);
        Governed(state.control)->setEnabled(state.enabled);
    }
    // One upload at a time; one open or close at a time.
    if (link_.IsUploading())
        ui_->uploadButton->setEnabled(false);
    ExplainDisabled(outcome);
    ui_->openButton->setEnabled(!link_.IsChanging());
    ui_->findButton->setEnabled(!link_.IsOpen() && !link_.IsChanging());
    ShowBaudForPort();
}

void ScaleMainDialog::OnSeriesChanged()
{
    // The Model list can change under an open cell editor (a mouse wheel takes no focus): what was
    // typed belongs to the list being left, not to the one about to be loaded.
    FinishCellEdit();
    ApplyEnableRule();
    if (series_ != ScaleSeries::None && !SaveTable(series_, true)) {
        // Cancelled: the series stays as it was, with the edits in the list.
        const QSignalBlocker keep(ui_->modelCombo);
        SelectSeries(series_);
        ApplyEnableRule();
        return;
    }
    series_ = SelectedSeries();
    ClearReadings();
    if (link_.IsReading())
        ShowLamp();
    LoadTable();
    ui_->commodityList->Refresh();
    // The RIVAV series keeps no commodity list.
    ui_->csvButton->setEnabled(series_ != ScaleSeries::Rivav);
    if (series_ == ScaleSeries::Zud) {
        ui_->caption1->setText(tr("Gross"));
        ui_->caption2->setText(tr("TARE"));
        ui_->caption3->setText(tr("Net"));
    } else {
        ui_->caption1->setText(tr("Net"));
        ui_->caption2->setText(tr("Price"));
        ui_->caption3->setText(tr("Total"));
    }
}

void ScaleMainDialog::OnMore()
{
    // The box stays checked until the link reports the end of reading, as before the dialog's
    // Sets could compete with it.
    if (link_.IsReading())
        ShowStatus(tr("Automatic reading stopped for the settings"));
    link_.StopReading();
    MoreSettingsDialog more(link_, this);
    more.exec();
}

void ScaleMainDialog::ShowAbout()
{
    AboutDialog about(this);
    about.exec();
}

void ScaleMainDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter never ends the dialog or presses a button; only Esc, the ESC button and the close box do.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    // Escape that ended a cell edit is passed on by the editor; it must not end the whole program
    // as well. Escape pressed in the list with no cell open still does.
    if (event->key() == Qt::Key_Escape && ui_->commodityList->PassingOnEditorKey()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ScaleMainDialog::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(QIcon(QStringLiteral(":/scale.png")), tr("About VELK(&A)..."), this, &ScaleMainDialog::ShowAbout);
    menu.exec(event->globalPos());
}

void ScaleMainDialog::SaveSettings()
{
    const std::string& path = AppPaths::SettingsPath();
    bool written = Profile::WriteInt(path, kSystem, "Port", ui_->portCombo->currentIndex());
    if (ReadSetting("SelectVirtualScale", 0) != 0)
        written = Profile::WriteInt(path, kSystem, "SelectVirtualScale", 0) && written;
    written = Profile::WriteInt(path, kSystem, "Baudrate", ui_->baudCombo->currentIndex()) && written;
    written = Profile::WriteInt(path, kSystem, "Type", ui_->modelCombo->currentIndex()) && written;
    written = Profile::WriteInt(path, kSystem, "Baudrate2", ui_->newBaudCombo->currentIndex()) && written;
    written = Profile::WriteText(path, kSystem, "Corp", ToGbk(ui_->corpEdit->text())) && written;
    ReportSettingsWrites(this, written);
}

void ScaleMainDialog::done(int result)
{
    if (!finished_) {
        // Closing by the close box leaves an open editor as it is; its last key is not in the cell
        // yet. Cancel keeps the dialog open.
        if (!SaveTable(series_, true))
            return;
        finished_ = true;
        link_.StopReading();
        SaveSettings();
    }
    QDialog::done(result);
}

