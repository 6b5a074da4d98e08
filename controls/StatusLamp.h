#pragma once

#include <QWidget>

#include <atomic>

// The stable/unstable indicator of the reading area: a green "Stable" field, a red "Instable"
// field, or nothing at all before the first report. Owner-painted; the skin leaves it alone.
class StatusLamp : public QWidget {
    Q_OBJECT

public:
    static constexpr int kHidden = -1;
    static constexpr int kUnstable = 0;
    static constexpr int kStable = 1;  // any value but -1 and 0 shows stable too

    explicit StatusLamp(QWidget* parent = nullptr);
    ~StatusLamp() override;

    // Safe from any thread (the weight reader calls it): stores the state and asks the
    // user-interface thread for a repaint. The lamp must outlive every such call.
    void SetState(int state);
    int State() const;
    // The word the current state shows; empty for -1.
    QString Text() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Runs on the user-interface thread for a request posted by SetState. Invoked by name, so that
    // the request carries nothing built on the caller's thread.
    Q_INVOKABLE void RepaintPosted();

    std::atomic<int> state_{kHidden};
    // One repaint request in flight is enough, however fast the reader sets states.
    std::atomic<bool> repaintPosted_{false};
};
