#pragma once

#include "platform/Scheduler.h"

#include <QDateTime>
#include <QTimeZone>
#include <atomic>
#include <deque>
#include <map>
#include <mutex>
#include <optional>

namespace qrv::testing {

// A scheduler on virtual time. Nothing runs until the test says so:
// advance() moves the clock and runs every task that falls due, in order of
// due time and then of submission; runPending() runs what is due now. Tasks of
// the global concurrent queue wait apart and run on runBackground(), or with
// the main work when automatic background running is on (the default).
// Everything runs on the calling thread, so results are deterministic.
class VirtualScheduler final : public Scheduler {
  public:
    explicit VirtualScheduler(QDateTime start = QDateTime(QDate(2025, 1, 1), QTime(12, 0),
                                                          QTimeZone::utc()));
    ~VirtualScheduler() override;

    // Scheduler
    void perform(const void* target, const QString& key, Millis delay, Task task) override;
    void cancelPerforms(const void* target, const QString& key) override;
    void cancelAllPerforms(const void* target) override;
    void asyncMain(Task task) override;
    void afterMain(Millis delay, Task task) override;
    bool isMainThread() const override { return true; }
    void asyncGlobal(Task task) override;
    std::shared_ptr<SerialQueue> createSerialQueue(const QString& label) override;
    QDateTime now() const override;

    // Test control
    void advance(Millis by);
    void runPending();   // runs everything due at the current time
    int runBackground(); // runs the held global-queue tasks; answers how many
    void setBackgroundRunsAutomatically(bool on) { m_autoBackground = on; }
    Millis elapsed() const;
    size_t pendingCount() const; // main, serial and timer tasks not yet run
    size_t pendingBackgroundCount() const;
    // Time until the next due task, if any.
    std::optional<Millis> nextDue() const;

    // Used by the serial queues of this scheduler: due `delay` from now.
    quint64 enqueue(Millis delay, int queueId, Task task, const void* target = nullptr,
                    QString key = {});
    bool cancel(quint64 id);
    int currentQueue() const { return m_currentQueue.load(); }

  private:
    struct Entry {
        int queueId;
        Task task;
        const void* target;
        QString key;
    };
    using Slot = std::pair<Millis, quint64>; // due time, sequence
    bool runOneDue(Millis limit);

    mutable std::recursive_mutex m_mutex;
    QDateTime m_start;
    Millis m_now{0};
    quint64 m_sequence = 0;
    std::map<Slot, Entry> m_entries;
    std::map<quint64, Slot> m_byId;
    std::deque<Task> m_background;
    std::atomic<bool> m_autoBackground{true};
    std::atomic<int> m_currentQueue{0};
    int m_nextQueueId = 1;
};

} // namespace qrv::testing
