#pragma once

// The real window over a given platform, shown, and driven as a user drives
// it: clicks go through the window's own surface, so whatever lies on top at
// that point receives them. The suites and the benchmarks share it.

#include "app/TessarinMain.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWindow>

namespace tessarin::testing {

struct WindowHarness {
    explicit WindowHarness(Platform& platform) : window(platform)
    {
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }

    QWidget* Find(const char* name) const { return window.findChild<QWidget*>(name); }
    QLineEdit* Text1() const { return window.findChild<QLineEdit*>("Text1"); }
    QPlainTextEdit* Text2() const { return window.findChild<QPlainTextEdit*>("Text2"); }
    void ClickAt(QPoint point, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mouseClick(window.windowHandle(), button, {}, point);
    }
    void Click(const char* name) const { ClickAt(Find(name)->geometry().center()); }

    // Types the input into Text1, clicks a label and answers what Text2 shows.
    QString Run(const char* label, const QString& input) const
    {
        Text1()->setText(input);
        Click(label);
        return Text2()->toPlainText();
    }

    TessarinMain window;
    bool exposed = false;
};

} // namespace tessarin::testing
