#pragma once

#include <QString>
#include <QVariantMap>

namespace qrv {

// Notifications posted to every process of the user's session, such as the
// one that tells applications their key equivalents changed.
// (Implemented by the store work; refine there.)
class DistributedNotifications {
  public:
    virtual ~DistributedNotifications() = default;
    // Delivered immediately; posting reports no failure.
    virtual void post(const QString& name, const QVariantMap& userInfo) = 0;
};

} // namespace qrv
