#pragma once

#include "editor/QRVShortcutView.h"
#include "editor/QRVShortcutsCommands.h"
#include "editor/QRVShortcutsTableModel.h"
#include "editor/QRVShortcutsTableView.h"
#include "editor/QRVShortcutsViewController.h"
#include "editor/QRVShortcutsViewTableCellView.h"
#include "platform/plist/PlistCodec.h"
#include "support/EditorServices.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

namespace qrv::testing {

inline const QString kNotes = QStringLiteral("com.example.notes");
inline const QString kDraw = QStringLiteral("com.example.draw");
inline const QString kTableKey = QStringLiteral("NSUserKeyEquivalents");

// The editor in a shown main window, on fake services, with two running
// applications whose tables the tests write and read as files.
class ShortcutsEditorFixture : public ::testing::Test {
  protected:
    ShortcutsEditorFixture() {
        world.run(kNotes, QStringLiteral("Notes"), 42);
        world.run(kDraw, QStringLiteral("Draw"), 43);
        window.setCentralWidget(controller.view());
        window.resize(800, 500);
        window.show();
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
    }
    ~ShortcutsEditorFixture() override { window.takeCentralWidget(); }

    QRVAplicationPtr entry(const QString& bundleIdentifier) const {
        for (const auto& e : controller.applications())
            if (e->bundleIdentifier() == bundleIdentifier)
                return e;
        return nullptr;
    }
    void select(const QString& bundleIdentifier) {
        controller.setApplication(entry(bundleIdentifier));
    }

    // Another program writes an application's table.
    void storeTable(const QString& domain, const QVariantMap& table) {
        ASSERT_TRUE(world.preferences.setValue(kTableKey, table, domain));
    }
    // The table as the file holds it, read with the property-list decoder.
    QVariant fileTable(const QString& domain) const {
        QFile file(world.home.preferencesFile(domain));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const auto decoded = plist::decode(file.readAll());
        return decoded ? decoded->toMap().value(kTableKey) : QVariant();
    }

    // Runs background and main work until neither hands the other more.
    void settle() {
        do
            world.scheduler.runPending();
        while (world.scheduler.runBackground() > 0);
    }

    QRVShortcutsTableView* table() const { return controller.menuShortcutsTableView(); }
    QList<QRVMenuShortcutPtr> rows() const {
        return controller.menuShortcuts().value_or(QList<QRVMenuShortcutPtr>());
    }
    QStringList titles() const {
        QStringList out;
        for (const auto& s : rows())
            out << s->title();
        return out;
    }
    QAction* action(QRVShortcutsCommands::Command command) const {
        return controller.commands()->action(command);
    }
    QLineEdit* titleEditor() const { return table()->viewport()->findChild<QLineEdit*>(); }
    // Types a title into the open editor and ends the edit with Return.
    void finishTitle(const QString& text) {
        QLineEdit* editor = titleEditor();
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits on the next turn of the event loop.
        QCoreApplication::processEvents();
    }
    QRVShortcutView* recorder(int row) const {
        auto* cell = table()->cellAtRow(row);
        return cell ? cell->shortcutView() : nullptr;
    }
    static KSCShortcutPtr key(quint16 keyCode, quint64 flags = KSCShortcut::Command) {
        return std::make_shared<KSCShortcut>(keyCode, flags);
    }
    static QRVMenuShortcutPtr record(const QString& title, const QString& keyEquivalent,
                                     const QString& bundleIdentifier = kDraw) {
        return QRVMenuShortcut::create(bundleIdentifier, title, keyEquivalent);
    }

    FakePlatform world;
    QMainWindow window;
    QRVShortcutsViewController controller{
        editorServices(world, [this] { return static_cast<const QWidget*>(window.menuBar()); })};
};

} // namespace qrv::testing
