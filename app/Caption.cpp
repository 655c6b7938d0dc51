#include "app/Caption.h"

#include <utility>

#include <QMouseEvent>

namespace tessarin {

void Caption::mousePressEvent(QMouseEvent* event)
{
    EndPair();
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event); // which passes it on to the window
        return;
    }
    pressed_ = true;
}

void Caption::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Qt hands the second press of a quick pair over as a double-click alone.
    if (event->button() != Qt::LeftButton || clickedLast != this ||
        event->source() == Qt::MouseEventSynthesizedByApplication) {
        mousePressEvent(event);
    }
}

void Caption::mouseReleaseEvent(QMouseEvent* event)
{
    // Qt hands the release to the caption that took the press, wherever it is.
    if (event->button() == Qt::LeftButton && std::exchange(pressed_, false) &&
        rect().contains(event->position().toPoint())) {
        clickedLast = this;
        emit clicked();
    }
}

} // namespace tessarin
