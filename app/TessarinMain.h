#pragma once

#include "app/LookupThread.h"
#include "platform/Platform.h"

#include <memory>

#include <QWidget>

class QCloseEvent;
class QMouseEvent;
class QMoveEvent;

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

    // While a lookup that takes a while runs.
    [[nodiscard]] bool Busy() const noexcept { return lookups_.Busy(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void ApplyLook();
    void CentreOnScreen();
    void Form_Load();
    void SocketsInitialize();
    void SocketsCleanup();
    void ShowComputerName();
    void Cleanit();
    void Label1_Click(); // HOST TO IP
    void Label2_Click(); // ABOUT
    void Label3_Click(); // QUIT
    void Label4_Click(); // IP TO HOST
    // Replaces what the output field shows.
    void ShowAnswer(const QString& text);
    [[noreturn]] void EndWithMessage(const QString& message);

    std::unique_ptr<Ui::TessarinMain> ui;
    Platform& platform_;
    bool framed_ = false; // the window manager's frame has been seen
    LookupThread lookups_{*this};
};

} // namespace tessarin
