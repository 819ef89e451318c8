#include "telemetry/TLMReachabilityMonitor.h"

#include "telemetry/TLMHttpLogging.h"

#include <QNetworkInformation>

namespace qrv {
namespace {

// Only a network that is known to be gone, or that reaches no further than
// this machine's own link, holds uploads back.
bool reachable(QNetworkInformation::Reachability reachability) {
    return reachability != QNetworkInformation::Reachability::Disconnected &&
           reachability != QNetworkInformation::Reachability::Local;
}

} // namespace

TLMReachabilityMonitor::TLMReachabilityMonitor() {
    if (!QNetworkInformation::instance() &&
        !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        qCInfo(lcTelemetryHttp,
               "No network information available; the network counts as reachable.");
        return;
    }
    auto* info = QNetworkInformation::instance();
    m_reachable = reachable(info->reachability());
    connect(info, &QNetworkInformation::reachabilityChanged, this,
            [this](QNetworkInformation::Reachability now) { update(reachable(now)); });
}

TLMReachabilityMonitor::~TLMReachabilityMonitor() = default;

void TLMReachabilityMonitor::start(Handler handler) {
    std::lock_guard lock(m_mutex);
    m_handler = std::move(handler);
}

void TLMReachabilityMonitor::stop() {
    std::lock_guard lock(m_mutex);
    m_handler = nullptr;
}

void TLMReachabilityMonitor::update(bool reachable) {
    m_reachable = reachable;
    qCInfo(lcTelemetryHttp, "Network is %s.", reachable ? "reachable" : "unreachable");
    Handler handler;
    {
        std::lock_guard lock(m_mutex);
        handler = m_handler;
    }
    if (handler)
        handler(reachable);
}

} // namespace qrv
