#pragma once

// Shows a window and ends the process as soon as its first frame is drawn,
// printing the process's peak resident memory, the same way for Tessarin's
// window and for a bare one: the time of the whole process is start-up to the
// window on the screen.

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

class EndWhenShown : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            // The expose event paints the window; end once it has been handled.
            QTimer::singleShot(0, [] {
                std::ifstream status("/proc/self/status");
                for (std::string line; std::getline(status, line);) {
                    if (line.rfind("VmHWM:", 0) == 0) {
                        std::printf("peak_rss_kib %ld\n", std::stol(line.substr(6)));
                    }
                }
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
