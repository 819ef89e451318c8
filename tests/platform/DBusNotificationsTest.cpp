#include "platform/linux/DBusDistributedNotifications.h"
#include "support/QtPrinters.h"
#include "support/Wait.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
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
    const QVariantMap userInfo{
        {"com.example.App", QVariantMap{{kTitle, "@$s"}, {"Old", ""}, {"Odd", qint64(7)}}},
        {"com.example.Nul",
         QVariantMap{{QString::fromUtf8("a\0b", 3), "@a"}, {"b", QString::fromUtf8("x\0y", 3)}}}};
    DBusDistributedNotifications().post("com.apple.userkeyequivalentsdidchange", userInfo);
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

} // namespace

#include "DBusNotificationsTest.moc"
