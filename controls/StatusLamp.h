#pragma once

#include <QWidget>

// What the lamp shows: nothing (before the first report), or a report's stable flag.
enum class LampState { Blank, Unstable, Stable };

// The stable/unstable indicator of the reading area: a green "Stable" field, a red "Instable"
// field, or nothing at all before the first report. Owner-painted; the skin leaves it alone.
// Set on the user-interface thread, from the reports the port link hands the window.
class StatusLamp : public QWidget {
    Q_OBJECT

public:
    explicit StatusLamp(QWidget* parent = nullptr);
    ~StatusLamp() override;

    // Stores the state and repaints, also when the state is the same.
    void SetState(LampState state);
    LampState State() const { return state_; }
    // The word the current state shows; empty for Blank.
    QString Text() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LampState state_ = LampState::Blank;
};
