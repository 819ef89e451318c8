#include "platform/linux/DBusDistributedNotifications.h"

#include "platform/Logging.h"
#include "platform/plist/PlistCodec.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace qrv {

const QString DBusDistributedNotifications::kPath =
    QStringLiteral("/com/brackwyn/Quorvane/DistributedNotifications");
const QString DBusDistributedNotifications::kInterface =
    QStringLiteral("com.brackwyn.Quorvane.DistributedNotifications");
const QString DBusDistributedNotifications::kMember = QStringLiteral("Notification");

void DBusDistributedNotifications::post(const QString& name, const QVariantMap& userInfo) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return; // no session, so no one to tell
    const auto encoded = plist::encode(userInfo, plist::Format::Xml);
    if (!encoded) {
        qCWarning(lcPlatform, "%s not posted: %s", qPrintable(name), qPrintable(encoded.error()));
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, kMember);
    signal << name << *encoded;
    if (!bus.send(signal))
        qCWarning(lcPlatform, "%s not posted: %s", qPrintable(name),
                  qPrintable(bus.lastError().message()));
}

} // namespace qrv
