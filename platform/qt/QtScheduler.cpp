#include "platform/qt/QtScheduler.h"

#include "platform/Logging.h"
#include "platform/MainThread.h"
#include "platform/qt/HandOver.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMutex>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <future>
#include <pthread.h>
#include <thread>

namespace qrv {
namespace {

// Runs the task on the thread of the context object, at its loop's next turn.
template <typename Function> void post(QObject* context, Function task) {
    QMetaObject::invokeMethod(context, HandedOver(std::move(task)), Qt::QueuedConnection);
}

class QtQueueTimer final : public QueueTimer {
  public:
    std::atomic<bool> cancelled{false};
    std::atomic<bool> fired{false};
    bool repeating = false; // set before the handle is handed out

    // Only the flag: the QTimer belongs to the queue's thread, which deletes
    // it when it next fires (or with the queue).
    void cancel() override { cancelled = true; }
    bool isActive() const override { return !cancelled && (repeating || !fired); }
};

// A serial queue on a thread of its own with a Qt event loop. The thread is
// a plain std::thread that Qt adopts, so the queue can let go of it from any
// thread: the last owner may well be one of the queue's own tasks, and a
// thread cannot wait for itself. Everything the thread needs after the queue
// object is gone (its loop, its context object) lives on the thread.
class QtSerialQueue final : public SerialQueue {
  public:
    QtSerialQueue(const QString& label, std::shared_ptr<const ThreadHookList> hooks)
        : m_label(label)
        , m_hooks(std::move(hooks))
        , m_stopping(std::make_shared<std::atomic<bool>>(false)) {
        std::promise<Started> started;
        std::future<Started> ready = started.get_future();
        m_worker = std::thread(&QtSerialQueue::run, label, m_hooks, std::move(started));
        // The thread is up within moments; tasks need its context object.
        const Started thread = ready.get();
        m_thread = thread.thread;
        m_context = thread.context;
    }

    ~QtSerialQueue() override {
        // Tasks still waiting are dropped; the one running (maybe this very
        // call) finishes. Then the loop ends and the thread cleans up.
        *m_stopping = true;
        m_thread->quit();
        if (isCurrent())
            m_worker.detach();
        else
            m_worker.join();
    }

    const QString& label() const override { return m_label; }

    void async(Task task) override {
        post(m_context, [stopping = m_stopping, hooks = m_hooks, task = std::move(task)] {
            if (*stopping)
                return;
            hooks->enterCurrentThread();
            task();
        });
    }

    void after(Millis delay, Task task) override {
        post(m_context, [context = m_context, delay, task = std::move(task)]() mutable {
            QTimer::singleShot(delay, context, std::move(task));
        });
    }

    std::shared_ptr<QueueTimer> startTimer(Millis first, Millis interval, Task handler) override {
        auto handle = std::make_shared<QtQueueTimer>();
        handle->repeating = interval.count() > 0;
        std::weak_ptr<QtQueueTimer> weak = handle;
        post(m_context, [context = m_context, weak, first, interval, handler = std::move(handler)] {
            const auto pending = weak.lock();
            if (!pending || pending->cancelled)
                return;
            auto* timer = new QTimer(context);
            timer->setTimerType(Qt::PreciseTimer);
            timer->setSingleShot(true);
            timer->setInterval(first);
            QObject::connect(timer, &QTimer::timeout, timer, [weak, timer, interval, handler] {
                auto h = weak.lock();
                if (!h || h->cancelled) {
                    timer->deleteLater();
                    return;
                }
                h->fired = true;
                if (interval.count() > 0) {
                    if (!timer->isActive()) { // the first, single-shot firing
                        timer->setSingleShot(false);
                        timer->start(interval);
                    }
                } else {
                    timer->deleteLater();
                }
                handler();
            });
            timer->start();
        });
        return handle;
    }

    bool isCurrent() const override { return QThread::currentThread() == m_thread; }
    QThread* thread() const override { return m_thread; }

  private:
    struct Started {
        QThread* thread;
        QObject* context;
    };

