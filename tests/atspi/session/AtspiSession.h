#pragma once

#include "platform/linux/AtspiBus.h"

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>

namespace qrv::testing {

// The test application's declared menus (qrv-menu-test-app --declare).
QString menuTestAppPath();
// The programs of this build.
QString quorvanePath();
QString quorvaneCliPath();

// The application object of a process on the accessibility bus, if it is registered.
std::optional<atspi::Reference> applicationOf(atspi::Bus& bus, qint64 processId);

// Writes a desktop entry for an application: the given keys after its type.
bool writeDesktopEntry(const QString& path, const QString& keys);

// How a run of quorvane-cli ended and what it printed.
struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

// A desktop session of its own for one test: an X server (Xvfb), a private
// session bus whose accessibility bus the bus launcher starts on demand, and
// folders for everything the session writes. Nothing reaches the user's
// session: the buses, sockets and settings live in a temporary folder.
class AtspiSession {
  public:
    AtspiSession();
    ~AtspiSession();

    // Empty when the session runs; else why the accessibility bus could not
    // be started (the tests skip) or what else failed (the tests fail).
    const QString& skipReason() const { return m_skipReason; }
    const QString& failure() const { return m_failure; }

    QDBusConnection sessionBus() const;
    QString sessionBusAddress() const { return m_sessionAddress; }
    // The environment for a process of this session (GUI or not).
    QProcessEnvironment environment() const;
    QString dataHome() const { return m_root.path() + QStringLiteral("/data"); }

    // Runs quorvane-cli in this session on the given preferences home.
    CliRun runCli(const QString& home, const QStringList& arguments) const;

    // Turns accessibility on or off for the session (org.a11y.Status.IsEnabled).
    bool setAccessibilityEnabled(bool enabled);

    // Starts a Qt application of the session (one at a time) and waits until
    // it is registered on the accessibility bus; null (with failure() set)
    // when it does not come.
    QProcess* startApplication(const QString& program, const QStringList& arguments = {});
    QProcess* startMenuTestApp(const QStringList& arguments = {}) {
        return startApplication(menuTestAppPath(), arguments);
    }

  private:
    QTemporaryDir m_root;
    std::unique_ptr<QProcess> m_display;
    std::unique_ptr<QProcess> m_bus;
    std::unique_ptr<QProcess> m_app;
    QString m_displayName;
    QString m_sessionAddress;
    QString m_connectionName;
    QString m_skipReason;
    QString m_failure;
};

} // namespace qrv::testing
