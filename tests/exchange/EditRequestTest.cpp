#include "exchange/EditRequestMailbox.h"
#include "exchange/EditRequestOpener.h"
#include "exchange/EditRequestProcessor.h"
#include "platform/testing/FakeWorkspace.h"
#include "platform/testing/ScriptedAlertPresenter.h"
#include "platform/testing/VirtualScheduler.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

const QString kMail = QStringLiteral("com.example.Mail");
const QChar kEsc = QRVMenuShortcut::kPathSeparator;
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

QRVMenuItemPtr item(const QString& title, const QString& key, bool prefersFullTitle = false) {
    auto made = std::make_shared<QRVMenuItem>();
    made->setTitle(title);
    made->setKeyEquivalent(key);
    made->setPrefersFullTitle(prefersFullTitle);
    return made;
}

// The editor as far as a request meets it: applications with stored rows,
// menus that appear when read, and the look-ups of validation by title.
class FakeEditor : public EditRequestTarget {
  public:
    FakeEditor() { selected = all; }

    const QRVAplicationList& applications() const override { return list; }
    QRVAplicationPtr application() const override { return selected; }
    const QRVAplicationPtr& allApplicationsApplication() const override { return all; }
    void setApplication(QRVAplicationPtr application) override {
        selected = application ? application : all;
        shortcuts = rows.value(selected->bundleIdentifier());
        topLevel.reset();
    }
    void selectApplicationWithPath(const QString& path) override {
        list.append(std::make_shared<QRVAplication>(installedAt.value(path), "Added"));
        setApplication(list.last());
    }
    const std::optional<QList<QRVMenuShortcutPtr>>& menuShortcuts() const override {
        return shortcuts;
    }
    void setMenuShortcuts(const std::optional<QList<QRVMenuShortcutPtr>>& list_) override {
        shortcuts = list_;
        ++replacements;
    }
    void validateShortcuts() override { ++validations; }
    std::optional<QRVMenuItemList> topLevelMenuItems() const override { return topLevel; }
    std::optional<QRVMenuItemList> allMenuItems() const override {
        return topLevel ? std::optional(menus) : std::nullopt;
    }
    void loadApplicationMenuItemsNow() override {
        ++menuLoads;
        topLevel = QRVMenuItemList{};
    }
    QRVMenuItemPtr leafMenuItemMatchingTitle(const QString& title) const override {
        return topLevel ? leaves.value(title) : nullptr;
    }
    QRVMenuItemPtr menuItemMatchingFullDisplayTitle(const QString& title) const override {
        return topLevel ? paths.value(title) : nullptr;
    }
    void endEditing() override {}
    void editRequestedShortcut(const QRVMenuShortcutPtr& shortcut, bool recordKey_) override {
        edited = shortcut;
        recordKey = recordKey_;
    }

    QRVAplicationPtr all = std::make_shared<QRVAplication>(QString(), "All Applications");
    QRVAplicationList list{all, std::make_shared<QRVAplication>(kMail, "Mail")};
    QRVAplicationPtr selected;
    QHash<QString, QList<QRVMenuShortcutPtr>> rows; // per bundle identifier
    QHash<QString, QString> installedAt;            // path -> bundle identifier
    std::optional<QList<QRVMenuShortcutPtr>> shortcuts;
    std::optional<QRVMenuItemList> topLevel;
    QRVMenuItemList menus;
    QHash<QString, QRVMenuItemPtr> leaves, paths;
    int replacements = 0, validations = 0, menuLoads = 0;
    QRVMenuShortcutPtr edited;
    std::optional<bool> recordKey;
};

QJsonObject request(const QString& bundleIdentifier, const std::optional<QString>& title,
                    const QStringList& parents = {}, const QString& name = "Mail") {
    QJsonObject shortcut;
    if (title)
        shortcut["title"] = *title;
    if (!parents.isEmpty())
        shortcut["parents"] = QJsonArray::fromStringList(parents);
    QJsonObject app{{"bundleIdentifier", bundleIdentifier}, {"shortcuts", QJsonArray{shortcut}}};
    if (!name.isEmpty())
        app["localizedName"] = name;
    return {{"kind", "request"}, {"version", 1}, {"applications", QJsonArray{app}}};
}

class EditRequestProcessorTest : public ::testing::Test {
  protected:
    FakeEditor editor;
    qrv::testing::ScriptedAlertPresenter alerts;
    qrv::testing::FakeWorkspace workspace;
    EditRequestProcessor processor{editor, alerts, workspace};
};

TEST_F(EditRequestProcessorTest, ARequestWaitsForTheCatalogue) {
    const QRVAplicationList loaded = editor.list;
    editor.list.clear();
    processor.menuShortcutRequestNotification(request(kMail, "Save"));
    EXPECT_TRUE(processor.request());
    EXPECT_FALSE(editor.edited);
    editor.list = loaded;
    processor.processRequest();
    EXPECT_FALSE(processor.request());
    ASSERT_TRUE(editor.edited);
    EXPECT_EQ(editor.selected->bundleIdentifier(), kMail);
    EXPECT_EQ(editor.edited->title(), QString("Save"));
    EXPECT_EQ(editor.recordKey, true);
    processor.processRequest(); // at most once
    EXPECT_EQ(editor.validations, 1);
}

