#pragma once

#include "ShellFixture.h"
#include "editor/QRVShortcutView.h"
#include "editor/QRVShortcutsCommands.h"
#include "editor/QRVShortcutsTableView.h"
#include "editor/QRVShortcutsViewController.h"
#include "editor/QRVShortcutsViewTableCellView.h"
#include "platform/plist/PlistCodec.h"
#include "shell/QRVMainWindowController.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace qrv::testing {

inline const QString kNotes = QStringLiteral("com.example.notes");
inline const QString kSavePath = QStringLiteral("\x1b"
                                                "File\x1b"
                                                "Save");

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

    static QJsonObject readJson(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }
    static void writeJson(const QString& path, const QJsonObject& object) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(object).toJson());
    }
    // A file of the given kind for one application, as other writers make it.
    static QJsonObject exchangeFile(const QString& kind, const QString& bundleIdentifier,
                                    const QJsonArray& shortcuts) {
        return {{"kind", kind},
                {"version", 1},
                {"applications", QJsonArray{QJsonObject{{"bundleIdentifier", bundleIdentifier},
                                                        {"localizedName", "Somewhere"},
                                                        {"shortcuts", shortcuts}}}}};
    }
    static QJsonObject shortcut(const QString& title, const QString& keyEquivalent) {
        return {{"title", title}, {"keyEquivalent", keyEquivalent}};
    }

    // Lets the background reads and the delayed hand-over to the editor run.
    void settle() { platform.scheduler.advance(Millis(600)); }
};

} // namespace qrv::testing
