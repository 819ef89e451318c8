#pragma once

#include "platform/Scheduler.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace qrv {

// The thread hooks of one scheduler. Its threads call enterCurrentThread()
// when they start and before each task, so hooks added later still run
// before the next task; a thread runs each `started` hook once, and the
// matching `finished` hooks when it ends (even after the scheduler is gone).
class ThreadHookList {
  public:
    ThreadHookList();
    void add(ThreadHooks hooks);
    void enterCurrentThread() const;

  private:
    const quint64 m_id; // tells lists apart in a thread's memory of them
    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<const ThreadHooks>> m_hooks;
    std::atomic<size_t> m_count{0};
};

} // namespace qrv