TEST_F(EditRequestProcessorTest, OtherKindsBeepAndAnUnknownApplicationIsNamedAndNothingChanges) {
    QJsonObject newer = request(kMail, "Save");
    newer["version"] = 2;
    QJsonObject exported = request(kMail, "Save");
    exported["kind"] = "export";
    for (const QJsonObject& refused :
         {newer, exported, request("com.example.Gone", "Save", {}, "Gone"),
          request("com.example.Gone", "Save", {}, "")})
        processor.menuShortcutRequestNotification(refused);
    EXPECT_EQ(alerts.beeps, 2);
    ASSERT_EQ(alerts.shown.size(), 2);
    EXPECT_EQ(alerts.shown[0].messageText, QStringLiteral(u"Cannot find application “Gone”"));
    EXPECT_EQ(alerts.shown[1].messageText,
              QStringLiteral(u"Cannot find application “com.example.Gone”"));
    EXPECT_FALSE(editor.edited);
    EXPECT_EQ(editor.replacements, 0);
    EXPECT_FALSE(processor.request());
}

TEST_F(EditRequestProcessorTest, AnInstalledApplicationIsAddedAndGetsTheRow) {
    workspace.install("com.example.Notes", "/Applications/Notes.app");
    editor.installedAt["/Applications/Notes.app"] = "com.example.Notes";
    processor.menuShortcutRequestNotification(request("com.example.notes", "Save"));
    EXPECT_EQ(editor.list.size(), 3);
    ASSERT_TRUE(editor.edited);
    EXPECT_EQ(editor.edited->bundleIdentifier(), QString("com.example.Notes"));
    EXPECT_TRUE(alerts.shown.isEmpty());
}

TEST_F(EditRequestProcessorTest, AnExistingRowIsSelectedInAnyCaseAndThePlaceholderDropped) {
    const auto save = QRVMenuShortcut::create(kMail, "Save", "@s");
    editor.rows[kMail] = {save};
    // The file names the application in another case; rows keep the list's.
    processor.menuShortcutRequestNotification(request("COM.EXAMPLE.MAIL", "Save"));
    EXPECT_EQ(editor.edited, save);
    EXPECT_EQ(editor.replacements, 0);
    // All Applications finds its rows without an identifier.
    const auto global = QRVMenuShortcut::create(QString(), "Save", "@s");
    editor.rows[QString()] = {global};
    processor.menuShortcutRequestNotification(request("", "Save"));
    EXPECT_EQ(editor.selected, editor.all);
    EXPECT_EQ(editor.edited, global);

    auto placeholder = QRVMenuShortcut::create(kMail, "", "");
    placeholder->setIsPlaceholder(true);
    editor.rows[kMail] = {placeholder};
    editor.setApplication(editor.all);
    processor.menuShortcutRequestNotification(request(kMail, "Send"));
    ASSERT_EQ(editor.shortcuts->size(), 1);
    EXPECT_EQ(editor.shortcuts->first(), editor.edited);
    EXPECT_EQ(editor.edited->bundleIdentifier(), kMail);
}

TEST_F(EditRequestProcessorTest, WithoutATitleTheEmptyRowIsEditedOrAdded) {
    auto placeholder = QRVMenuShortcut::create(kMail, "", "");
    placeholder->setIsPlaceholder(true);
    editor.rows[kMail] = {placeholder};
    processor.menuShortcutRequestNotification(request(kMail, std::nullopt));
    EXPECT_EQ(editor.edited, placeholder);
    EXPECT_EQ(editor.recordKey, false);

    editor.rows[kMail] = {QRVMenuShortcut::create(kMail, "Save", "@s")};
    editor.setApplication(editor.all);
    processor.menuShortcutRequestNotification(request(kMail, std::nullopt));
    ASSERT_EQ(editor.shortcuts->size(), 2);
    EXPECT_EQ(editor.edited->title(), QString(""));
    EXPECT_EQ(editor.recordKey, false);
    EXPECT_EQ(editor.menuLoads, 0); // nothing to look up
}

TEST_F(EditRequestProcessorTest, ANewRowStartsWithTheMenuItemsOwnKey) {
    editor.leaves["Save"] = item("Save", "@s");
    editor.paths[QString("File") + kEsc + "Export"] = item("Export", "@e");
    processor.menuShortcutRequestNotification(request(kMail, "Save"));
    EXPECT_EQ(editor.edited->keyEquivalent(), QString("@s"));
    // A path is looked up as items show it, without the leading ESC.
    processor.menuShortcutRequestNotification(request(kMail, "Export", {"File"}));
    EXPECT_EQ(editor.edited->title(), QString(kEsc) + "File" + kEsc + "Export");
    EXPECT_EQ(editor.edited->keyEquivalent(), QString("@e"));
    EXPECT_EQ(editor.menuLoads, 2); // once per request
}

TEST_F(EditRequestProcessorTest, AMenuWithASpaceKeepsThePathOnlyWhereTheTitleIsAmbiguous) {
    editor.menus = {item("Clear", ""), item("Other", "")};
    processor.menuShortcutRequestNotification(request(kMail, "Clear", {"Open Recent"}));
    EXPECT_EQ(editor.edited->title(), QString("Clear"));
    EXPECT_EQ(editor.menuLoads, 1);

    editor.setApplication(editor.all);
    editor.menus = {item("Clear", "", true)};
    processor.menuShortcutRequestNotification(request(kMail, "Clear", {"Open Recent"}));
    EXPECT_EQ(editor.edited->title(), QString(kEsc) + "Open Recent" + kEsc + "Clear");

    editor.setApplication(editor.all);
    editor.menus = {item("Clear", ""), item("Clear", "")};
    processor.menuShortcutRequestNotification(request(kMail, "Clear", {"Open Recent"}));
    EXPECT_EQ(editor.edited->title(), QString(kEsc) + "Open Recent" + kEsc + "Clear");
}

} // namespace
