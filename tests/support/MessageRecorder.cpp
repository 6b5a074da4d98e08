#include "support/MessageRecorder.h"

MessageRecorder::MessageRecorder(QMessageBox::StandardButton answer)
    : answer_(answer)
{
    OperatorMessage::SetHandler([this](const OperatorMessage::Message& message) {
        messages_.append(message);
        return answer_;
    });
}

MessageRecorder::~MessageRecorder()
{
    OperatorMessage::SetHandler({});
}

QStringList MessageRecorder::Texts() const
{
    QStringList texts;
    for (const auto& message : messages_)
        texts << message.text;
    return texts;
}
