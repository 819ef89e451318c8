#include "ShellFixture.h"
#include "editor/QRVShortcutView.h"
#include "editor/QRVShortcutsCommands.h"
#include "editor/QRVShortcutsTableModel.h"
#include "editor/QRVShortcutsTableView.h"
#include "editor/QRVShortcutsViewController.h"
#include "editor/QRVShortcutsViewTableCellView.h"
#include "exchange/EditRequestOpener.h"
#include "platform/plist/PlistCodec.h"
#include "shell/QRVExchangeCommands.h"
#include "shell/QRVImportController.h"
#include "shell/QRVImportPreviewWindow.h"
#include "shell/QRVMainWindowController.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace qrv;
using namespace qrv::testing;
using Command = QRVShortcutsCommands::Command;

namespace {

const QString kNotes = QStringLiteral("com.example.notes");
const QString kSavePath = QStringLiteral("\x1b"
                                         "File\x1b"
                                         "Save");

QJsonObject readJson(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}
void writeJson(const QString& path, const QJsonObject& object) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(object).toJson());
}
// A file of the given kind for one application, as other writers make it.
QJsonObject exchangeFile(const QString& kind, const QString& bundleIdentifier,
                         const QJsonArray& shortcuts) {
    return {{"kind", kind},
            {"version", 1},
            {"applications", QJsonArray{QJsonObject{{"bundleIdentifier", bundleIdentifier},
                                                    {"localizedName", "Somewhere"},
                                                    {"shortcuts", shortcuts}}}}};
}
QJsonObject shortcut(const QString& title, const QString& keyEquivalent) {
    return {{"title", title}, {"keyEquivalent", keyEquivalent}};
}

// The launched application with a running "Notes" whose table the tests
// write and read back as files, and the editor's exchange commands wired.
class ExchangeTest : public ShellTest {
  protected:
    void SetUp() override {
        platform.run(kNotes, QStringLiteral("Notes"), 42);
        launched();
        QWidget* window = delegate->mainWindowController()->window();
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window);
    }

    QRVShortcutsViewController& editor() const {
        return *delegate->mainWindowController()->shortcutsViewController();
    }
    void select(const QString& bundleIdentifier) {
        for (const QRVAplicationPtr& entry : editor().applications())
            if (entry->bundleIdentifier() == bundleIdentifier)
                editor().setApplication(entry);
    }
    QList<QRVMenuShortcutPtr> rows() const {
        return editor().menuShortcuts().value_or(QList<QRVMenuShortcutPtr>());
    }
    int rowOf(const QString& title) const {
        const auto list = rows();
        for (qsizetype row = 0; row < list.size(); ++row)
            if (list.at(row)->title() == title)
                return int(row);
        return -1;
    }
    bool isRecording(int row) const {
        auto* cell = editor().menuShortcutsTableView()->cellAtRow(row);
        return cell && cell->shortcutView()->isRecording();
    }
    QAction* action(QRVShortcutsCommands::Command command) const {
        return editor().commands()->action(command);
    }

    // Another program writes an application's table.
    void storeTable(const QString& domain, const QVariantMap& table) {
        ASSERT_TRUE(
            platform.preferences.setValue(QStringLiteral("NSUserKeyEquivalents"), table, domain));
    }
    // The table as its file holds it, read with the property-list decoder.
    QVariant fileTable(const QString& domain) const {
        QFile file(platform.home.preferencesFile(domain));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const auto decoded = plist::decode(file.readAll());
        return decoded ? decoded->toMap().value(QStringLiteral("NSUserKeyEquivalents"))
                       : QVariant();
    }

    // Lets the background reads and the delayed hand-over to the editor run.
    void settle() { platform.scheduler.advance(Millis(600)); }
};

TEST_F(ExchangeTest, ARequestWrittenHereLeadsBackToItsRowAndRecordsItsKey) {
    storeTable(kNotes, {{kSavePath, "@s"}, {"Print", "@p"}});
    for (const QString& title : {kSavePath, QStringLiteral("Print")}) {
        select(kNotes);
        // With two selected, the request names the first.
        editor().setSelectionIndexes(title == kSavePath ? QList<int>{rowOf(title), rowOf("Print")}
                                                        : QList<int>{rowOf(title)});
        action(Command::CreateRequest)->trigger();
        ASSERT_EQ(filePanels.waiting.size(), 1);
        EXPECT_EQ(filePanels.waiting.first().savePanel.proposedName, "Notes - Request");
        EXPECT_EQ(filePanels.waiting.first().savePanel.accessoryView, nullptr);
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
    platform.run(kNotes, QStringLiteral("Notes"), 42);
    const QString path = platform.home.file("early.menuShortcuts");
    writeJson(path, exchangeFile("request", kNotes, {QJsonObject{{"title", "Print"}}}));

    QRVAppDelegate& app = makeDelegate();
    EXPECT_TRUE(app.openFileURL(QUrl::fromLocalFile(path)));
    platform.scheduler.advance(Millis(600));
    EXPECT_TRUE(app.editRequestMailbox().hasPendingRequest());

    ASSERT_TRUE(app.launch());
    QRVShortcutsViewController* editor = app.mainWindowController()->shortcutsViewController();
    EXPECT_FALSE(app.editRequestMailbox().hasPendingRequest());
    ASSERT_EQ(editor->application()->bundleIdentifier(), kNotes);
    const auto records = editor->menuShortcuts().value_or(QList<QRVMenuShortcutPtr>());
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0]->title(), "Print");
    EXPECT_EQ(editor->selectionIndexes(), QList<int>{0});
}

