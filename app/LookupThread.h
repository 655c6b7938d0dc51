#pragma once

#include <functional>
#include <memory>
#include <type_traits>

class QObject;
class QThread;

namespace tessarin {

// Runs the window's lookups on a thread of its own, so that a resolver that
// takes its time never freezes the window. The caller waits in an event loop
// that serves paints, timers and the window manager but holds user input back,
// close requests included: Qt delivers it afterwards, in order, as a blocked
// window would have handled it. One lookup at a time. A lookup that takes a
// while makes the window busy: the wait cursor shows, and assistive technology
// is told. The thread is made at the first lookup and kept; the object's end ends it.
class LookupThread {
public:
    explicit LookupThread(QObject& window) noexcept;
    ~LookupThread();
    LookupThread(const LookupThread&) = delete;
    LookupThread& operator=(const LookupThread&) = delete;

    // Runs `job` on the lookup thread and answers what it answered. The caller
    // hands the job everything it touches: nothing else may use those until
    // Run returns.
    template <typename Job> std::invoke_result_t<Job&> Run(Job job)
    {
        std::invoke_result_t<Job&> answer{};
        Wait([&] { answer = job(); });
        return answer;
    }

    // While a lookup that takes a while runs.
    [[nodiscard]] bool Busy() const noexcept { return busy_; }

private:
    // Runs `work` on the lookup thread and serves the window until it has ended.
    void Wait(const std::function<void()>& work);
    void SetBusy(bool busy);

    QObject& window_;
    bool busy_ = false;
    std::unique_ptr<QThread> thread_;
    std::unique_ptr<QObject> worker_; // lives on the lookup thread: the lookups are its calls
};

} // namespace tessarin
