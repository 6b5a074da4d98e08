#pragma once

#include "dialogs/ReportQueue.h"
#include "link/ScaleFinder.h"

#include <QDialog>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace Ui {
class FindScaleDialog;
}

// Runs the scale finder over the ports of the main dialog's list on a thread of its own (which tries
// several ports at once), shows which port and rate it is trying and each port's result as it comes,
// and then lists what it found; the operator picks one scale.
// Cancel (or closing the window) ends the scan within one probe; the thread is joined before the
// dialog goes.
class FindScaleDialog : public QDialog {
    Q_OBJECT
public:
    struct Port {
        QString label;     // as the port list shows it
        std::string path;  // what is opened
    };
    struct Choice {
        QString label;
        int baud;
        ScaleSeries series;
    };

    FindScaleDialog(std::vector<Port> ports, std::vector<int> rates, QWidget* parent = nullptr,
                    ScaleFinder::Timing timing = {});
    ~FindScaleDialog() override;

    // The scale picked with "Use this scale" (or a double click); empty otherwise.
    std::optional<Choice> Chosen() const { return chosen_; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void StartScan();
    void ShowProgress(const ScaleFinder::Progress& progress);
    void ShowPortResult(const ScaleFinder::PortResult& result);
    void ShowResult(const ScaleFinder::Result& result);
    void AddFoundRow(const ScaleFinder::Found& found, std::optional<int> index);
    void AddUnopenedRow(const ScaleFinder::Unopened& port);
    void UseSelected();
    // Adds every scale found to the shop's list (Scales.ini), named by its port.
    void AddToScales();
    QString LabelOf(const std::string& path) const;
    QString SeriesText(ScaleSeries series) const;
    QString FormText(ScaleFinder::ReportForm form) const;
    QString ReasonText(int error) const;

    std::unique_ptr<Ui::FindScaleDialog> ui_;
    std::vector<Port> ports_;
    std::vector<int> rates_;
    ScaleFinder::Timing timing_;
    std::vector<ScaleFinder::Found> found_;
    std::vector<int> stepsDone_;  // rates tried per port, all of them once the port is done
    std::optional<Choice> chosen_;
    std::atomic<bool> cancel_{false};
    bool finished_ = false;
    ReportQueue reports_;
    std::thread scan_;  // last: joined in the destructor before anything above goes
};