QJsonObject shortcutTitled(const QJsonObject& file, const QString& title) {
    const QJsonArray shortcuts =
        file["applications"].toArray().at(0).toObject()["shortcuts"].toArray();
    for (const QJsonValue& value : shortcuts)
        if (value.toObject()["title"] == title)
            return value.toObject();
    return {};
}

void setField(QWidget* accessory, const QString& name, const QString& text) {
    auto* field = accessory ? accessory->findChild<QLineEdit*>(name) : nullptr;
    ASSERT_NE(field, nullptr) << name.toStdString();
    field->setText(text);
}

QString field(QWidget* accessory, const QString& name) {
    auto* found = accessory ? accessory->findChild<QLineEdit*>(name) : nullptr;
    return found ? found->text() : QStringLiteral("<no field>");
}

TEST_F(ExchangeTest, ExportWritesPathAndPlainTitlesWithWhatThePanelSays) {
    defaults.setObject(QStringLiteral("author"), QStringLiteral("Ann"));
    storeTable(kNotes, {{kSavePath, "@s"}, {"Print", "@p"}});
    select(kNotes);
    ASSERT_TRUE(action(Command::ExportAll)->isEnabled());
    action(Command::ExportAll)->trigger();

    ASSERT_EQ(filePanels.waiting.size(), 1);
    const auto panel = filePanels.waiting.first().savePanel;
    EXPECT_TRUE(filePanels.waiting.first().save);
    EXPECT_EQ(panel.type.extension, "menuShortcuts");
    EXPECT_EQ(panel.proposedName, "Notes");
    EXPECT_EQ(panel.window, delegate->mainWindowController()->window());
    QWidget* accessory = panel.accessoryView;
    EXPECT_EQ(field(accessory, "author"), "Ann");
    EXPECT_EQ(field(accessory, "label"), "Notes");
    EXPECT_EQ(field(accessory, "longLabel"), "");
    setField(accessory, "author", "Bo");
    setField(accessory, "longLabel", "For writing");
    const QString path = platform.home.file("notes.menuShortcuts");
    filePanels.answer(path);

    const QJsonObject file = readJson(path);
    EXPECT_EQ(file["kind"], "export");
    EXPECT_EQ(file["author"], "Bo");
    EXPECT_EQ(file["title"], "Notes");
    EXPECT_EQ(file["description"], "For writing");
    EXPECT_EQ(file["applications"][0]["bundleIdentifier"], kNotes);
    EXPECT_EQ(shortcutTitled(file, "Save")["parents"], QJsonArray{"File"});
    EXPECT_EQ(shortcutTitled(file, "Print")["keyEquivalent"], "@p");
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("author")), "Bo");

    // The next panel remembers the author; cancelling it writes and forgets nothing.
    editor().setSelectionIndexes({rowOf("Print")});
    action(Command::ExportSelected)->trigger();
    ASSERT_EQ(filePanels.waiting.size(), 1);
    EXPECT_EQ(field(filePanels.waiting.first().savePanel.accessoryView, "author"), "Bo");
    setField(filePanels.waiting.first().savePanel.accessoryView, "author", "");
    filePanels.answer(std::nullopt);
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("author")), "Bo");

    // Only the selected row.
    action(Command::ExportSelected)->trigger();
    const QString selectedPath = platform.home.file("print.menuShortcuts");
    filePanels.answer(selectedPath);
    const QJsonArray selected = readJson(selectedPath)["applications"][0]["shortcuts"].toArray();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0]["title"], "Print");
    EXPECT_TRUE(platform.alerts.shown.isEmpty());
}

