#include "platform/linux/DBusSingleInstance.h"

#include <QDBusConnection>
#include <QDir>
#include <gtest/gtest.h>
#include <memory>

using namespace qrv;
using Role = DBusSingleInstance::Role;

namespace {

// Each copy on a connection of its own, as separate processes would be.
class SingleInstance : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus (run the suite through scripts/test.sh)";
    }
    std::unique_ptr<DBusSingleInstance> start(const QString& home) {
        return std::make_unique<DBusSingleInstance>(home,
                                                    QStringLiteral("copy%1").arg(++m_started));
    }

  private:
    int m_started = 0;
};

TEST_F(SingleInstance, ALaterStartForTheSameHomeHandsItsFilesToTheFirstAndEnds) {
    const QString home = QDir::tempPath() + QStringLiteral("/quorvane home \"1\"");
    auto first = start(home);
    ASSERT_EQ(first->claimOrHandOver({}), Role::First);

    // Files that come before the program can open them wait for it.
    QString problem;
    EXPECT_EQ(start(home)->claimOrHandOver({QStringLiteral("relative.json")}, &problem),
              Role::HandedOver)
        << problem.toStdString();
    QList<QStringList> opened;
    first->setFilesHandler([&opened](const QStringList& files) { opened << files; });
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QStringList{QDir::current().absoluteFilePath("relative.json")});

    // A start without files still reaches the first copy (to bring it forward).
    EXPECT_EQ(start(home)->claimOrHandOver({}), Role::HandedOver);
    EXPECT_EQ(opened.size(), 2);
    EXPECT_TRUE(opened.value(1).isEmpty());

    // Another home is another editor's business.
    EXPECT_EQ(start(home + QStringLiteral("/other"))->claimOrHandOver({}), Role::First);

    // Once the first copy is gone, the next start is the first again.
    first.reset();
    EXPECT_EQ(start(home)->claimOrHandOver({}), Role::First);
}

} // namespace
