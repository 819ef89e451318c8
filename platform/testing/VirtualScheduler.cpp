#include "platform/testing/VirtualScheduler.h"

#include <QThread>

namespace qrv::testing {
namespace {

constexpr int kMainQueue = 0;

class VirtualTimer final : public QueueTimer {
  public:
    VirtualTimer(VirtualScheduler& scheduler)
        : m_scheduler(scheduler) {}
    void cancel() override {
        m_cancelled = true;
        if (m_pending)
            m_scheduler.cancel(m_pending);
        m_pending = 0;
    }
    bool isActive() const override { return !m_cancelled && m_pending != 0; }

    void arm(Millis delay, int queueId, Millis interval, Task handler,
             std::weak_ptr<VirtualTimer> self) {
        m_pending = m_scheduler.enqueue(delay, queueId, [self, queueId, interval, handler] {
            auto timer = self.lock();
            if (!timer || timer->m_cancelled)
                return;
            timer->m_pending = 0;
            if (interval.count() > 0)
                timer->arm(interval, queueId, interval, handler, self);
            handler();
        });
    }

  private:
    VirtualScheduler& m_scheduler;
    bool m_cancelled = false;
    quint64 m_pending = 0;
};

class VirtualSerialQueue final : public SerialQueue {
  public:
    VirtualSerialQueue(VirtualScheduler& scheduler, QString label, int id)
        : m_scheduler(scheduler)
        , m_label(std::move(label))
        , m_id(id) {}
    const QString& label() const override { return m_label; }
    void async(Task task) override { m_scheduler.enqueue(Millis(0), m_id, std::move(task)); }
    void after(Millis delay, Task task) override {
        m_scheduler.enqueue(delay, m_id, std::move(task));
    }
    std::shared_ptr<QueueTimer> startTimer(Millis first, Millis interval, Task handler) override {
        auto timer = std::make_shared<VirtualTimer>(m_scheduler);
        timer->arm(first, m_id, interval, std::move(handler), timer);
        return timer;
    }
    bool isCurrent() const override { return m_scheduler.currentQueue() == m_id; }
    QThread* thread() const override { return QThread::currentThread(); }

  private:
    VirtualScheduler& m_scheduler;
    QString m_label;
    int m_id;
};

} // namespace

VirtualScheduler::VirtualScheduler(QDateTime start)
    : m_start(std::move(start)) {}
VirtualScheduler::~VirtualScheduler() = default;

quint64 VirtualScheduler::enqueue(Millis delay, int queueId, Task task, const void* target,
                                  QString key) {
    std::lock_guard lock(m_mutex);
    const quint64 id = ++m_sequence;
    const Slot slot{m_now + std::max(delay, Millis(0)), id};
    m_entries.emplace(slot, Entry{queueId, std::move(task), target, std::move(key)});
    m_byId.emplace(id, slot);
    return id;
}

bool VirtualScheduler::cancel(quint64 id) {
    std::lock_guard lock(m_mutex);
    auto it = m_byId.find(id);
    if (it == m_byId.end())
        return false;
    m_entries.erase(it->second);
    m_byId.erase(it);
    return true;
}

void VirtualScheduler::perform(const void* target, const QString& key, Millis delay, Task task) {
    enqueue(delay, kMainQueue, std::move(task), target, key);
}

void VirtualScheduler::cancelPerforms(const void* target, const QString& key) {
    std::lock_guard lock(m_mutex);
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->second.target == target && target && it->second.key == key) {
            m_byId.erase(it->first.second);
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
}

void VirtualScheduler::cancelAllPerforms(const void* target) {
    std::lock_guard lock(m_mutex);
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (target && it->second.target == target) {
            m_byId.erase(it->first.second);
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
}

void VirtualScheduler::asyncMain(Task task) {
    enqueue(Millis(0), kMainQueue, std::move(task));
}

void VirtualScheduler::afterMain(Millis delay, Task task) {
    enqueue(delay, kMainQueue, std::move(task));
}

void VirtualScheduler::asyncGlobal(Task task) {
    std::lock_guard lock(m_mutex);
    if (m_autoBackground)
        enqueue(Millis(0), -1, std::move(task));
    else
        m_background.push_back(std::move(task));
}

std::shared_ptr<SerialQueue> VirtualScheduler::createSerialQueue(const QString& label) {
    std::lock_guard lock(m_mutex);
    return std::make_shared<VirtualSerialQueue>(*this, label, m_nextQueueId++);
}

QDateTime VirtualScheduler::now() const {
    std::lock_guard lock(m_mutex);
    return m_start.addMSecs(m_now.count());
}

bool VirtualScheduler::runOneDue(Millis limit) {
    Entry entry;
    {
        std::lock_guard lock(m_mutex);
        if (m_entries.empty() || m_entries.begin()->first.first > limit)
            return false;
        auto it = m_entries.begin();
        m_now = std::max(m_now, it->first.first);
        entry = std::move(it->second);
        m_byId.erase(it->first.second);
        m_entries.erase(it);
    }
    const int previous = m_currentQueue;
    m_currentQueue = entry.queueId;
    entry.task();
    m_currentQueue = previous;
    return true;
}

Millis VirtualScheduler::elapsed() const {
    std::lock_guard lock(m_mutex);
    return m_now;
}

void VirtualScheduler::advance(Millis by) {
    const Millis limit = elapsed() + by;
    while (runOneDue(limit)) {
    }
    std::lock_guard lock(m_mutex);
    m_now = limit;
}

void VirtualScheduler::runPending() {
    while (runOneDue(elapsed())) {
    }
}

int VirtualScheduler::runBackground() {
    int count = 0;
    for (;;) {
        Task task;
        {
            std::lock_guard lock(m_mutex);
            if (m_background.empty())
                return count;
            task = std::move(m_background.front());
            m_background.pop_front();
        }
        task();
        ++count;
    }
}

size_t VirtualScheduler::pendingCount() const {
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

size_t VirtualScheduler::pendingBackgroundCount() const {
    std::lock_guard lock(m_mutex);
    return m_background.size();
}

std::optional<Millis> VirtualScheduler::nextDue() const {
    std::lock_guard lock(m_mutex);
    if (m_entries.empty())
        return std::nullopt;
    return m_entries.begin()->first.first - m_now;
}

} // namespace qrv::testing
