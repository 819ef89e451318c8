#include "platform/linux/AtspiBus.h"

#include "platform/Logging.h"

#include <QAtomicInt>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusVariant>

QDBusArgument& operator<<(QDBusArgument& argument, const qrv::atspi::Reference& reference) {
    argument.beginStructure();
    argument << reference.service << reference.path;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, qrv::atspi::Reference& reference) {
    argument.beginStructure();
    argument >> reference.service >> reference.path;
    argument.endStructure();
    return argument;
}

Q_DECLARE_METATYPE(qrv::atspi::Reference)

namespace qrv::atspi {

namespace {

const QString kBusService = QStringLiteral("org.a11y.Bus");
const QString kBusPath = QStringLiteral("/org/a11y/bus");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

void registerTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<Reference>();
        qDBusRegisterMetaType<ReferenceList>();
        return true;
    }();
    Q_UNUSED(registered);
}

QVariant firstArgument(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    QVariant value = reply.arguments().constFirst();
    if (value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant(); // a property's value
    return value;
}

} // namespace

Bus::Bus(QDBusConnection sessionBus, QString address)
    : m_sessionBus(std::move(sessionBus))
    , m_givenAddress(std::move(address)) {
    registerTypes();
}

Bus::~Bus() {
    if (!m_name.isEmpty())
        QDBusConnection::disconnectFromBus(m_name);
}

bool Bus::isConnected() const {
    if (!m_tried) {
        m_tried = true;
        QString address = m_givenAddress;
        if (address.isEmpty()) {
            if (!m_sessionBus.isConnected()) {
                m_error = QStringLiteral("There is no session bus.");
                return false;
            }
            QDBusMessage call = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService,
                                                               QStringLiteral("GetAddress"));
            const QDBusMessage reply = m_sessionBus.call(call, QDBus::Block, kTimeoutMs);
            const auto answered = stringOf(reply);
            if (!answered || answered->isEmpty()) {
                m_error = QStringLiteral("The accessibility bus cannot be reached: %1")
                              .arg(reply.errorMessage());
                return false;
            }
            address = *answered;
        }
        static QAtomicInt serial;
        m_name = QStringLiteral("qrv-atspi-%1").arg(serial.fetchAndAddRelaxed(1));
        m_connection = QDBusConnection::connectToBus(address, m_name);
        if (!m_connection->isConnected())
            m_error = QStringLiteral("The accessibility bus at %1 cannot be reached: %2")
                          .arg(address, m_connection->lastError().message());
    }
    return m_connection && m_connection->isConnected();
}

QDBusConnection& Bus::connection() const {
    isConnected();
    if (!m_connection)
        m_connection = QDBusConnection(QStringLiteral("qrv-atspi-none")); // never connected
    return *m_connection;
}

bool Bus::isEnabled() const {
    if (!isConnected())
        return false;
    if (!m_givenAddress.isEmpty())
        return true; // a bus named outright is meant to be used
    if (!m_sessionBus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kBusService, kBusPath, kPropertiesInterface,
                                                       QStringLiteral("Get"));
    call << QStringLiteral("org.a11y.Status") << QStringLiteral("IsEnabled");
    const QVariant value = firstArgument(m_sessionBus.call(call, QDBus::Block, kTimeoutMs));
    return value.typeId() == QMetaType::Bool && value.toBool();
}

ReferenceList Bus::applications() {
    if (!isConnected())
        return {};
    Batch batch(connection());
    batch.call({kRegistryService, QDBusObjectPath(kRootPath)}, kAccessibleInterface,
               QStringLiteral("GetChildren"));
    batch.run();
    return referencesOf(batch.reply(0)).value_or(ReferenceList{});
}

QList<qint64> Bus::processIdsOf(const QStringList& services) {
    QList<qint64> ids(services.size(), 0);
    if (!isConnected())
        return ids;
    Batch batch(connection());
    const QString daemon = QStringLiteral("org.freedesktop.DBus");
    const Reference target{daemon, QDBusObjectPath(QStringLiteral("/org/freedesktop/DBus"))};
    for (const QString& service : services)
        batch.call(target, daemon, QStringLiteral("GetConnectionUnixProcessID"), {service});
    batch.run();
    for (qsizetype i = 0; i < services.size(); ++i)
        ids[i] = unsignedOf(batch.reply(i)).value_or(0);
    return ids;
}

qsizetype Batch::call(const Reference& target, const QString& interface, const QString& method,
                      const QVariantList& arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(target.service, target.path.path(), interface, method);
    message.setArguments(arguments);
    m_calls << message;
    return m_calls.size() - 1;
}

qsizetype Batch::property(const Reference& target, const QString& interface, const QString& name) {
    return call(target, kPropertiesInterface, QStringLiteral("Get"), {interface, name});
}

void Batch::run() {
    QList<QDBusPendingCall> pending;
    pending.reserve(m_calls.size());
    for (const QDBusMessage& message : std::as_const(m_calls))
        pending << m_connection.asyncCall(message, Bus::kTimeoutMs);
    m_replies.clear();
    m_replies.reserve(pending.size());
    for (QDBusPendingCall& call : pending) {
        call.waitForFinished();
        m_replies << call.reply();
    }
}

ax::Error errorOf(const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ReplyMessage)
        return ax::Error::kSuccess;
    const QString name = reply.errorName();
    // The object is gone (or never was): the element is no longer valid.
    if (name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject"))
        return ax::Error::kInvalidUIElement;
    if (name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") ||
        name == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface") ||
        name == QLatin1String("org.freedesktop.DBus.Error.UnknownProperty"))
        return ax::Error::kAttributeUnsupported;
    // The application quit, hangs or the bus went away.
    return ax::Error::kCannotComplete;
}

std::optional<ReferenceList> referencesOf(const QDBusMessage& reply) {
    const QVariant value = firstArgument(reply);
    if (value.userType() != qMetaTypeId<QDBusArgument>())
        return std::nullopt;
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a(so)"))
        return std::nullopt;
    ReferenceList references;
    argument >> references;
    return references;
}

std::optional<QString> stringOf(const QDBusMessage& reply) {
    const QVariant value = firstArgument(reply);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

std::optional<quint32> unsignedOf(const QDBusMessage& reply) {
    const QVariant value = firstArgument(reply);
    if (value.typeId() != QMetaType::UInt)
        return std::nullopt;
    return value.toUInt();
}

std::optional<QList<quint32>> unsignedListOf(const QDBusMessage& reply) {
    const QVariant value = firstArgument(reply);
    if (value.userType() == qMetaTypeId<QDBusArgument>()) {
        const auto argument = value.value<QDBusArgument>();
        if (argument.currentSignature() != QLatin1String("au"))
            return std::nullopt;
        QList<quint32> list;
        argument >> list;
        return list;
    }
    if (value.canConvert<QList<quint32>>() && value.typeId() != QMetaType::QString)
        return value.value<QList<quint32>>();
    return std::nullopt;
}

} // namespace qrv::atspi
