#pragma once

#include "platform/Accessibility.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QList>
#include <QString>
#include <optional>

namespace qrv::atspi {

// An object on the accessibility bus: the connection that serves it and its path.
struct Reference {
    QString service;
    QDBusObjectPath path;
    friend bool operator==(const Reference& a, const Reference& b) {
        return a.service == b.service && a.path == b.path;
    }
};
using ReferenceList = QList<Reference>;

inline const QString kAccessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");
inline const QString kActionInterface = QStringLiteral("org.a11y.atspi.Action");
inline const QString kRegistryService = QStringLiteral("org.a11y.atspi.Registry");
inline const QString kRootPath = QStringLiteral("/org/a11y/atspi/accessible/root");

// The accessibility bus of a session (AT-SPI): a D-Bus bus of its own whose
// address the session bus's org.a11y.Bus hands out (starting the bus launcher
// when needed), unless the address is given (AT_SPI_BUS_ADDRESS).
class Bus {
  public:
    // Every request waits at most this long: a hung application must not hang us.
    static constexpr int kTimeoutMs = 3000;

    // Connects through the given session bus when first needed, so that a
    // program that never reads menus never starts the bus launcher. A given
    // address is used as it is, and accessibility then counts as enabled.
    explicit Bus(QDBusConnection sessionBus, QString address = {});
    ~Bus();
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;

    // Whether there is an accessibility bus; the error says why not.
    bool isConnected() const;
    const QString& error() const { return m_error; }
    QDBusConnection& connection() const;

    // org.a11y.Status.IsEnabled of the session: whether accessibility is on.
    bool isEnabled() const;

    // The registered applications (the registry's root children).
    ReferenceList applications();
    // The processes behind connections on this bus, in one batch; 0 where it
    // cannot be told (the connection is gone).
    QList<qint64> processIdsOf(const QStringList& services);

  private:
    QDBusConnection m_sessionBus;
    QString m_givenAddress;
    mutable bool m_tried = false;
    mutable std::optional<QDBusConnection> m_connection;
    mutable QString m_name; // the connection's name in QtDBus, released when done
    mutable QString m_error;
};

// Requests sent together and answered together: all are on their way before
// the first answer is awaited, so a batch costs one round trip, not one per
// request.
class Batch {
  public:
    explicit Batch(QDBusConnection& connection)
        : m_connection(connection) {}
    // Queues a call; answers its index in the batch.
    qsizetype call(const Reference& target, const QString& interface, const QString& method,
                   const QVariantList& arguments = {});
    // org.freedesktop.DBus.Properties.Get of one property.
    qsizetype property(const Reference& target, const QString& interface, const QString& name);
    // Sends everything and waits for every answer.
    void run();
    const QDBusMessage& reply(qsizetype index) const { return m_replies.at(index); }
    qsizetype size() const { return m_calls.size(); }

  private:
    QDBusConnection& m_connection;
    QList<QDBusMessage> m_calls;
    QList<QDBusMessage> m_replies;
};

// The platform's error code for a failed request.
ax::Error errorOf(const QDBusMessage& reply);
// The first argument of a reply, read as a list of references, a string, a
// number or a list of numbers; nothing when the reply is an error or another type.
std::optional<ReferenceList> referencesOf(const QDBusMessage& reply);
std::optional<QString> stringOf(const QDBusMessage& reply);
std::optional<quint32> unsignedOf(const QDBusMessage& reply);
std::optional<QList<quint32>> unsignedListOf(const QDBusMessage& reply);

} // namespace qrv::atspi
