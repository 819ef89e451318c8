#pragma once

#include <functional>

namespace qrv {

// Whether the network can be reached, and news of changes. The upload pauses
// while the network is gone and resumes when it is back.
class TLMReachability {
  public:
    using Handler = std::function<void(bool reachable)>;

    virtual ~TLMReachability() = default;
    virtual bool isReachable() const = 0;
    // Reports every later change to the handler, on any thread, until stop().
    virtual void start(Handler handler) = 0;
    virtual void stop() = 0;
};

} // namespace qrv
