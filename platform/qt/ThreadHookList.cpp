#include "platform/qt/ThreadHookList.h"

#include <algorithm>

namespace qrv {
namespace {

// What the calling thread has run. Destroyed when the thread ends, which is
// when the `finished` hooks run, last started first.
struct ThreadHookState {
    std::vector<std::shared_ptr<const ThreadHooks>> started;
    quint64 lastList = 0;
    size_t lastCount = 0;

    ~ThreadHookState() {
        for (auto it = started.rbegin(); it != started.rend(); ++it)
            if ((*it)->finished)
                (*it)->finished();
    }
};

thread_local ThreadHookState t_hooks;

quint64 nextListId() {
    static std::atomic<quint64> last{0};
    return ++last;
}

} // namespace

ThreadHookList::ThreadHookList()
    : m_id(nextListId()) {}

void ThreadHookList::add(ThreadHooks hooks) {
    std::lock_guard lock(m_mutex);
    m_hooks.push_back(std::make_shared<const ThreadHooks>(std::move(hooks)));
    m_count = m_hooks.size();
}

void ThreadHookList::enterCurrentThread() const {
    // Every task passes here: the common case is one comparison.
    if (t_hooks.lastList == m_id && t_hooks.lastCount == m_count.load())
        return;
    std::vector<std::shared_ptr<const ThreadHooks>> hooks;
    {
        std::lock_guard lock(m_mutex);
        hooks = m_hooks;
    }
    for (const auto& hook : hooks) {
        if (std::find(t_hooks.started.cbegin(), t_hooks.started.cend(), hook) !=
            t_hooks.started.cend())
            continue;
        t_hooks.started.push_back(hook);
        if (hook->started)
            hook->started();
    }
    t_hooks.lastList = m_id;
    t_hooks.lastCount = hooks.size();
}

} // namespace qrv
