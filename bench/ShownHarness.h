#pragma once

// Shows a window and ends the process as soon as its first frame is drawn, the
// same way for Tessarin's window and for a bare one, so that the time of the
// whole process measures start-up to the window on the screen.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <unistd.h>

class EndWhenShown : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            // The expose event paints the window; end once it has been handled.
            QTimer::singleShot(0, [] {
                std::fflush(stdout);
                ::_exit(0);
            });
        }
        return false;
    }
};

inline int RunUntilShown(QWidget& window)
{
    EndWhenShown filter;
    window.winId(); // creates the native window so its events can be watched
    window.windowHandle()->installEventFilter(&filter);
    window.show();
    return QApplication::exec();
}
