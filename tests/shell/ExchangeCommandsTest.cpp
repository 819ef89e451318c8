#include "ExchangeFixture.h"
#include "shell/QRVExchangeCommands.h"
#include "shell/QRVImportController.h"
#include "shell/QRVImportPreviewWindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace qrv;
using Command = QRVShortcutsCommands::Command;
using qrv::testing::ExchangeTest;
using qrv::testing::kNotes;
using qrv::testing::kSavePath;

namespace {

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

TEST_F(ExchangeTest, ARequestNamesTheFirstSelectedRowAndIsProposedAsARequest) {
    storeTable(kNotes, {{kSavePath, "@s"}, {"Print", "@p"}});
    select(kNotes);
    editor().setSelectionIndexes({rowOf(kSavePath), rowOf("Print")});
    action(Command::CreateRequest)->trigger();
    ASSERT_EQ(filePanels.waiting.size(), 1);
    EXPECT_EQ(filePanels.waiting.first().savePanel.proposedName, "Notes - Request");
    EXPECT_EQ(filePanels.waiting.first().savePanel.accessoryView, nullptr);
    const QString path = platform.home.file("request.menuShortcuts");
    filePanels.answer(path);
    const QJsonObject file = readJson(path);
    EXPECT_EQ(file["kind"], "request");
    EXPECT_EQ(file["applications"][0]["shortcuts"].toArray().size(), 1);
    EXPECT_EQ(shortcutTitled(file, "Save")["parents"], QJsonArray{"File"});
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
