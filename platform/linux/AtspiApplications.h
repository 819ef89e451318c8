#pragma once

#include "platform/linux/AtspiBus.h"

#include <QHash>
#include <QObject>

namespace qrv {

// The applications registered on the accessibility bus, other than this
// process, and their launch and activation as the bus's events tell them
// (the registry's new children, windows created and activated).
class AtspiApplications : public QObject {
    Q_OBJECT
  public:
    struct Application {
        QString service; // the application's connection on the bus
        qint64 processId = 0;
        QString name; // what it calls itself on the bus
    };

    // The bus may be unconnected: then there are no applications.
    AtspiApplications(atspi::Bus& bus, qint64 ownProcessId);

    // The registered applications whose process can be told, in the
    // registry's order. The first call also starts listening to the events.
    QList<Application> applications();

  signals:
    void launched(const qrv::AtspiApplications::Application& application);
    void activated(const qrv::AtspiApplications::Application& application);

  private slots:
    void registryChanged();
    void windowCreated(const QDBusMessage& message);
    void windowActivated(const QDBusMessage& message);

  private:
    QList<Application> read();
    void listen();
    // Rereads the applications; announces those not known before.
    void refresh();

    atspi::Bus& m_bus;
    qint64 m_ownProcessId;
    bool m_listening = false;
    QHash<QString, Application> m_known; // by service
};

} // namespace qrv
