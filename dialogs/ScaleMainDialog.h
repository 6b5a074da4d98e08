#pragma once

#include "commodity/CommodityTable.h"
#include "dialogs/PortLink.h"
#include "link/ScaleCommandSet.h"
#include "link/WeightReport.h"
#include "rules/EnableRule.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <memory>
#include <string>

class QLineEdit;
class LineMonitorWindow;
class QProgressDialog;
class VirtualScale;

namespace Ui {
class ScaleMainDialog;
}

// The tool's window: port, baud rate and series choices, the scale commands, the reading test and
// the commodity list. It owns the port link (every exchange runs on its worker), the commodity
// table and, while its entry is open, the virtual scale.
class ScaleMainDialog : public QDialog {
    Q_OBJECT
public:
    explicit ScaleMainDialog(QWidget* parent = nullptr);
    ~ScaleMainDialog() override;

    // Stops reading and writes the settings and the commodity list before the dialog ends.
    void done(int result) override;

    // The virtual scale behind the "Virtual scale (demo)" entry while that entry is open; else null.
    VirtualScale* DemoScale() const { return demoScale_.get(); }

    // CSV import (after the preview is accepted) into and export of the current series' table;
    // the menu of the Import/Export button asks for the file first.
    void ImportCsvFile(const QString& path);
    bool ExportCsvFile(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The control the enable rule names.
    QWidget* Governed(EnableRule::Control control) const;
    // The field a reading shows in.
    QLineEdit* ReadingField(WeightReport::Quantity quantity) const;
    void ConnectLink();

    void FillPortList();
    // What opening the port list's entry opens: the device path it was listed with, or its text.
    // Not for the virtual scale's entry, whose path exists only while its scale runs.
    std::string PortPathAt(int entry) const;
    void SelectFromSettings();
    void ConnectControls();

    // The series of the Model list's entry, None without one; and the entry of a series. The list
    // holds the series in their own order.
    ScaleSeries SelectedSeries() const;
    void SelectSeries(ScaleSeries series);

    void ApplyEnableRule();
    void OnSeriesChanged();
    void OnOpenClose();
    void OpenPort();
    void ClosePort();
    void OnOpened(int error);
    void OnClosed();
    void OnLost(int fault, int error);
    void ShowAfterReports(const QString& text);
    // Shows the port closed: caption, enable rule, the demo scale gone.
    void ShowClosed();
    void OnPortsListed(const QStringList& ports);
    void OnAutomaticReading(bool checked);
    void OnReaderFinished();
    // Shows the lamp while the reports of a series that reports stability are read; else hides it.
    void ShowLamp();
    // A reading decoded for another series than the one now selected is dropped: its fields
    // would be the wrong ones.
    void ShowValue(ScaleSeries series, WeightReport::Quantity quantity, const QByteArray& gbkText);

    void OnTare();
    void OnZero();
    void OnSetBaud();
    void OnSetPostback();
    void OnSetupCompanyName();
    void OnUploadCommodity();
    void OnUploadDraining();
    void OnLineHeld(bool held);
    void OnUploadEnded();
    void OnMore();
    void OnReadParameter();
    void OnParametersRead(const QByteArray& dump, bool complete);
    void ShowAbout();
    void OnImportCsv();
    void OnExportCsv();
    // Network ports (ScaleMainDialogNetwork.cpp): the kept addresses and the entry that asks for a
    // new one, added after the system's ports and the virtual scale.
    void AddNetworkEntries();
    bool IsNetworkChooser(int entry) const;
    // How many entries follow the system's ports: the virtual scale and the network entries.
    int TailEntries() const;
    // The rate list is not for a raw network port.
    void ShowBaudForPort();
    void AskNetworkPort();
    // Probes the listed ports for a scale and selects port, rate and series of the one chosen.
    void OnFindScale();
    void OnLineMonitor();
    // The shop's scales (ScaleMainDialogScales.cpp): the list window, and each scale's list sent to
    // all of them at once.
    void OnScales();
    void OnSendToScales();

    // Loads the table from the file of series_; tells the operator when the file cannot be read.
    void LoadTable();
    // Writes the table to the file of `series` before it is left. A file that could not be read is
    // replaced only when the table was changed and the operator agrees; a failed write is offered
    // again. False when the operator cancels (only offered when `mayCancel`): the table stays.
    bool SaveTable(ScaleSeries series, bool mayCancel);
    // Writes the settings; tells the operator once when the file cannot be written.
    void SaveSettings();
    // Puts the text of an open cell editor into its cell and closes the editor.
    void FinishCellEdit();

    // The operator's view of what happened (ScaleMainDialogStatus.cpp): the status line says what
    // was last sent and how it ended; the reading fields are emptied when their weight is another
    // port's or series', and drawn greyed after a second without a report; a disabled control's
    // tooltip says what enables it.
    void ConnectStatus();
    void ShowStatus(const QString& text);
    void ShowUploadEnded(bool complete);
    void ClearReadings();
    void ShowReadingsStale(bool stale);
    void ExplainDisabled(const EnableRule::Outcome& outcome);
    void ExplainReadParameter();

    std::unique_ptr<Ui::ScaleMainDialog> ui_;

    CommodityTable table_;
    // The table as loaded, to tell whether the operator changed it, and whether its file could not
    // be read (it is then kept unless the operator agrees to replace it).
    CommodityTable loadedTable_;
    bool unreadableFile_ = false;
    std::unique_ptr<VirtualScale> demoScale_;
    int demoIndex_ = -1;  // entry of the virtual scale in the port list, -1 when not offered
    int lastPortEntry_ = -1;  // the port list's entry chosen last, other than "Network port..."
    QString openCaption_;  // the port list's text of the port being opened or open
    QPointer<QProgressDialog> uploadProgress_;
    QString uploadStep_;  // what the upload's window says while the line moves
    QString absentChoice_;  // the chosen port, kept listed while its device is away
    int uploadSent_ = 0;  // lines the running upload has written so far
    int uploadShown_ = 0;  // the count the progress window is to show next
    bool uploadShowPending_ = false;
    QTimer staleReadings_;  // runs out a second after the last report
    bool readingParameters_ = false;
    // While the port is closed the list follows the system's ports.
    QTimer portWatch_;
    QStringList listedPorts_;

    // Shared with the reading cycle on the link's worker: the series whose table is loaded (None
    // before the first series change) and the state of "Active return".
    std::atomic<ScaleSeries> series_{ScaleSeries::None};
    std::atomic<bool> activeReturn_{false};
    // Declared after everything its worker reads, so it is ended before they go.
    // Every exchange goes through it. A child of the window like its controls ("portLink"); as a
    // member it still goes before the rest of the window.
    PortLink link_{this};

    bool finished_ = false;
    LineMonitorWindow* monitor_ = nullptr;  // made when first opened; a child window of this dialog
};
