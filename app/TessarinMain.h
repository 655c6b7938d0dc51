#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <memory>

#include <QWidget>

class QCloseEvent;

namespace Ui {
class TessarinMain;
}

namespace tessarin {

// The one window: an input field, four picture buttons and an output field.
// Loading it opens the window's sockets session and names the computer in the
// title; closing it closes the session.
class TessarinMain : public QWidget {
    Q_OBJECT

public:
    explicit TessarinMain(Platform& platform, QWidget* parent = nullptr);
    ~TessarinMain() override;

    // Bits 8 to 15 and bits 0 to 7 of a 16-bit word.
    static constexpr int hibyte(std::uint16_t wParam) noexcept { return (wParam >> 8) & 0xFF; }
    static constexpr int lobyte(std::uint16_t wParam) noexcept { return wParam & 0xFF; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyLook();
    void Form_Load();
    void SocketsInitialize();
    void SocketsCleanup();
    void ShowComputerName();
    void Cleanit();
    void Label1_Click();
    void Label2_Click();
    void Label3_Click();
    void Label4_Click();
    // Replaces what the output field shows.
    void Show(const QString& text);
    [[noreturn]] void EndWithMessage(const QString& message);

    std::unique_ptr<Ui::TessarinMain> ui;
    Platform& platform_;
};

} // namespace tessarin
