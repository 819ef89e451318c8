#pragma once

namespace qrv {

// Alternate signal stacks. A signal handler cannot run on a stack that has
// overflowed, and the kernel gives no thread an alternate stack of its own,
// so every thread that may crash needs one set up beforehand.
class TLMSignalStack {
  public:
    // Gives the calling thread an alternate stack unless it has one already
    // (ours, or one a sanitizer set up). False when none could be made.
    static bool prepareThread();
    // Takes back the stack prepareThread() made for the calling thread; for
    // the end of the thread.
    static void releaseThread();
};

} // namespace qrv
