#pragma once

// Shows a window and ends the process as soon as its first frame is drawn, the
// same way for Tessarin's window and for a bare one, so that the time of the
// whole process measures start-up to the window on the screen.

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

// Prints the process's peak resident memory, as the kernel counts it for this
// program alone (a parent's memory before exec does not count).
inline void PrintPeakResident()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            std::printf("peak_rss_kib %ld\n", std::stol(line.substr(6)));
        }
    }
}

class EndWhenShown : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            // The expose event paints the window; end once it has been handled.
            QTimer::singleShot(0, [] {
                PrintPeakResident();
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

// A program whose one window is bare, of Tessarin's size; `fill` may put
// something in it. Shown and ended like Tessarin's own.
template <typename Fill> int RunBareWindow(int argc, char* argv[], Fill fill)
{
    char fallbackName[] = "bare";
    char* programName[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    int programArgc = 1;
    QApplication application(programArgc, programName);
    QWidget window;
    window.setFixedSize(378, 194);
    fill(window);
    return RunUntilShown(window);
}
