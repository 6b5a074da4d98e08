#include "controls/OperatorMessage.h"

#include <QApplication>

namespace OperatorMessage {
namespace {

Handler& handler()
{
    static Handler current;
    return current;
}

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Error: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QMessageBox::StandardButton Show(const Message& message)
{
    Message shown = message;
    if (shown.title.isEmpty())
        shown.title = QApplication::applicationName();
    if (handler())
        return handler()(shown);
    QMessageBox box(boxIcon(shown.icon), shown.title, shown.text, shown.buttons, shown.parent);
    return QMessageBox::StandardButton(box.exec());
}

QMessageBox::StandardButton Show(QWidget* parent, const QString& text, Icon icon,
                                 QMessageBox::StandardButtons buttons, const QString& title)
{
    return Show(Message{parent, title, text, icon, buttons});
}

void SetHandler(Handler replacement)
{
    handler() = std::move(replacement);
}

} // namespace OperatorMessage
