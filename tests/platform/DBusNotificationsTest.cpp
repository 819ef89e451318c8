#include "platform/linux/DBusDistributedNotifications.h"
#include "platform/plist/PlistCodec.h"
#include "support/QtPrinters.h"
#include "support/Wait.h"

#include <QDBusConnection>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

class Receiver : public QObject {
    Q_OBJECT
  public slots:
    void notified(const QString& name, const QByteArray& userInfo) {
        names.append(name);
        infos.append(userInfo);
    }

  public:
    QStringList names;
    QList<QByteArray> infos;
};

// Runs on the private session bus that the test command starts.
TEST(DBusDistributedNotifications, PostsNameAndUserInfoAsAPropertyList) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        GTEST_SKIP() << "no session bus (run the suite through scripts/test.sh)";
    Receiver receiver;
    ASSERT_TRUE(bus.connect(
        QString(), DBusDistributedNotifications::kPath, DBusDistributedNotifications::kInterface,
        DBusDistributedNotifications::kMember, &receiver, SLOT(notified(QString, QByteArray))));

    const QVariantMap userInfo{{"com.example.App", QVariantMap{{"Save", "@s"}, {"Old", ""}}}};
    DBusDistributedNotifications().post("com.apple.userkeyequivalentsdidchange", userInfo);
    ASSERT_TRUE(qrv::testing::waitUntil([&] { return !receiver.names.isEmpty(); }));
    EXPECT_EQ(receiver.names.first(), QString("com.apple.userkeyequivalentsdidchange"));
    const auto decoded = plist::decode(receiver.infos.first());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, QVariant(userInfo));
}

} // namespace

#include "DBusNotificationsTest.moc"
