#pragma once

#include "commodity/CommodityTable.h"
#include "link/ScaleCommand.h"
#include "link/SerialLink.h"
#include "link/WeightReader.h"

#include <QDialog>
#include <QHash>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QComboBox;
class VirtualScale;

namespace Ui {
class ScaleMainDialog;
}

// The tool's window: port, baud rate and series choices, the scale commands, the reading test and
// the commodity list. It owns the port handle, the commodity table, the weight reader and, while
// its entry is open, the virtual scale.
class ScaleMainDialog : public QDialog {
    Q_OBJECT
public:
    explicit ScaleMainDialog(QWidget* parent = nullptr);
    ~ScaleMainDialog() override;

    // Stops the reader and writes the settings and the commodity list before the dialog ends.
    void done(int result) override;

    // The virtual scale behind the "Virtual scale (demo)" entry while that entry is open; else null.
    VirtualScale* DemoScale() const { return demoScale_.get(); }
    // True while the weight reader's loop runs.
    bool IsReading() const { return reader_.IsRunning(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    WeightReader::Callbacks ReaderCallbacks();
    // Called on the reader's thread: queues `event` for the window's thread and wakes it.
    void PostReaderEvent(std::function<void()> event);
    // Runs the queued reader events on the window's thread.
    Q_INVOKABLE void RunReaderEvents();
    QWidget* Control(int id) const;

    void FillPortList();
    void SelectFromSettings();
    void ConnectControls();

    void ApplyEnableRule();
    void OnSeriesChanged();
    void OnOpenClose();
    void OpenPort();
    void ClosePort();
    void OnAutomaticReading(bool checked);
    void OnReaderFinished();
    void ShowLamp(bool visible);
    void ShowReading(int fieldId, const std::string& text);

    void OnTare();
    void OnZero();
    void OnSetBaud();
    void OnSetPostback();
    void OnSetupCompanyName();
    void OnUploadCommodity();
    void OnMore();
    void OnReadParameter();
    void ShowAbout();

    void Send(const Bytes& bytes);
    // Loads the table from the file of series_; tells the operator when the file cannot be read.
    void LoadTable();
    // Writes the table to the file of `series` before it is left. A file that could not be read is
    // replaced only when the table was changed and the operator agrees; a failed write is offered
    // again. False when the operator cancels (only offered when `mayCancel`): the table stays.
    bool SaveTable(int series, bool mayCancel);
    // Writes the settings; tells the operator once when the file cannot be written.
    void SaveSettings();
    // Puts the text of an open cell editor into its cell and closes the editor.
    void FinishCellEdit();

    std::unique_ptr<Ui::ScaleMainDialog> ui_;
    QHash<int, QWidget*> controls_;

    CommodityTable table_;
    // The table as loaded, to tell whether the operator changed it, and whether its file could not
    // be read (it is then kept unless the operator agrees to replace it).
    CommodityTable loadedTable_;
    bool unreadableFile_ = false;
    SerialLink::PortHandle port_;
    std::unique_ptr<VirtualScale> demoScale_;
    int demoIndex_ = -1;  // entry of the virtual scale in the port list, -1 when not offered

    // Shared with the reader's thread: the series whose table is loaded (-1 before the first
    // series change) and the state of "Active return".
    std::atomic<int> series_{SeriesNone};
    std::atomic<bool> activeReturn_{false};
    // What the reader reports, waiting for the window's thread. The data travels under this lock,
    // not inside the wake-up, so every hand-over is a plain mutex hand-over.
    std::mutex readerEventsMutex_;
    std::vector<std::function<void()>> readerEvents_;
    // Declared after everything it reads, so it is stopped and joined before they go.
    WeightReader reader_;

    bool finished_ = false;
};
