#include "app/Accessible.h"

#include "app/Caption.h"
#include "app/TessarinMain.h"

#include <algorithm>
#include <utility>

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QWindow>
#include <QtGui/private/qhighdpiscaling_p.h>
#include <qpa/qwindowsysteminterface.h>

namespace tessarin {
namespace {

// The window: its title for a name, busy while a lookup takes a while.
class WindowAccessible final : public QAccessibleWidget {
public:
    explicit WindowAccessible(TessarinMain* window) : QAccessibleWidget(window, QAccessible::Window)
    {}

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.busy = static_cast<const TessarinMain*>(widget())->Busy();
        return state;
    }
    [[nodiscard]] int childCount() const override { return static_cast<int>(Controls().size()); }
    [[nodiscard]] QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> controls = Controls();
        return index >= 0 && index < controls.size()
                   ? QAccessible::queryAccessibleInterface(controls[index])
                   : nullptr;
    }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child != nullptr ? static_cast<int>(Controls().indexOf(child->object())) : -1;
    }

private:
    // Top to bottom, then left to right; without the pictures.
    [[nodiscard]] QList<QWidget*> Controls() const
    {
        QList<QWidget*> controls = widget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        controls.removeIf([](const QWidget* control) {
            const auto* label = qobject_cast<const QLabel*>(control);
            return control->isWindow() || (label != nullptr && !label->pixmap().isNull());
        });
        std::ranges::stable_sort(controls, {}, [](const QWidget* control) {
            return std::pair(control->y(), control->x());
        });
        return controls;
    }
};

// A caption, which is a push button: its press action clicks it.
class CommandAccessible final : public QAccessibleWidget {
public:
    explicit CommandAccessible(Caption* caption) : QAccessibleWidget(caption, QAccessible::Button)
    {}

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? static_cast<const Caption*>(widget())->text()
                                         : QAccessibleWidget::text(kind);
    }
    [[nodiscard]] QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction()) {
            Click();
        }
    }

private:
    // A left click at the label's centre, queued as the window system queues a
    // user's: it takes the whole path of a click, and during a lookup it waits
    // with the rest of the user's input, in order. Marked as made by the
    // program, so two presses in quick succession are two clicks, not a double-click.
    void Click() const
    {
        const QWidget* window = widget()->window();
        QWindow* handle = window->windowHandle();
        if (handle == nullptr) {
            return;
        }
        const QPointF at = widget()->mapTo(window, widget()->rect().center());
        const QPointF local = QHighDpi::toNativeLocalPosition(at, handle);
        const QPointF global = QHighDpi::toNativeGlobalPosition(handle->mapToGlobal(at), handle);
        QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
            handle, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress,
            Qt::NoModifier, Qt::MouseEventSynthesizedByApplication);
        QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
            handle, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease,
            Qt::NoModifier, Qt::MouseEventSynthesizedByApplication);
    }
};

// The answer box. Qt's own interface for a plain-text box lets assistive
// technology edit its text even when the box is read-only: this one reads it
// and selects in it, and offers no editing at all.
class AnswerAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AnswerAccessible(QPlainTextEdit* box)
        : QAccessibleWidget(box, QAccessible::EditableText)
    {}

    void* interface_cast(QAccessible::InterfaceType kind) override
    {
        return kind == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(kind);
    }
    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }
    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? Box()->toPlainText() : QAccessibleWidget::text(kind);
    }

    void selection(int index, int* startOffset, int* endOffset) const override
    {
        const QTextCursor cursor = Box()->textCursor();
        const bool selected = index == 0 && cursor.hasSelection();
        *startOffset = selected ? cursor.selectionStart() : 0;
        *endOffset = selected ? cursor.selectionEnd() : 0;
    }
    [[nodiscard]] int selectionCount() const override
    {
        return Box()->textCursor().hasSelection() ? 1 : 0;
    }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int /*index*/) override { setCursorPosition(cursorPosition()); }
    void setSelection(int /*index*/, int startOffset, int endOffset) override
    {
        Box()->setTextCursor(Cursor(startOffset, endOffset));
    }
    [[nodiscard]] int cursorPosition() const override { return Box()->textCursor().position(); }
    void setCursorPosition(int position) override
    {
        Box()->setTextCursor(Cursor(position, position));
    }

    [[nodiscard]] QString text(int startOffset, int endOffset) const override
    {
        const QTextCursor range = Cursor(startOffset, endOffset);
        return Box()->toPlainText().sliced(range.selectionStart(),
                                           range.selectionEnd() - range.selectionStart());
    }
    [[nodiscard]] int characterCount() const override
    {
        return Box()->document()->characterCount() - 1; // without the document's closing separator
    }
    [[nodiscard]] QRect characterRect(int offset) const override
    {
        const QRect caret = Box()->cursorRect(Cursor(offset, offset));
        const QString character = text(offset, offset + 1);
        return {Box()->viewport()->mapToGlobal(caret.topLeft()),
                QSize(Box()->fontMetrics().horizontalAdvance(character), caret.height())};
    }
    [[nodiscard]] int offsetAtPoint(const QPoint& point) const override
    {
        return Box()->cursorForPosition(Box()->viewport()->mapFromGlobal(point)).position();
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        setSelection(0, startIndex, endIndex);
        Box()->ensureCursorVisible();
    }
    QString attributes(int /*offset*/, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0; // one font throughout
        *endOffset = characterCount();
        return {};
    }

private:
    [[nodiscard]] QPlainTextEdit* Box() const { return static_cast<QPlainTextEdit*>(widget()); }
    // A cursor that selects from one offset to the other, both kept within the text.
    [[nodiscard]] QTextCursor Cursor(int from, int to) const
    {
        QTextCursor cursor(Box()->document());
        cursor.setPosition(std::clamp(from, 0, characterCount()));
        cursor.setPosition(std::clamp(to, 0, characterCount()), QTextCursor::KeepAnchor);
        return cursor;
    }
};

QAccessibleInterface* Interface(const QString& key, QObject* object)
{
    if (auto* window = qobject_cast<TessarinMain*>(object)) {
        return new WindowAccessible(window);
    }
    if (qobject_cast<TessarinMain*>(object->parent()) == nullptr) {
        return nullptr;
    }
    if (auto* caption = qobject_cast<Caption*>(object)) {
        return new CommandAccessible(caption);
    }
    if (key == QLatin1String("QPlainTextEdit")) {
        return new AnswerAccessible(static_cast<QPlainTextEdit*>(object));
    }
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    QAccessible::installFactory(&Interface); // once: Qt ignores a factory it has
}

} // namespace tessarin
