#include "platform/linux/DBusDistributedNotifications.h"

#include "platform/Logging.h"
#include "platform/plist/PlistCodec.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>

namespace qrv {

const QString DBusDistributedNotifications::kPath =
    QStringLiteral("/com/brackwyn/Quorvane/DistributedNotifications");
const QString DBusDistributedNotifications::kInterface =
    QStringLiteral("com.brackwyn.Quorvane.DistributedNotifications");
const QString DBusDistributedNotifications::kMember = QStringLiteral("Notification");

namespace {

// A D-Bus string is UTF-8 without U+0000.
bool isDBusString(const QString& text) {
    return !text.contains(QChar(0));
}

QVariant toDBus(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::QVariantMap: {
        QVariantMap map;
        const QVariantMap source = value.toMap();
        for (auto it = source.cbegin(); it != source.cend(); ++it)
            if (isDBusString(it.key())) // no D-Bus key can carry it
                map.insert(it.key(), toDBus(it.value()));
            else
                qCWarning(lcPlatform) << "Left a key with U+0000 out of a notification";
        return map;
    }
    case QMetaType::QVariantList: {
        QVariantList list;
        for (const QVariant& item : value.toList())
            list.append(toDBus(item));
        return list;
    }
    case QMetaType::QString:
        return isDBusString(value.toString()) ? value : QVariant(value.toString().toUtf8());
    case QMetaType::QDateTime:
        return double(value.toDateTime().toMSecsSinceEpoch()) / 1000; // seconds since 1970
    default:
        if (value.metaType() == QMetaType::fromType<PlistUid>())
            return value.value<PlistUid>().value;
        if (value.metaType() == QMetaType::fromType<PlistDate>())
            return toDBus(value.toDateTime());
        return value; // booleans, integers, reals and data map one to one
    }
}

} // namespace

void DBusDistributedNotifications::post(const QString& name, const QVariantMap& userInfo) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return; // no session, so no one to tell
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, kMember);
    signal << name << toDBus(userInfo);
    if (!bus.send(signal))
        qCWarning(lcPlatform, "%s not posted: %s", qPrintable(name),
                  qPrintable(bus.lastError().message()));
}

} // namespace qrv
