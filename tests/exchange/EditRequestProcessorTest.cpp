#include "exchange/EditRequestProcessor.h"

#include "platform/testing/FakeWorkspace.h"
#include "platform/testing/ScriptedAlertPresenter.h"
#include "support/QtPrinters.h"

#include <QHash>
#include <QJsonArray>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

const QString kMail = QStringLiteral("com.example.Mail");
const QChar kEsc = QRVMenuShortcut::kPathSeparator;

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
