#pragma once

#include "commodity/TextEntry.h"

#include <QValidator>

class QLineEdit;

// Keeps a one-line text box to what it may store: GBK text without line breaks or control
// characters. As the box's validator it sees the text however it arrives (typed, pasted, pasted
// with the middle button, dropped, composed); a refused change is undone and a hint next to the box
// says why.
class TextFieldGuard : public QValidator {
    Q_OBJECT
public:
    // Guards `edit`; the guard belongs to the edit.
    static void Install(QLineEdit* edit);

    State validate(QString& input, int& pos) const override;

private:
    explicit TextFieldGuard(QLineEdit* edit);
    void showHint();

    QLineEdit* edit_;
    // Why the last text was refused; kept for the hint that follows the refusal.
    mutable QString refusal_;
};
