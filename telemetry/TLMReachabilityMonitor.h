#pragma once

#include "telemetry/TLMReachability.h"

#include <QObject>
#include <atomic>
#include <mutex>

namespace qrv {

// Reachability from Qt's network information. Where no backend can tell (or
// it does not know), the network counts as reachable, so uploads are tried
// rather than held back for ever. Create it on the main thread.
class TLMReachabilityMonitor final : public QObject, public TLMReachability {
    Q_OBJECT
  public:
    TLMReachabilityMonitor();
    ~TLMReachabilityMonitor() override;

    bool isReachable() const override { return m_reachable; }
    void start(Handler handler) override;
    void stop() override;

  private:
    void update(bool reachable);

    std::atomic<bool> m_reachable{true};
    mutable std::mutex m_mutex;
    Handler m_handler;
};

} // namespace qrv
