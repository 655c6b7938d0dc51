#include "app/LookupThread.h"

#include <chrono>
#include <mutex>

#include <QAccessible>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>

namespace tessarin {
namespace {

using namespace std::chrono_literals;

// Only a lookup that runs longer makes the window busy, so quick ones never flicker.
constexpr auto BusyDelay = 100ms;

// Qt's queue carries a call to another thread under a lock of its own, which
// ThreadSanitizer sees only where Qt itself was built with it. Calls are posted
// and taken under this lock as well, so that the hand-off is plain to it too;
// a lock nobody else holds costs nanoseconds.
std::mutex posting;

// Runs `call` on the thread of `to`, from its event loop.
template <typename Call> void Post(QObject* to, Call call)
{
    const std::lock_guard posted(posting);
    QMetaObject::invokeMethod(
        to,
        [call = std::move(call)] {
            posting.lock();
            posting.unlock();
            call();
        },
        Qt::QueuedConnection);
}

} // namespace

LookupThread::LookupThread(QObject& window) noexcept : window_(window) {}

LookupThread::~LookupThread()
{
    if (thread_) {
        thread_->quit();
        thread_->wait();
    }
}

void LookupThread::Wait(const std::function<void()>& work)
{
    if (!thread_) {
        auto thread = std::make_unique<QThread>();
        thread->start();
        if (!thread->isRunning()) {
            work(); // no thread to be had: better a window held for the lookup than no answer
            return;
        }
        worker_ = std::make_unique<QObject>();
        worker_->moveToThread(thread.get());
        thread_ = std::move(thread);
    }
    QEventLoop loop;
    Post(worker_.get(), [&work, &loop] {
        work();
        Post(&loop, [&loop] { loop.quit(); });
    });
    // The wait cursor, rather than the busy one: the window takes no input meanwhile.
    QTimer busy;
    busy.setSingleShot(true);
    QObject::connect(&busy, &QTimer::timeout, [this] { SetBusy(true); });
    busy.start(BusyDelay);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (busy_) {
        SetBusy(false);
    }
}

void LookupThread::SetBusy(bool busy)
{
    busy_ = busy;
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
    QAccessible::State changed;
    changed.busy = true;
    QAccessibleStateChangeEvent event(&window_, changed);
    QAccessible::updateAccessibility(&event);
}

} // namespace tessarin
