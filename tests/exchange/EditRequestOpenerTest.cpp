#include "exchange/EditRequestOpener.h"

#include "exchange/EditRequestMailbox.h"
#include "platform/testing/FakeWorkspace.h"
#include "platform/testing/ScriptedAlertPresenter.h"
#include "platform/testing/VirtualScheduler.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

const QByteArray kRequest =
    R"({"kind":"request","version":1,"applications":[{"bundleIdentifier":"com.example.Mail",)"
    R"("shortcuts":[{"title":"Save"}]}]})";
const QByteArray kNewerRequest = R"({"kind":"request","version":2})";

class EditRequestOpenerTest : public ::testing::Test {
  protected:
    EditRequestOpenerTest() {
        mailbox.setReceiver([this](const QJsonObject& userInfo) { posted.append(userInfo); });
        QDir().mkpath(opener.editRequestsFolder());
    }

    QString write(const QString& path, const QByteArray& content) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    QString inFolder(const QString& name) { return opener.editRequestsFolder() + "/" + name; }
    QString outside(const QString& name) { return elsewhere.filePath(name); }

    // Opens and lets everything due run; answers what openFileURL answered.
    std::optional<bool> open(const QString& path) {
        std::optional<bool> answer;
        opener.openFileURL(QUrl::fromLocalFile(path), [&](bool read) { answer = read; });
        scheduler.advance(1s);
        return answer;
    }

    QTemporaryDir support;
    QTemporaryDir elsewhere;
    qrv::testing::VirtualScheduler scheduler;
    qrv::testing::ScriptedAlertPresenter alerts;
    qrv::testing::FakeWorkspace workspace;
    EditRequestMailbox mailbox;
    EditRequestOpener opener{{scheduler, alerts, workspace, mailbox},
                             QFileInfo(support.path()).canonicalFilePath()};
    QList<QJsonObject> posted;
};

TEST_F(EditRequestOpenerTest, OpenedFilesArePostedHalfASecondLaterAndOnlyQueuedOnesDeleted) {
    const QString request = write(outside("Mail - Request.menuShortcuts"), kRequest);
    std::optional<bool> answer;
    opener.openFileURL(QUrl::fromLocalFile(request), [&](bool read) { answer = read; });
    scheduler.advance(499ms);
    EXPECT_EQ(answer, true);
    EXPECT_TRUE(posted.isEmpty());
    scheduler.advance(1ms);
    ASSERT_EQ(posted.size(), 1);
    EXPECT_EQ(posted.first(), QJsonDocument::fromJson(kRequest).object());
    EXPECT_TRUE(QFile::exists(request)); // a file the user opened stays where it is

    const QString queued = write(inFolder("a.menuShortcuts"), kRequest);
    EXPECT_EQ(open(queued), true);
    EXPECT_FALSE(QFile::exists(queued));
    const QString besideIt = write(support.filePath("kept.menuShortcuts"), kRequest);
    EXPECT_EQ(open(besideIt), true);
    EXPECT_TRUE(QFile::exists(besideIt));
    EXPECT_EQ(posted.size(), 3);
    EXPECT_TRUE(alerts.shown.isEmpty());
}

TEST_F(EditRequestOpenerTest, RefusesWhatIsNoExchangeFileOrNoJsonObject) {
    EXPECT_EQ(open(write(outside("notes.txt"), kRequest)), false);
    EXPECT_EQ(open(outside("missing.menuShortcuts")), false);
    EXPECT_EQ(open(write(outside("bad.menuShortcuts"), "[1, 2]")), false);
    const QString fifo = outside("fifo.menuShortcuts");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(open(fifo), false);
    bool answered = false;
    opener.openFileURL(QUrl("https://example.com/a.menuShortcuts"), [&](bool) { answered = true; });
    EXPECT_TRUE(answered);
    EXPECT_TRUE(posted.isEmpty());
    EXPECT_TRUE(alerts.shown.isEmpty());
}

