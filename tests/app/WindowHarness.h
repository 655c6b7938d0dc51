#pragma once

// Opens the real window over a given platform and drives it as a user would:
// clicks through the window's own surface, keys into the focused control.

#include "QtPrinting.h"
#include "app/TessarinMain.h"

#include <memory>
#include <string>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWindow>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tessarin::testing {

class WindowHarness {
public:
    TessarinMain& Open(Platform& platform)
    {
        window_ = std::make_unique<TessarinMain>(platform);
        window_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        return *window_;
    }

    [[nodiscard]] TessarinMain& Window() const { return *window_; }

    template <typename Control = QWidget> [[nodiscard]] Control* Find(const char* name) const
    {
        auto* control = window_->findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    [[nodiscard]] QLineEdit* Text1() const { return Find<QLineEdit>("Text1"); }
    [[nodiscard]] QPlainTextEdit* Text2() const { return Find<QPlainTextEdit>("Text2"); }

    // A left click at a point of the window's client area, through the window
    // itself, so whatever lies on top at that point receives it.
    void ClickAt(QPoint point) const
    {
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, point);
    }

    void Click(const char* name) const { ClickAt(Find(name)->geometry().center()); }

    // Types a text into Text1 and clicks one of the labels.
    void Run(const char* label, const QString& input) const
    {
        Text1()->setText(input);
        Click(label);
    }

private:
    std::unique_ptr<TessarinMain> window_;
};

// Matches standard error holding the program's one line for a message, exactly
// as written, whatever else the toolkit printed around it.
inline auto StderrLine(const std::string& message)
{
    return ::testing::HasSubstr("tessarin: " + message + "\n");
}

} // namespace tessarin::testing
