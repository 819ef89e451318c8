#pragma once

#include "telemetry/TLMReachability.h"

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace qrv::testing {

// The inflated form of gzip data, as the gzip tool reads it; nothing when it
// is not valid gzip.
std::optional<QByteArray> gunzip(const QByteArray& data);

// A network the test switches on and off.
class FakeReachability final : public TLMReachability {
  public:
    bool isReachable() const override { return m_reachable; }
    void start(Handler handler) override { m_handler = std::move(handler); }
    void stop() override { m_handler = nullptr; }
    void set(bool reachable) {
        m_reachable = reachable;
        if (m_handler)
            m_handler(reachable);
    }

  private:
    bool m_reachable = true;
    Handler m_handler;
};

// Everything logged on the telemetry categories while it lives, debug included.
class TelemetryLogCapture {
  public:
    TelemetryLogCapture();
    ~TelemetryLogCapture();
    QString text() const { return m_messages.join(u'\n'); }

  private:
    QStringList m_messages;
};

} // namespace qrv::testing
