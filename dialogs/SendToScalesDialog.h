#pragma once

#include "dialogs/ReportQueue.h"
#include "dialogs/ScaleSend.h"
#include "settings/ScaleList.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class PortLink;
class QProgressBar;
class QTreeWidgetItem;

namespace Ui {
class SendToScalesDialog;
}

// Sends each ticked scale of the shop's list the commodity list of its own series, all at once
// (kUploadsAtOnce at a time, the others wait their turn), each row showing its progress and then
// its result. A scale on the port the main window holds open is sent through the main window's
// link. Closing the window cancels what still runs; output already moving is waited for.
class SendToScalesDialog : public QDialog {
    Q_OBJECT
public:
    // `companyName`: the company name as GBK, sent before the list to the ZUD scales when not empty.
    // `mainLink`: the main window's link, or null.
    SendToScalesDialog(std::vector<ScaleEntry> scales, std::string companyName, PortLink* mainLink,
                       QWidget* parent = nullptr);
    ~SendToScalesDialog() override;

    // How the sending ended, for the main window's status line; empty when nothing was sent.
    QString Summary() const;

    void reject() override;

private:
    enum class State { Idle, Waiting, Running, Done, Failed };
    struct Row {
        ScaleEntry scale;
        QTreeWidgetItem* item = nullptr;
        QProgressBar* bar = nullptr;
        State state = State::Idle;
        int run = 0;  // the current run's number: an earlier run's reports are dropped
        std::unique_ptr<ScaleSend> send;
    };

    void AddRow(const ScaleEntry& scale);
    void SendTicked();
    void SendFailed();
    void CancelAll();
    void Queue(std::size_t index);
    // Starts waiting rows while fewer than kUploadsAtOnce run.
    void StartWaiting();
    void Start(std::size_t index);
    // The writes of the scale's series, or why it gets none.
    std::optional<QString> Prepare(const ScaleEntry& scale, ScaleSend::Writes& writes) const;
    void ShowEnded(std::size_t index, const UploadOutcome& outcome, std::optional<int> openError);
    void Finish(std::size_t index, bool done, const QString& result);
    bool Busy() const;
    void ShowButtons();

    std::unique_ptr<Ui::SendToScalesDialog> ui_;
    std::string companyName_;
    PortLink* mainLink_;
    ReportQueue reports_;
    std::vector<Row> rows_;  // last: their sessions report into the members above
};
