#include "platform/linux/AtspiApplications.h"

#include "platform/Logging.h"

namespace qrv {

namespace {
const QString kWindowEvents = QStringLiteral("org.a11y.atspi.Event.Window");
} // namespace

AtspiApplications::AtspiApplications(atspi::Bus& bus, qint64 ownProcessId)
    : m_bus(bus)
    , m_ownProcessId(ownProcessId) {}

void AtspiApplications::listen() {
    if (m_listening || !m_bus.isConnected())
        return;
    m_listening = true;
    QDBusConnection& connection = m_bus.connection();
    connection.connect(QString(), QString(), kWindowEvents, QStringLiteral("Create"), this,
                       SLOT(windowCreated(QDBusMessage)));
    connection.connect(QString(), QString(), kWindowEvents, QStringLiteral("Activate"), this,
                       SLOT(windowActivated(QDBusMessage)));
    connection.connect(atspi::kRegistryService, atspi::kRootPath,
                       QStringLiteral("org.a11y.atspi.Event.Object"),
                       QStringLiteral("ChildrenChanged"), this, SLOT(registryChanged()));
    // Toolkits send only the events somebody has asked the registry for.
    atspi::Batch batch(connection);
    const atspi::Reference registry{atspi::kRegistryService,
                                    QDBusObjectPath(QStringLiteral("/org/a11y/atspi/registry"))};
    for (const char* event : {"window:create", "window:activate"})
        batch.call(registry, QStringLiteral("org.a11y.atspi.Registry"),
                   QStringLiteral("RegisterEvent"),
                   {QString::fromLatin1(event), QStringList(), QString()});
    batch.run();
    for (const Application& application : read())
        m_known.insert(application.service, application);
}

QList<AtspiApplications::Application> AtspiApplications::applications() {
    listen();
    return read();
}

QList<AtspiApplications::Application> AtspiApplications::read() {
    if (!m_bus.isConnected())
        return {};
    const atspi::ReferenceList registered = m_bus.applications();
    QStringList services;
    for (const atspi::Reference& reference : registered)
        services << reference.service;
    const QList<qint64> processIds = m_bus.processIdsOf(services);
    // Never ask this process itself: its main thread is the one waiting.
    QList<Application> list;
    atspi::Batch names(m_bus.connection());
    for (qsizetype i = 0; i < registered.size(); ++i) {
        if (processIds.at(i) <= 0 || processIds.at(i) == m_ownProcessId)
            continue;
        list << Application{services.at(i), processIds.at(i), QString()};
        names.property(registered.at(i), atspi::kAccessibleInterface, QStringLiteral("Name"));
    }
    if (list.isEmpty())
        return list;
    names.run();
    for (qsizetype i = 0; i < list.size(); ++i)
        list[i].name = atspi::stringOf(names.reply(i)).value_or(QString());
    return list;
}

void AtspiApplications::refresh() {
    QHash<QString, Application> now;
    for (const Application& application : read()) {
        now.insert(application.service, application);
        if (!m_known.contains(application.service))
            emit launched(application);
    }
    m_known = std::move(now);
}

void AtspiApplications::registryChanged() {
    refresh();
}

void AtspiApplications::windowCreated(const QDBusMessage& message) {
    if (!m_known.contains(message.service()))
        refresh();
}

void AtspiApplications::windowActivated(const QDBusMessage& message) {
    if (!m_known.contains(message.service()))
        refresh();
    const auto found = m_known.constFind(message.service());
    if (found != m_known.constEnd())
        emit activated(*found);
}

} // namespace qrv
