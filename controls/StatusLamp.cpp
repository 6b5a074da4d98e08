#include "controls/StatusLamp.h"

#include <QFontMetrics>
#include <QMetaObject>
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

void StatusLamp::SetState(int state)
{
    state_.store(state);
    if (!repaintPosted_.exchange(true))
        QMetaObject::invokeMethod(this, "RepaintPosted", Qt::QueuedConnection);
}

void StatusLamp::RepaintPosted()
{
    repaintPosted_.store(false);
    update();
}

int StatusLamp::State() const
{
    return state_.load();
}

QString StatusLamp::Text() const
{
    switch (state_.load()) {
    case kHidden:
        return QString();
    case kUnstable:
        return tr("Instable");
    default:
        return tr("Stable");
    }
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
    const int state = state_.load();
    if (state == kHidden)
        return;
    QPainter painter(this);
    const bool unstable = state == kUnstable;
    painter.fillRect(rect(), unstable ? QColor(255, 0, 0) : QColor(0, 255, 0));
    painter.setPen(unstable ? QColor(255, 255, 255) : QColor(0, 0, 0));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, unstable ? tr("Instable") : tr("Stable"));
}
