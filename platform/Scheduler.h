#pragma once

#include <QDateTime>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

class QThread;

namespace qrv {

using Task = std::function<void()>;
using Millis = std::chrono::milliseconds;

// A timer created on a serial queue. Cancelling is safe from any thread and
// guarantees the handler does not start afterwards.
class QueueTimer {
  public:
    virtual ~QueueTimer() = default;
    virtual void cancel() = 0;
    virtual bool isActive() const = 0;
};

// A queue that runs its tasks one at a time, in order, on a thread of its own
// (or, on virtual time, when the test advances the clock).
class SerialQueue {
  public:
    virtual ~SerialQueue() = default;
    virtual const QString& label() const = 0;
    virtual void async(Task task) = 0;
    virtual void after(Millis delay, Task task) = 0;
    // Fires first after `first`, then every `interval` (zero: once).
    virtual std::shared_ptr<QueueTimer> startTimer(Millis first, Millis interval, Task handler) = 0;
    // True while called from one of this queue's tasks.
    virtual bool isCurrent() const = 0;
    // The thread whose event loop runs the queue (for objects that must live there).
    virtual QThread* thread() const = 0;
};

// Work every thread of a scheduler runs for itself: `started` on the thread
// before its first task, `finished` on it when it ends. For per-thread set-up
// that the code above the platform owns (an alternate signal stack, say).
struct ThreadHooks {
    Task started;
    Task finished;
};

// Everything in the program that runs later or elsewhere goes through here:
// the main run loop's delayed performs, the main queue, the global concurrent
// queue, and serial queues with timers. Tests plug in a virtual clock.
class Scheduler {
  public:
    virtual ~Scheduler() = default;

    // Delayed perform on the main thread. Requests are identified by target and
    // key, so cancelPerforms() can drop the pending ones (a previous request is
    // not cancelled implicitly).
    virtual void perform(const void* target, const QString& key, Millis delay, Task task) = 0;
    virtual void cancelPerforms(const void* target, const QString& key) = 0;
    // Cancels every pending perform of the target (for its destructor).
    virtual void cancelAllPerforms(const void* target) = 0;
    // Cancel-then-perform: repeated calls collapse into one run, `delay` after the last.
    void performCoalesced(const void* target, const QString& key, Millis delay, Task task) {
        cancelPerforms(target, key);
        perform(target, key, delay, std::move(task));
    }

    virtual void asyncMain(Task task) = 0;
    virtual void afterMain(Millis delay, Task task) = 0;
    // Runs in place on the main thread; from elsewhere, hands over and waits.
    virtual void syncMain(Task task) = 0;
    virtual bool isMainThread() const = 0;

    // The global concurrent queue (default priority).
    virtual void asyncGlobal(Task task) = 0;

    virtual std::shared_ptr<SerialQueue> createSerialQueue(const QString& label) = 0;

    // Wall-clock time as the program sees it (virtual in tests).
    virtual QDateTime now() const = 0;

    // Runs the hooks on every thread the scheduler starts, including those
    // running already (before their next task). A scheduler that runs
    // everything on the caller's thread starts none, so it has nothing to do.
    virtual void addThreadHooks(ThreadHooks hooks) { (void)hooks; }
};

} // namespace qrv
