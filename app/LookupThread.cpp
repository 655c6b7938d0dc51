#include "app/LookupThread.h"

#include <chrono>
#include <system_error>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

namespace tessarin {
namespace {

using namespace std::chrono_literals;

// An answer within this time is waited for without an event loop: most lookups
// end well within it, and waking the window's thread costs more than waiting.
constexpr auto QuickAnswer = 300us;
// Only a lookup that runs longer makes the window busy, so quick ones never flicker.
constexpr auto BusyDelay = 100ms;

} // namespace

LookupThread::~LookupThread()
{
    if (thread_.joinable()) {
        stopping_.store(true, std::memory_order_relaxed);
        requests_.fetch_add(1, std::memory_order_release);
        requests_.notify_one();
        thread_.join();
    }
}

void LookupThread::RunErased(void* context, void (*call)(void*))
{
    Q_ASSERT(phase_.load() == Idle); // user input, which alone starts lookups, is held meanwhile
    if (!thread_.joinable()) {
        dispatcher_ = QAbstractEventDispatcher::instance();
        try {
            thread_ = std::thread(&LookupThread::Serve, this);
        } catch (const std::system_error&) {
            call(context); // no thread to be had: look up here, as before
            return;
        }
    }
    KeepNear();
    context_ = context;
    call_ = call;
    phase_.store(Running, std::memory_order_relaxed);
    requests_.fetch_add(1, std::memory_order_release);
    requests_.notify_one();

    const auto start = std::chrono::steady_clock::now();
    while (phase_.load(std::memory_order_acquire) == Running &&
           std::chrono::steady_clock::now() - start < QuickAnswer) {
        std::this_thread::yield();
    }
    int running = Running;
    if (phase_.compare_exchange_strong(running, Waiting, std::memory_order_acq_rel)) {
        // The wait cursor, rather than the busy one: the window takes no input meanwhile.
        QTimer busy;
        busy.setSingleShot(true);
        QObject::connect(&busy, &QTimer::timeout, [this] { SetBusy(true); });
        busy.start(BusyDelay);
        while (phase_.load(std::memory_order_acquire) == Waiting) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                            QEventLoop::WaitForMoreEvents);
        }
        if (busy_) {
            SetBusy(false);
        }
    }
    phase_.store(Idle, std::memory_order_relaxed);
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

void LookupThread::KeepNear() noexcept
{
    // Woken on the CPU this thread runs on, the lookup thread starts as soon as
    // this one yields; woken on an idle CPU, it waits for that CPU to wake up,
    // some 30 microseconds on a virtual machine. Elsewhere the system places it.
#if defined(__linux__)
    const int cpu = ::sched_getcpu();
    if (cpu >= 0 && cpu < CPU_SETSIZE && cpu != cpu_) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(cpu, &set);
        if (::pthread_setaffinity_np(thread_.native_handle(), sizeof set, &set) == 0) {
            cpu_ = cpu;
        }
    }
#endif
}

void LookupThread::Serve()
{
    std::uint32_t served = 0;
    for (;;) {
        requests_.wait(served, std::memory_order_acquire);
        served = requests_.load(std::memory_order_acquire);
        if (stopping_.load(std::memory_order_relaxed)) {
            return;
        }
        call_(context_);
        if (phase_.exchange(Done, std::memory_order_acq_rel) == Waiting) {
            dispatcher_->wakeUp(); // thread-safe, and remembered if the loop is not waiting yet
        }
    }
}

} // namespace tessarin
