#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Message boxes that the operator must see. Every dialog goes through here, so that tests can
// record the messages (and answer questions) instead of blocking on a real box.
namespace OperatorMessage {

enum class Icon { None, Information, Warning, Error, Question };

struct Message {
    QWidget* parent = nullptr;
    QString title;
    QString text;
    Icon icon = Icon::None;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

using Handler = std::function<QMessageBox::StandardButton(const Message&)>;

// Shows the box modally and returns the button pressed. An empty title gives the application's name.
QMessageBox::StandardButton Show(const Message& message);
QMessageBox::StandardButton Show(QWidget* parent, const QString& text, Icon icon = Icon::None,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                 const QString& title = QString());

// Replaces the real boxes; an empty handler brings them back.
void SetHandler(Handler handler);

} // namespace OperatorMessage
