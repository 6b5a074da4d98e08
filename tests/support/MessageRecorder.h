#pragma once

#include "controls/OperatorMessage.h"

#include <QList>

// Records every operator message while it lives, answering each with `answer`.
class MessageRecorder {
public:
    explicit MessageRecorder(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~MessageRecorder();

    void SetAnswer(QMessageBox::StandardButton answer) { answer_ = answer; }
    const QList<OperatorMessage::Message>& Messages() const { return messages_; }
    QStringList Texts() const;
    void Clear() { messages_.clear(); }

private:
    QList<OperatorMessage::Message> messages_;
    QMessageBox::StandardButton answer_;
};
