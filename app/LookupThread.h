#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>
#include <type_traits>

class QAbstractEventDispatcher;
class QObject;

namespace tessarin {

// Runs the window's lookups on a thread of its own, so that a resolver that
// takes its time never freezes the window. The caller waits in an event loop
// that serves paints, timers and the window manager but holds user input back,
// close requests included: Qt delivers it afterwards, in order, as a blocked
// window would have handled it. One lookup at a time. A lookup that takes a
// while makes the window busy: the wait cursor shows, and assistive technology
// is told. The thread is made at the first lookup and kept; the object's end joins it.
class LookupThread {
public:
    explicit LookupThread(QObject& window) noexcept : window_(window) {}
    ~LookupThread();
    LookupThread(const LookupThread&) = delete;
    LookupThread& operator=(const LookupThread&) = delete;

    // Runs `job` on the lookup thread and answers what it answered. The caller
    // hands the job everything it touches: nothing else may use those until
    // Run returns.
    template <typename Job> std::invoke_result_t<Job&> Run(Job job)
    {
        std::optional<std::invoke_result_t<Job&>> answer;
        auto call = [&] { answer.emplace(job()); };
        RunErased(&call, [](void* context) { (*static_cast<decltype(call)*>(context))(); });
        return *std::move(answer);
    }

    // While a lookup that takes a while runs.
    [[nodiscard]] bool Busy() const noexcept { return busy_; }

private:
    enum Phase : int { Idle, Running, Waiting, Done };

    void RunErased(void* context, void (*call)(void*));
    void KeepNear() noexcept;
    void Serve();
    void SetBusy(bool busy);

    // Handed over through `requests_` (release) and back through `phase_`.
    void* context_ = nullptr;
    void (*call_)(void*) = nullptr;
    std::atomic<std::uint32_t> requests_{0};
    std::atomic<int> phase_{Idle};
    std::atomic<bool> stopping_{false};

    QObject& window_;
    bool busy_ = false;
    // The window's thread's: the lookup thread wakes that thread's wait through it.
    QAbstractEventDispatcher* dispatcher_ = nullptr;
    std::thread thread_;
    int cpu_ = -1; // the one CPU the lookup thread may run on, or -1: any
};

} // namespace tessarin
