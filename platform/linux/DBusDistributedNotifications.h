#pragma once

#include "platform/DistributedNotifications.h"

namespace qrv {

// Distributed notifications as a signal on the D-Bus session bus:
//   path      /com/brackwyn/Quorvane/DistributedNotifications
//   interface com.brackwyn.Quorvane.DistributedNotifications
//   member    Notification
//   arguments (s name, a{sv} userInfo): the user information as D-Bus values
//     (dictionary a{sv}, array av, string s, integer x or t, real d, boolean b,
//     data ay, date d in seconds since 1970, uid t). A string holding U+0000,
//     which D-Bus cannot carry, goes as its UTF-8 bytes (ay); a dictionary
//     key holding one is left out.
// Without a session bus, posting does nothing.
class DBusDistributedNotifications final : public DistributedNotifications {
  public:
    static const QString kPath;
    static const QString kInterface;
    static const QString kMember;

    void post(const QString& name, const QVariantMap& userInfo) override;
};

} // namespace qrv
