#include "telemetry/TLMSignalStack.h"

#include <algorithm>
#include <csignal>
#include <sys/mman.h>
#include <unistd.h>

namespace qrv {
namespace {

// The handler writes a record through a small buffer and walks the stack;
// 64 KiB leaves room for both and for a chained handler.
constexpr size_t kMinimumStackSize = 64 * 1024;

struct ThreadStack {
    char* mapping = nullptr; // guard page, then the stack
    size_t mappingSize = 0;
    size_t guardSize = 0;
};
thread_local ThreadStack t_stack;

size_t pageSize() {
    return size_t(sysconf(_SC_PAGESIZE));
}

size_t stackSize() {
    const long minimum = sysconf(_SC_MINSIGSTKSZ);
    const size_t wanted = std::max(kMinimumStackSize, minimum > 0 ? 4 * size_t(minimum) : 0);
    const size_t page = pageSize();
    return (wanted + page - 1) / page * page;
}

} // namespace

bool TLMSignalStack::prepareThread() {
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE))
        return true;
    const size_t guard = pageSize();
    const size_t size = stackSize();
    void* mapping = mmap(nullptr, guard + size, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (mapping == MAP_FAILED)
        return false;
    // A handler that overflows the alternate stack faults on the guard page
    // instead of writing over whatever lies below it.
    mprotect(mapping, guard, PROT_NONE);
    stack_t stack{};
    stack.ss_sp = static_cast<char*>(mapping) + guard;
    stack.ss_size = size;
    if (sigaltstack(&stack, nullptr) != 0) {
        munmap(mapping, guard + size);
        return false;
    }
    t_stack = ThreadStack{static_cast<char*>(mapping), guard + size, guard};
    return true;
}

void TLMSignalStack::releaseThread() {
    if (!t_stack.mapping)
        return;
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 &&
        current.ss_sp == t_stack.mapping + t_stack.guardSize) {
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        if (sigaltstack(&off, nullptr) != 0)
            return; // running on it: it stays, the process is ending anyway
    }
    munmap(t_stack.mapping, t_stack.mappingSize);
    t_stack = {};
}

} // namespace qrv