TEST_F(ExchangeTest, NothingToExportBeepsAndAFailedWriteIsExplained) {
    select(kNotes); // no shortcuts: one empty row
    EXPECT_FALSE(action(Command::ExportAll)->isEnabled());
    delegate->exchangeCommands()->exportShortcuts(rows());
    EXPECT_EQ(platform.alerts.beeps, 1);
    EXPECT_EQ(filePanels.shown, 0);

    storeTable(kNotes, {{"Print", "@p"}});
    editor().applicationDidBecomeActiveNotification();
    action(Command::ExportAll)->trigger();
    const QString path = platform.home.file("no such folder/notes.menuShortcuts");
    filePanels.answer(path);
    ASSERT_EQ(platform.alerts.shown.size(), 1);
    EXPECT_TRUE(platform.alerts.shown[0].messageText.contains(path));
    EXPECT_FALSE(QFile::exists(path));
}

class ImportTest : public ExchangeTest {
  protected:
    // Notes before the import, and an export of another application that
    // leaves Print as it is, changes Copy, adds Open and gives Find's key to New.
    void SetUp() override {
        ExchangeTest::SetUp();
        storeTable(kNotes, {{"Print", "@p"}, {"Copy", "@c"}, {"Find", "@f"}});
        select(kNotes);
        writeJson(path, exchangeFile("export", "com.example.draw",
                                     {shortcut("Print", "@p"), shortcut("Copy", "@k"),
                                      shortcut("Open", "@o"), shortcut("New", "@f")}));
    }

    QRVImportPreviewWindow* importFile(const QString& file) {
        action(Command::Import)->trigger();
        EXPECT_EQ(filePanels.waiting.size(), 1);
        EXPECT_FALSE(filePanels.waiting.value(0).save);
        filePanels.answer(file);
        settle();
        return delegate->importController()->previewWindow();
    }
    QStringList column(QRVImportPreviewWindow* window, int column) const {
        QStringList texts;
        for (int row = 0; row < window->rowsView()->topLevelItemCount(); ++row)
            texts << window->rowsView()->topLevelItem(row)->text(column);
        return texts;
    }

    const QString path = platform.home.file("draw.menuShortcuts");
};

TEST_F(ImportTest, ThePreviewShowsEveryKindOfChangeAndApplyingAllSavesOnce) {
    QRVImportPreviewWindow* window = importFile(path);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    using W = QRVImportPreviewWindow;
    EXPECT_EQ(column(window, W::KindColumn),
              (QStringList{"Unchanged", "Changed", "Added", "Conflict"}));
    EXPECT_EQ(column(window, W::TitleColumn), (QStringList{"Print", "Copy", "Open", "New"}));
    EXPECT_EQ(column(window, W::KeyColumn), (QStringList{"⌘P", "⌘C → ⌘K", "⌘O", "⌘F"}));
    EXPECT_EQ(column(window, W::ConflictsColumn), (QStringList{"", "", "", "Find"}));
    EXPECT_TRUE(fileTable(kNotes).isValid());

    platform.notifications.posted.clear();
    window->findChild<QPushButton*>("applyAll")->click();
    EXPECT_EQ(fileTable(kNotes),
              QVariant(QVariantMap{
                  {"Print", "@p"}, {"Copy", "@k"}, {"Find", "@f"}, {"Open", "@o"}, {"New", "@f"}}));
    EXPECT_EQ(platform.notifications.posted.size(), 1);
    for (const QRVMenuShortcutPtr& record : rows())
        EXPECT_EQ(record->bundleIdentifier(), kNotes);
    QCoreApplication::processEvents(); // the window closes
    EXPECT_EQ(delegate->importController()->previewWindow(), nullptr);
}

TEST_F(ImportTest, OnlyTheSelectedRowsAreAppliedAndCancelOrARefusedFileChangeNothing) {
    const QVariant before = fileTable(kNotes);
    QRVImportPreviewWindow* window = importFile(path);
    ASSERT_NE(window, nullptr);
    window->findChild<QPushButton*>("cancel")->click();
    QCoreApplication::processEvents(); // the window closes
    const QString request = platform.home.file("request.menuShortcuts");
    writeJson(request, exchangeFile("request", kNotes, {shortcut("Print", "@p")}));
    EXPECT_EQ(importFile(request), nullptr);
    EXPECT_EQ(importFile(platform.home.file("missing.menuShortcuts")), nullptr);
    ASSERT_EQ(platform.alerts.shown.size(), 2);
    EXPECT_EQ(platform.alerts.shown[0].informativeText,
              "This is a request for one shortcut, not an export of shortcuts.");
    EXPECT_TRUE(platform.alerts.shown[1].informativeText.contains("could not be read"));
    EXPECT_EQ(fileTable(kNotes), before);

    window = importFile(path);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->findChild<QPushButton*>("applySelected")->isEnabled());
    window->selectRows({2});
    window->findChild<QPushButton*>("applySelected")->click();
    EXPECT_EQ(
        fileTable(kNotes),
        QVariant(QVariantMap{{"Print", "@p"}, {"Copy", "@c"}, {"Find", "@f"}, {"Open", "@o"}}));
}

} // namespace
