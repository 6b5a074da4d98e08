#pragma once

#include "link/LineLog.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string_view>

namespace Ui {
class LineMonitorWindow;
}
class LineLogModel;

// Shows what crosses the line while it is open: one row per write or read with its time, its
// direction, the bytes in hex and as text. Bytes are recorded on the port's thread into an inbox;
// the window takes them ten times a second. Pause freezes the rows (the inbox keeps the newest);
// Clear, Save and Copy work on the rows shown.
class LineMonitorWindow : public QWidget {
    Q_OBJECT
public:
    explicit LineMonitorWindow(QWidget* parent = nullptr);
    ~LineMonitorWindow() override;

    // What the port's thread calls for each write and read; it keeps the inbox alive, so it may
    // outlive the window. Empty reads are not recorded.
    std::function<void(LineLog::Direction, std::string_view)> Recorder() const;

    // Takes what the inbox holds now (the timer does this while the window shows).
    void TakeNew();
    int RowCount() const;
    // The rows as the clipboard and the saved file get them.
    QString RowText(int row) const;
    bool SaveTo(const QString& path) const;

signals:
    // The window was shown (true) or hidden: the opener attaches or removes the recorder.
    void watchingChanged(bool watching);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void CopySelection();
    void Save();
    void ShowCount();

    std::unique_ptr<Ui::LineMonitorWindow> ui_;
    std::shared_ptr<LineLog::Inbox> inbox_ = std::make_shared<LineLog::Inbox>();
    LineLogModel* model_;
    QTimer takeTimer_;
};
