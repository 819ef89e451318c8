#include "platform/qt/QtScheduler.h"

#include "platform/Logging.h"
#include "platform/MainThread.h"

#include <QCoreApplication>
#include <QMutex>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <atomic>

namespace qrv {
namespace {

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

class QtSerialQueue final : public SerialQueue {
  public:
    explicit QtSerialQueue(const QString& label)
        : m_label(label) {
        m_thread.setObjectName(label);
        m_context.moveToThread(&m_thread);
        m_thread.start();
    }
    ~QtSerialQueue() override {
        m_thread.quit();
        m_thread.wait();
    }

    const QString& label() const override { return m_label; }

    void async(Task task) override {
        QMetaObject::invokeMethod(
            &m_context, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
    }

    void after(Millis delay, Task task) override {
        QMetaObject::invokeMethod(
            &m_context,
            [this, delay, task = std::move(task)]() mutable {
                QTimer::singleShot(delay, &m_context, std::move(task));
            },
            Qt::QueuedConnection);
    }

    std::shared_ptr<QueueTimer> startTimer(Millis first, Millis interval, Task handler) override {
        auto handle = std::make_shared<QtQueueTimer>();
        handle->repeating = interval.count() > 0;
        std::weak_ptr<QtQueueTimer> weak = handle;
        QMetaObject::invokeMethod(
            &m_context,
            [this, weak, first, interval, handler = std::move(handler)] {
                const auto pending = weak.lock();
                if (!pending || pending->cancelled)
                    return;
                auto* timer = new QTimer(&m_context);
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
            },
            Qt::QueuedConnection);
        return handle;
    }

    bool isCurrent() const override { return QThread::currentThread() == &m_thread; }
    QThread* thread() const override { return const_cast<QThread*>(&m_thread); }

  private:
    QString m_label;
    QThread m_thread;
    QObject m_context;
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
    QMetaObject::invokeMethod(
        this, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

void QtScheduler::afterMain(Millis delay, Task task) {
    QMetaObject::invokeMethod(
        this,
        [this, delay, task = std::move(task)]() mutable {
            QTimer::singleShot(delay, this, std::move(task));
        },
        Qt::QueuedConnection);
}

bool QtScheduler::isMainThread() const {
    return QThread::currentThread() == thread();
}

void QtScheduler::asyncGlobal(Task task) {
    QThreadPool::globalInstance()->start(std::move(task));
}

std::shared_ptr<SerialQueue> QtScheduler::createSerialQueue(const QString& label) {
    return std::make_shared<QtSerialQueue>(label);
}

QDateTime QtScheduler::now() const {
    return QDateTime::currentDateTimeUtc();
}

} // namespace qrv
