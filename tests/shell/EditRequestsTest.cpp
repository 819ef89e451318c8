#include "ExchangeFixture.h"
#include "editor/QRVShortcutsTableModel.h"
#include "exchange/EditRequestOpener.h"

#include <QDir>
#include <QLineEdit>

using namespace qrv;
using Command = QRVShortcutsCommands::Command;
using qrv::testing::ExchangeTest;
using qrv::testing::kNotes;
using qrv::testing::kSavePath;
using qrv::testing::ShellTest;

namespace {

TEST_F(ExchangeTest, ARequestWrittenHereLeadsBackToItsRowAndRecordsItsKey) {
    storeTable(kNotes, {{kSavePath, "@s"}, {"Print", "@p"}});
    for (const QString& title : {kSavePath, QStringLiteral("Print")}) {
        select(kNotes);
        editor().setSelectionIndexes({rowOf(title)});
        action(Command::CreateRequest)->trigger();
        const QString path = platform.home.file("request.menuShortcuts");
        filePanels.answer(path);

        // Elsewhere in the editor, the file is opened from the file manager.
        editor().setApplication(nullptr);
        editor().setSelectionIndexes({});
        EXPECT_TRUE(delegate->openFileURL(QUrl::fromLocalFile(path)));
        settle();

        ASSERT_EQ(editor().application()->bundleIdentifier(), kNotes) << title.toStdString();
        EXPECT_EQ(rows().size(), 2) << "no row added for " << title.toStdString();
        EXPECT_EQ(editor().selectionIndexes(), QList<int>{rowOf(title)});
        EXPECT_TRUE(isRecording(rowOf(title))) << title.toStdString();
        EXPECT_TRUE(QFile::exists(path)) << "a file opened by the user stays";
    }
    EXPECT_TRUE(platform.alerts.shown.isEmpty());
    EXPECT_EQ(platform.alerts.beeps, 0);
}

TEST_F(ExchangeTest, OnlyTheOldestRequestOfTheFolderIsProcessedAndAllAreDeleted) {
    storeTable(kNotes, {{"Print", "@p"}});
    const QString folder = delegate->editRequestOpener().editRequestsFolder();
    ASSERT_TRUE(QDir().mkpath(folder));
    const QDateTime created = QDateTime::currentDateTimeUtc();
    const QStringList titles{"Oldest", "Middle", "Newest"};
    for (int i = 0; i < titles.size(); ++i) {
        const QString path = folder + QStringLiteral("/%1.menuShortcuts").arg(titles[i]);
        writeJson(path, exchangeFile("request", kNotes, {shortcut(titles[i], "")}));
        // Where the file system keeps no birth time, the modification time stands in.
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(created.addSecs(i - 10), QFileDevice::FileModificationTime);
    }

    delegate->mainWindowController()->checkEditRequests();
    settle();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
    ASSERT_EQ(editor().application()->bundleIdentifier(), kNotes);
    EXPECT_EQ(rowOf("Middle"), -1);
    EXPECT_EQ(rowOf("Newest"), -1);
    ASSERT_NE(rowOf("Oldest"), -1);
    EXPECT_TRUE(isRecording(rowOf("Oldest")));
    // Nothing is saved until a key is recorded.
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Print", "@p"}}));
}

TEST_F(ExchangeTest, ARequestWithoutATitleEndsTheTitleBeingTypedAndOpensAnEmptyRow) {
    storeTable(kNotes, {{"Print", "@p"}});
    select(kNotes);
    action(Command::AddShortcut)->trigger();
    QRVShortcutsTableView* table = editor().menuShortcutsTableView();
    const auto titleEditor = [&](int row) {
        return qobject_cast<QLineEdit*>(
            table->indexWidget(editor().menuShortcutsArrayController()->index(
                row, QRVShortcutsTableModel::TitleColumn)));
    };
    ASSERT_NE(titleEditor(1), nullptr);
    QTest::keyClicks(titleEditor(1), QStringLiteral("Zoom"));

    const QString path = platform.home.file("any.menuShortcuts");
    writeJson(path, exchangeFile("request", kNotes, {QJsonObject{}}));
    ASSERT_TRUE(delegate->openFileURL(QUrl::fromLocalFile(path)));
    settle();

    ASSERT_EQ(rows().size(), 3);
    EXPECT_EQ(rowOf("Zoom"), 1) << "the title typed is kept";
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Print", "@p"}, {"Zoom", ""}}));
    EXPECT_EQ(editor().selectionIndexes(), QList<int>{2});
    EXPECT_EQ(titleEditor(1), nullptr);
    ASSERT_NE(titleEditor(2), nullptr);
    EXPECT_TRUE(titleEditor(2)->text().isEmpty());
    EXPECT_FALSE(isRecording(2));
}

TEST_F(ShellTest, ARequestThatArrivesBeforeTheEditorWaitsForIt) {
    platform.run(qrv::testing::kNotes, QStringLiteral("Notes"), 42);
    const QString path = platform.home.file("early.menuShortcuts");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"kind": "request", "version": 1, "applications": [
                 {"bundleIdentifier": "com.example.notes", "shortcuts": [{"title": "Print"}]}]})");
    file.close();

    QRVAppDelegate& app = makeDelegate();
    EXPECT_TRUE(app.openFileURL(QUrl::fromLocalFile(path)));
    platform.scheduler.advance(Millis(600));
    EXPECT_TRUE(app.editRequestMailbox().hasPendingRequest());

    ASSERT_TRUE(app.launch());
    QRVShortcutsViewController* editor = app.mainWindowController()->shortcutsViewController();
    EXPECT_FALSE(app.editRequestMailbox().hasPendingRequest());
    ASSERT_EQ(editor->application()->bundleIdentifier(), qrv::testing::kNotes);
    const auto records = editor->menuShortcuts().value_or(QList<QRVMenuShortcutPtr>());
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0]->title(), "Print");
    EXPECT_EQ(editor->selectionIndexes(), QList<int>{0});
}

} // namespace
