#pragma once

#include "platform/Scheduler.h"
#include "platform/qt/ThreadHookList.h"

#include <QHash>
#include <QMultiHash>
#include <QObject>
#include <QPointer>
#include <mutex>
#include <vector>

class QTimer;

namespace qrv {

// The scheduler on Qt's event loops: the main thread's loop for delayed
// performs and the main queue, the global thread pool for the concurrent
// queue, and one QThread per serial queue. Create it on the main thread.
class QtScheduler final : public QObject, public Scheduler {
    Q_OBJECT
  public:
    QtScheduler();
    ~QtScheduler() override;

    void perform(const void* target, const QString& key, Millis delay, Task task) override;
    void cancelPerforms(const void* target, const QString& key) override;
    void cancelAllPerforms(const void* target) override;
    void asyncMain(Task task) override;
    void afterMain(Millis delay, Task task) override;
    void syncMain(Task task) override;
    bool isMainThread() const override;
    void asyncGlobal(Task task) override;
    std::shared_ptr<SerialQueue> createSerialQueue(const QString& label) override;
    QDateTime now() const override;
    void addThreadHooks(ThreadHooks hooks) override;

  private:
    struct PerformKey {
        const void* target;
        QString key;
        friend bool operator==(const PerformKey&, const PerformKey&) = default;
        friend size_t qHash(const PerformKey& k, size_t seed = 0) {
            return qHashMulti(seed, quintptr(k.target), k.key);
        }
    };
    QMultiHash<PerformKey, QTimer*> m_performs;
    const std::shared_ptr<ThreadHookList> m_threadHooks = std::make_shared<ThreadHookList>();
    std::mutex m_queuesMutex;
    std::vector<std::weak_ptr<SerialQueue>> m_queues; // for hooks added later
};

} // namespace qrv
