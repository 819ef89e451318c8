#pragma once

#include <QString>
#include <QVariantMap>

namespace qrv {

// Notifications posted to every process of the user's session, such as the
// one that tells applications their key equivalents changed.
class DistributedNotifications {
  public:
    virtual ~DistributedNotifications() = default;
    // Delivered immediately, with no object; the user information must be
    // property-list values. Posting reports no failure.
    virtual void post(const QString& name, const QVariantMap& userInfo) = 0;
};

} // namespace qrv