    static void run(QString label, std::shared_ptr<const ThreadHookList> hooks,
                    std::promise<Started> started) {
        pthread_setname_np(pthread_self(), label.left(15).toUtf8().constData());
        QThread* self = QThread::currentThread();
        self->setObjectName(label);
        hooks->enterCurrentThread();
        {
            QObject context;
            QEventLoop loop;
            started.set_value(Started{self, &context});
            // Ends at once when the queue went before the loop started.
            loop.exec();
        }
        // As a QThread does when it finishes: what asked to be deleted later is.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString m_label;
    std::shared_ptr<const ThreadHookList> m_hooks;
    std::shared_ptr<std::atomic<bool>> m_stopping;
    std::thread m_worker;
    QThread* m_thread = nullptr;
    QObject* m_context = nullptr;
};

} // namespace

QtScheduler::QtScheduler() = default;

QtScheduler::~QtScheduler() {
    // Background work may still hand results to the main queue through us;
    // let it finish while we exist. Hand-overs that arrive now are dropped
    // with this object's pending events.
    QThreadPool::globalInstance()->waitForDone();
    for (QTimer* timer : std::as_const(m_performs))
        delete timer;
}

void QtScheduler::perform(const void* target, const QString& key, Millis delay, Task task) {
    if (!isMainThread()) { // a programmer error: stop in debug builds, else hand over
        QRV_ASSERT_MAIN_THREAD();
        return asyncMain([=, this] { perform(target, key, delay, task); });
    }
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    const PerformKey id{target, key};
    m_performs.insert(id, timer);
    connect(timer, &QTimer::timeout, this, [this, id, timer, task = std::move(task)] {
        m_performs.remove(id, timer);
        timer->deleteLater();
        task();
    });
    timer->start(delay);
}

void QtScheduler::cancelPerforms(const void* target, const QString& key) {
    if (!isMainThread()) {
        QRV_ASSERT_MAIN_THREAD();
        return asyncMain([=, this] { cancelPerforms(target, key); });
    }
    const PerformKey id{target, key};
    const auto timers = m_performs.values(id);
    m_performs.remove(id);
    for (QTimer* timer : timers) {
        timer->stop();
        timer->deleteLater();
    }
}

void QtScheduler::cancelAllPerforms(const void* target) {
    if (!isMainThread()) {
        QRV_ASSERT_MAIN_THREAD();
        return asyncMain([=, this] { cancelAllPerforms(target); });
    }
    for (auto it = m_performs.begin(); it != m_performs.end();) {
        if (it.key().target == target) {
            it.value()->stop();
            it.value()->deleteLater();
            it = m_performs.erase(it);
        } else {
            ++it;
        }
    }
}

void QtScheduler::asyncMain(Task task) {
    post(this, std::move(task));
}

void QtScheduler::afterMain(Millis delay, Task task) {
    post(this, [this, delay, task = std::move(task)]() mutable {
        QTimer::singleShot(delay, this, std::move(task));
    });
}

bool QtScheduler::isMainThread() const {
    return QThread::currentThread() == thread();
}

void QtScheduler::asyncGlobal(Task task) {
    QThreadPool::globalInstance()->start(
        HandedOver([hooks = m_threadHooks, task = std::move(task)] {
            hooks->enterCurrentThread();
            task();
        }));
}

std::shared_ptr<SerialQueue> QtScheduler::createSerialQueue(const QString& label) {
    auto queue = std::make_shared<QtSerialQueue>(label, m_threadHooks);
    std::lock_guard lock(m_queuesMutex);
    std::erase_if(m_queues, [](const auto& weak) { return weak.expired(); });
    m_queues.push_back(queue);
    return queue;
}

void QtScheduler::addThreadHooks(ThreadHooks hooks) {
    m_threadHooks->add(std::move(hooks));
    // Queue threads that are idle now run the new hooks at once rather than
    // at their next task.
    std::lock_guard lock(m_queuesMutex);
    for (const auto& weak : m_queues)
        if (auto queue = weak.lock())
            queue->async([] {});
}

QDateTime QtScheduler::now() const {
    return QDateTime::currentDateTimeUtc();
}

} // namespace qrv
