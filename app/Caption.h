#pragma once

#include <QLabel>
#include <QPointer>

namespace tessarin {

// A caption that is a button: a left press and release inside it is a click.
// The second press of a quick pair is a new click unless the caption's own
// click began the pair, so a double-click runs the command once; a click a
// screen reader posts always counts.
class Caption : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    // A press that went anywhere else ends the pair a caption's click began.
    static void EndPair() noexcept { clickedLast = nullptr; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The mouse is one, and so is the caption whose click ran last, until the next press.
    static inline QPointer<const Caption> clickedLast;
    bool pressed_ = false; // a left press came here, until its release
};

} // namespace tessarin
