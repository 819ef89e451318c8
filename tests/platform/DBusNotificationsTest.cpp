#include "platform/linux/DBusDistributedNotifications.h"
#include "support/QtPrinters.h"
#include "support/Wait.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

class Receiver : public QObject {
    Q_OBJECT
  public slots:
    void notified(const QDBusMessage& message) { messages.append(message); }

  public:
    QList<QDBusMessage> messages;
};

const QString kTitle = QStringLiteral(u"\u001BFile\u001BSave As\u2026");
const QVariantMap kUserInfo{
    {"com.example.App", QVariantMap{{kTitle, "@$s"}, {"Old", ""}, {"Odd", qint64(7)}}}};

// Runs on the private session bus that the test command starts.
class DBusNotifications : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!bus.isConnected())
            GTEST_SKIP() << "no session bus (run the suite through scripts/test.sh)";
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
};

TEST_F(DBusNotifications, UserInfoTravelsAsADictionaryOfStrings) {
    Receiver receiver;
    ASSERT_TRUE(bus.connect(
        QString(), DBusDistributedNotifications::kPath, DBusDistributedNotifications::kInterface,
        DBusDistributedNotifications::kMember, &receiver, SLOT(notified(QDBusMessage))));
    QVariantMap withNul = kUserInfo;
    withNul.insert("com.example.Nul", QVariantMap{{QString::fromUtf8("a\0b", 3), "@a"},
                                                  {"b", QString::fromUtf8("x\0y", 3)}});
    DBusDistributedNotifications().post("com.apple.userkeyequivalentsdidchange", withNul);
    ASSERT_TRUE(qrv::testing::waitUntil([&] { return !receiver.messages.isEmpty(); }));
    const QDBusMessage message = receiver.messages.first();
    EXPECT_EQ(message.signature(), QString("sa{sv}"));
    EXPECT_EQ(message.arguments().value(0), QVariant("com.apple.userkeyequivalentsdidchange"));
    const QVariantMap info = qdbus_cast<QVariantMap>(message.arguments().value(1));
    const QVariantMap table = qdbus_cast<QVariantMap>(info.value("com.example.App"));
    EXPECT_EQ(table.value(kTitle), QVariant("@$s"));
    EXPECT_EQ(table.value("Odd"), QVariant(qint64(7)));
    // D-Bus strings cannot hold U+0000: such a value goes as bytes, such a key not at all.
    const QVariantMap nul = qdbus_cast<QVariantMap>(info.value("com.example.Nul"));
    EXPECT_EQ(nul.keys(), QStringList{"b"});
    EXPECT_EQ(nul.value("b"), QVariant(QByteArray("x\0y", 3)));
}

TEST_F(DBusNotifications, AnOutsideMonitorReadsThePathTitle) {
    if (QStandardPaths::findExecutable("dbus-monitor").isEmpty())
        GTEST_SKIP() << "dbus-monitor is not installed (Debian package dbus-bin)";
    QProcess monitor;
    monitor.start("dbus-monitor",
                  {"--session",
                   "type='signal',interface='" + DBusDistributedNotifications::kInterface + "'"});
    ASSERT_TRUE(monitor.waitForStarted());
    QByteArray seen;
    // The monitor announces itself on the bus before it listens; post until it
    // hears, and read on until the whole message is out (it comes in pieces).
    const QByteArray lastValue = "string \"@$s\"";
    bool heard = false;
    EXPECT_TRUE(qrv::testing::waitUntil([&] {
        if (!heard)
            DBusDistributedNotifications().post("com.apple.userkeyequivalentsdidchange", kUserInfo);
        monitor.waitForReadyRead(100);
        seen += monitor.readAll();
        heard = heard || seen.contains("File");
        return seen.contains(lastValue);
    }));
    monitor.kill();
    monitor.waitForFinished();
    EXPECT_TRUE(seen.contains("string \"com.example.App\"")) << seen.toStdString();
    EXPECT_TRUE(seen.contains("string \"" + kTitle.toUtf8() + "\"")) << seen.toStdString();
    EXPECT_TRUE(seen.contains(lastValue)) << seen.toStdString();
}

} // namespace

#include "DBusNotificationsTest.moc"
