#include "platform/linux/DBusSingleInstance.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>

namespace qrv {
namespace {

constexpr int kHandOverTimeoutMs = 10000;

QDBusConnection connectionNamed(const QString& name) {
    return name.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(name);
}

} // namespace

const QString DBusSingleInstance::kPath = QStringLiteral("/com/brackwyn/Quorvane");
const QString DBusSingleInstance::kInterface = QStringLiteral("com.brackwyn.Quorvane.Instance");

DBusSingleInstance::DBusSingleInstance(const QString& home, const QString& connectionName)
    : m_home(home)
    , m_connectionName(connectionName) {
    if (!connectionName.isEmpty())
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
}

DBusSingleInstance::~DBusSingleInstance() {
    QDBusConnection bus = connectionNamed(m_connectionName);
    bus.unregisterObject(kPath);
    bus.unregisterService(serviceName(m_home));
    if (!m_connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(m_connectionName);
}

QString DBusSingleInstance::serviceName(const QString& home) {
    // A bus name allows letters, digits and underscores only; the hash keeps
    // every home folder apart whatever its characters.
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(home).toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(32);
    return QStringLiteral("com.brackwyn.Quorvane.Home") + QString::fromLatin1(hash);
}

DBusSingleInstance::Role DBusSingleInstance::claimOrHandOver(const QStringList& files,
                                                             QString* problem) {
    QDBusConnection bus = connectionNamed(m_connectionName);
    if (!bus.isConnected())
        return Role::Alone;
    // The object first: a later start may call as soon as the name is ours.
    bus.registerObject(kPath, this, QDBusConnection::ExportScriptableSlots);
    const QString name = serviceName(m_home);
    if (bus.registerService(name))
        return Role::First;
    bus.unregisterObject(kPath);

    QStringList absolute;
    for (const QString& file : files)
        absolute << QFileInfo(file).absoluteFilePath();
    QDBusMessage call =
        QDBusMessage::createMethodCall(name, kPath, kInterface, QStringLiteral("Open"));
    call << absolute;
    // Events keep flowing while waiting: the copy that answers may be this very
    // process (tests), and nothing else waits on this start yet.
    const QDBusMessage reply = bus.call(call, QDBus::BlockWithGui, kHandOverTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return Role::HandedOver;
    if (problem)
        *problem = tr("The copy of Quorvane already running did not answer (%1).")
                       .arg(reply.errorMessage());
    return Role::Alone;
}

void DBusSingleInstance::setFilesHandler(FilesHandler handler) {
    m_handler = std::move(handler);
    if (m_handler && !m_waiting.isEmpty())
        m_handler(std::exchange(m_waiting, {}));
}

void DBusSingleInstance::Open(const QStringList& files) {
    if (m_handler)
        m_handler(files);
    else
        m_waiting << files;
}

} // namespace qrv
