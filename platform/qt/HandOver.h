#pragma once

#include <utility>

// Qt hands tasks from one thread to another through its event queues and its
// thread pool, whose locks are futexes inside Qt. The thread sanitizer cannot
// see them, so to it every such hand-over looks like two threads touching the
// same memory at once. Each task of ours that crosses threads travels in a
// HandedOver, which tells it what Qt guarantees: everything the handing thread
// did before the hand-over happened before the task runs. Other builds pass
// the task straight through.

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace qrv {

template <typename Function> class HandedOver {
  public:
    explicit HandedOver(Function function)
        : m_function(std::move(function)) {
        handing();
    }
    // Qt moves the task into storage of its own on the handing thread; the
    // mark goes on the final address, after the task is in place there.
    HandedOver(HandedOver&& other) noexcept
        : m_function(std::move(other.m_function)) {
        handing();
    }
    HandedOver(const HandedOver& other)
        : m_function(other.m_function) {
        handing();
    }
    HandedOver& operator=(const HandedOver&) = delete;
    HandedOver& operator=(HandedOver&&) = delete;
    // A task that never ran (its loop ended first) is dropped on the
    // receiving thread too.
    ~HandedOver() { takingOver(); }

    void operator()() {
        takingOver();
        m_function();
    }

  private:
    void handing() {
#if defined(__SANITIZE_THREAD__)
        __tsan_release(this);
#endif
    }
    void takingOver() {
#if defined(__SANITIZE_THREAD__)
        __tsan_acquire(this);
#endif
    }

    Function m_function;
};

} // namespace qrv
