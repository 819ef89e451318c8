#include "atspi/session/AtspiSession.h"

#include "platform/linux/AtspiBus.h"
#include "support/HelperPrograms.h"
#include "support/Wait.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>

namespace qrv::testing {

namespace {

const char* const kLauncher = "/usr/libexec/at-spi-bus-launcher";

QString readLine(QProcess& process, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    if (!process.waitForStarted(timeoutMs))
        return {};
    while (!process.canReadLine() && !deadline.hasExpired() && process.state() == QProcess::Running)
        process.waitForReadyRead(50);
    return QString::fromUtf8(process.readLine()).trimmed();
}

void stop(std::unique_ptr<QProcess>& process) {
    if (!process || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(5000)) {
        process->kill();
        process->waitForFinished(5000);
    }
}

} // namespace

QString menuTestAppPath() {
    return qrv::testing::helperProgram(QStringLiteral("qrv-menu-test-app"));
}

QString quorvanePath() {
    return qrv::testing::helperProgram(QStringLiteral("quorvane"));
}

QString quorvaneCliPath() {
    return qrv::testing::helperProgram(QStringLiteral("quorvane-cli"));
}

bool writeDesktopEntry(const QString& path, const QString& keys) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(QStringLiteral("[Desktop Entry]\nType=Application\n%1").arg(keys).toUtf8()) >
               0;
}

AtspiSession::AtspiSession() {
    if (!QFileInfo(QString::fromLatin1(kLauncher)).isExecutable()) {
        m_skipReason = QStringLiteral("The accessibility bus cannot be started: %1 is missing "
                                      "(install at-spi2-core).")
                           .arg(QString::fromLatin1(kLauncher));
        return;
    }
    for (const char* folder : {"home", "runtime", "cache", "config", "data"})
        QDir(m_root.path()).mkpath(QString::fromLatin1(folder));
    QFile::setPermissions(m_root.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    m_display = std::make_unique<QProcess>();
    m_display->start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                              QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                              // the bus launcher's visit must not reset
                                              // the server under the next client
                                              QStringLiteral("-noreset"), QStringLiteral("-screen"),
                                              QStringLiteral("0"), QStringLiteral("1024x768x24")});
    const QString display = readLine(*m_display, 20000);
    if (display.isEmpty()) {
        m_failure = QStringLiteral("Xvfb did not start: %1").arg(m_display->errorString());
        return;
    }
    m_displayName = QLatin1Char(':') + display;

    m_bus = std::make_unique<QProcess>();
    m_bus->setProcessEnvironment(environment());
    m_bus->start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address=1")});
    m_sessionAddress = readLine(*m_bus, 20000);
    if (m_sessionAddress.isEmpty()) {
        m_skipReason = QStringLiteral("The accessibility bus cannot be started: no session bus "
                                      "(dbus-daemon: %1).")
                           .arg(m_bus->errorString());
        return;
    }
    static int serial = 0;
    m_connectionName = QStringLiteral("qrv-test-session-%1").arg(++serial);
    const QDBusConnection bus = QDBusConnection::connectToBus(m_sessionAddress, m_connectionName);
    // Asking for the address starts the bus launcher.
    const QDBusMessage reply =
        bus.call(QDBusMessage::createMethodCall(
                     QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                     QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")),
                 QDBus::Block, 20000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        m_skipReason =
            QStringLiteral("The accessibility bus cannot be started: %1").arg(reply.errorMessage());
        return;
    }
    if (!setAccessibilityEnabled(true))
        m_failure = QStringLiteral("Accessibility cannot be turned on in the test session.");
}

AtspiSession::~AtspiSession() {
    stop(m_app);
    if (!m_connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(m_connectionName);
    stop(m_bus); // the bus launcher and the accessibility bus end with their session
    stop(m_display);
}

QDBusConnection AtspiSession::sessionBus() const {
    return QDBusConnection(m_connectionName);
}

QProcessEnvironment AtspiSession::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString root = m_root.path();
    env.insert(QStringLiteral("HOME"), root + QStringLiteral("/home"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/runtime"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), root + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
    env.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
    env.remove(QStringLiteral("AT_SPI_BUS_ADDRESS"));
    env.remove(QStringLiteral("QUORVANE_HOME"));
    if (!m_displayName.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), m_displayName);
    if (!m_sessionAddress.isEmpty())
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_sessionAddress);
    return env;
}

CliRun AtspiSession::runCli(const QString& home, const QStringList& arguments) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(quorvaneCliPath(), QStringList{QStringLiteral("--home"), home} + arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

bool AtspiSession::setAccessibilityEnabled(bool enabled) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"));
    call << QStringLiteral("org.a11y.Status") << QStringLiteral("IsEnabled")
         << QVariant::fromValue(QDBusVariant(enabled));
    return sessionBus().call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

std::optional<atspi::Reference> applicationOf(atspi::Bus& bus, qint64 processId) {
    const atspi::ReferenceList applications = bus.applications();
    QStringList services;
    for (const atspi::Reference& application : applications)
        services << application.service;
    const QList<qint64> processes = bus.processIdsOf(services);
    for (qsizetype i = 0; i < applications.size() && i < processes.size(); ++i)
        if (processes.at(i) == processId)
            return applications.at(i);
    return std::nullopt;
}

QProcess* AtspiSession::startApplication(const QString& program, const QStringList& arguments) {
    stop(m_app);
    m_app = std::make_unique<QProcess>();
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    m_app->setProcessEnvironment(env);
    m_app->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_app->start(program, arguments);
    if (!m_app->waitForStarted(20000)) {
        m_failure = QStringLiteral("%1 did not start: %2").arg(program, m_app->errorString());
        return nullptr;
    }
    // Registered once the registry lists a connection of its process.
    atspi::Bus bus(sessionBus());
    const qint64 processId = m_app->processId();
    const bool registered =
        waitUntil([&] { return applicationOf(bus, processId).has_value(); }, 20000);
    if (!registered) {
        m_failure = QStringLiteral("%1 never appeared on the accessibility bus (%2).")
                        .arg(program, bus.error());
        return nullptr;
    }
    return m_app.get();
}

} // namespace qrv::testing
