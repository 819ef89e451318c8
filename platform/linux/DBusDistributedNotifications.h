#pragma once

#include "platform/DistributedNotifications.h"

namespace qrv {

// Distributed notifications as a signal on the D-Bus session bus:
//   path      /com/brackwyn/Quorvane/DistributedNotifications
//   interface com.brackwyn.Quorvane.DistributedNotifications
//   member    Notification
//   arguments (s name, ay userInfo): the user information as an XML property list
// Without a session bus, posting does nothing.
class DBusDistributedNotifications final : public DistributedNotifications {
  public:
    static const QString kPath;
    static const QString kInterface;
    static const QString kMember;

    void post(const QString& name, const QVariantMap& userInfo) override;
};

} // namespace qrv
