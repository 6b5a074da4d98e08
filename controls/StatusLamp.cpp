#include "controls/StatusLamp.h"

#include <QFontMetrics>
#include <QPainter>

StatusLamp::StatusLamp(QWidget* parent) : QWidget(parent)
{
    // Whatever surrounds the lamp shows through where it paints nothing.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    // The skin's style sheet paints a plain widget only through a styled background: without one
    // the lamp's own painting is all that shows.
    setAttribute(Qt::WA_StyledBackground, false);
    setAutoFillBackground(false);
    setProperty("skinExcluded", true);
}

StatusLamp::~StatusLamp() = default;

void StatusLamp::SetState(LampState state)
{
    state_ = state;
    update();
}

QString StatusLamp::Text() const
{
    switch (state_) {
    case LampState::Blank: return QString();
    case LampState::Unstable: return tr("Instable");
    case LampState::Stable: return tr("Stable");
    }
    return QString();
}

QSize StatusLamp::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int width = std::max(metrics.horizontalAdvance(tr("Instable")), metrics.horizontalAdvance(tr("Stable")));
    return {width + 2 * metrics.averageCharWidth(), metrics.height() + metrics.height() / 2};
}

QSize StatusLamp::minimumSizeHint() const
{
    return sizeHint();
}

void StatusLamp::paintEvent(QPaintEvent*)
{
    if (state_ == LampState::Blank)
        return;
    QPainter painter(this);
    const bool unstable = state_ == LampState::Unstable;
    painter.fillRect(rect(), unstable ? QColor(255, 0, 0) : QColor(0, 255, 0));
    painter.setPen(unstable ? QColor(255, 255, 255) : QColor(0, 0, 0));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, Text());
}