TEST_F(EditRequestOpenerTest, ANewerFileIsExplainedOnlyWhenTheUserOpenedIt) {
    EXPECT_EQ(open(write(outside("Newer.MENUSHORTCUTS"), kNewerRequest)), true);
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].messageText,
              QStringLiteral(u"Cannot read the file named “Newer.MENUSHORTCUTS”"));
    EXPECT_EQ(alerts.shown[0].informativeText,
              QString("The file may have been created by a newer version of this application."));
    EXPECT_EQ(alerts.shown[0].style, Alert::Style::Warning);
    EXPECT_EQ(posted.size(), 1); // the editor refuses it with a beep

    const QString inside = write(inFolder("Newer.menuShortcuts"), kNewerRequest);
    EXPECT_EQ(open(inside), true);
    EXPECT_EQ(alerts.shown.size(), 1);
    EXPECT_TRUE(QFile::exists(inside)); // only requests it understands are deleted
}

TEST_F(EditRequestOpenerTest, FolderCheckOpensTheOldestAndEmptiesTheFolder) {
    for (const char* name : {"1.menuShortcuts", "2.menuShortcuts", "3.menuShortcuts"})
        write(inFolder(name), kRequest);
    write(inFolder("readme.txt"), "keep me");
    const QString target = write(outside("precious.menuShortcuts"), kRequest);
    ASSERT_TRUE(QFile::link(target, inFolder("link.menuShortcuts")));
    bool done = false;
    opener.checkEditRequests([&] { done = true; });
    scheduler.advance(1s);
    EXPECT_TRUE(done);
    EXPECT_EQ(posted.size(), 1);
    EXPECT_EQ(QDir(opener.editRequestsFolder())
                  .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              QStringList{"readme.txt"});
    EXPECT_TRUE(QFile::exists(target)); // the link went, not what it pointed to

    // A folder that is itself a link is left alone.
    const QString folder = opener.editRequestsFolder();
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(QFile::link(elsewhere.path(), folder));
    opener.checkEditRequests();
    scheduler.advance(1s);
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_EQ(posted.size(), 1);
}

TEST(EditRequestMailbox, KeepsARequestUntilTheEditorListens) {
    EditRequestMailbox mailbox;
    mailbox.post({{"title", "first"}});
    mailbox.post({{"title", "second"}});
    QList<QJsonObject> received;
    mailbox.setReceiver([&](const QJsonObject& userInfo) { received.append(userInfo); });
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0]["title"].toString(), QString("second"));
    EXPECT_FALSE(mailbox.hasPendingRequest());
    mailbox.post({{"title", "third"}});
    EXPECT_EQ(received.size(), 2);
}

TEST(EditRequestFolder, OldestIsTheFirstCreatedRegularFileFirstListedAmongEquals) {
    const QDateTime t0 = QDateTime::fromSecsSinceEpoch(1000);
    using C = EditRequestOpener::Candidate;
    EXPECT_EQ(EditRequestOpener::oldestRequest({}), -1);
    EXPECT_EQ(EditRequestOpener::oldestRequest(
                  {C{"a", t0.addSecs(5), true}, C{"b", t0, true}, C{"c", t0, true}}),
              1);
    EXPECT_EQ(EditRequestOpener::oldestRequest({C{"link", {}, false}, C{"a", t0, true}}), 1);
    EXPECT_EQ(EditRequestOpener::oldestRequest({C{"link", {}, false}}), -1);
}

TEST_F(EditRequestOpenerTest, TenThousandRequestsNeverHoldUpTheMainThread) {
    for (int i = 0; i < 10000; ++i)
        write(inFolder(QString("r%1.menuShortcuts").arg(i)), kRequest);
    scheduler.setBackgroundRunsAutomatically(false);
    QElapsedTimer mainThread;
    mainThread.start();
    opener.checkEditRequests();
    EXPECT_LT(mainThread.elapsed(), 100);
    EXPECT_EQ(scheduler.runBackground(), 1); // listing, reading and deleting
    mainThread.restart();
    scheduler.advance(1s);
    EXPECT_LT(mainThread.elapsed(), 100);
    EXPECT_EQ(posted.size(), 1);
    EXPECT_TRUE(QDir(opener.editRequestsFolder()).isEmpty());
}

} // namespace
