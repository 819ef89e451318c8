// The application itself as a screen reader meets it: the shortcut table,
// each row's title and recorder buttons walked over a private accessibility
// bus, and the recorder's press action recording (with keys typed on the
// display) and clearing a key.
#include "atspi/session/AtspiSession.h"
#include "platform/linux/AtspiBus.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QDBusArgument>
#include <QDBusVariant>
#include <gtest/gtest.h>

using namespace qrv;
using namespace Qt::StringLiterals;

namespace {

// An object of the application's tree as the bus describes it.
struct Node {
    atspi::Reference ref;
    QString role;
    QString name;
};

// A property's value.
QVariant valueOf(const QDBusMessage& reply) {
    const QList<QVariant> arguments = reply.arguments();
    return arguments.isEmpty() ? QVariant() : arguments.first().value<QDBusVariant>().variant();
}

class AtspiEditor : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!session.skipReason().isEmpty())
            GTEST_SKIP() << qPrintable(session.skipReason());
        ASSERT_TRUE(session.failure().isEmpty()) << qPrintable(session.failure());
        // All Applications, which the window shows first.
        for (const QStringList& set : {QStringList{u"-g"_s, u"Bold"_s, u"@b"_s},
                                       {u"--path"_s, u"-g"_s, u"Format→Italic"_s, u""_s}}) {
            const auto run = session.runCli(home.path(), QStringList{u"set"_s} + set);
            ASSERT_EQ(run.status, 0) << qPrintable(run.err);
        }
        app = session.startApplication(qrv::testing::quorvanePath(), {u"--home"_s, home.path()});
        ASSERT_TRUE(app) << qPrintable(session.failure());
        const auto application = qrv::testing::applicationOf(bus, app->processId());
        ASSERT_TRUE(application);
        root = {*application, u"application"_s, {}};
    }

    // A machine under load may take its time; the bus answers or the test fails.
    static bool eventually(const std::function<bool()>& condition) {
        return qrv::testing::waitUntil(condition, 60000);
    }

    // Runs xdotool on the session's display: what the user's own keyboard does.
    bool onDisplay(const QStringList& arguments) {
        QProcess xdotool;
        xdotool.setProcessEnvironment(session.environment());
        xdotool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        xdotool.start(u"xdotool"_s, arguments);
        if (!xdotool.waitForFinished(60000)) {
            ADD_FAILURE() << "xdotool " << qPrintable(arguments.join(u' ')) << ": "
                          << qPrintable(xdotool.errorString());
            xdotool.kill();
            xdotool.waitForFinished(5000);
            return false;
        }
        return xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
    }

    // The children with their roles and names, in three round trips.
    QList<Node> children(const Node& parent) {
        atspi::Batch list(bus.connection());
        list.call(parent.ref, atspi::kAccessibleInterface, u"GetChildren"_s);
        list.run();
        QList<Node> nodes;
        for (const atspi::Reference& child :
             atspi::referencesOf(list.reply(0)).value_or(atspi::ReferenceList{}))
            nodes << Node{child, {}, {}};
        atspi::Batch describe(bus.connection());
        for (const Node& node : std::as_const(nodes)) {
            describe.call(node.ref, atspi::kAccessibleInterface, u"GetRoleName"_s);
            describe.property(node.ref, atspi::kAccessibleInterface, u"Name"_s);
        }
        describe.run();
        for (qsizetype i = 0; i < nodes.size(); ++i) {
            nodes[i].role = atspi::stringOf(describe.reply(2 * i)).value_or(QString());
            nodes[i].name = atspi::stringOf(describe.reply(2 * i + 1)).value_or(QString());
        }
        return nodes;
    }

    // The first object of the role (and name, if given) below the application.
    std::optional<Node> find(const QString& role, const QString& name = {}) {
        QList<Node> level{root};
        for (int depth = 0; depth < 16 && !level.isEmpty(); ++depth) {
            QList<Node> next;
            for (const Node& node : std::as_const(level))
                for (const Node& child : children(node)) {
                    if (child.role == role && (name.isNull() || child.name == name))
                        return child;
                    next << child;
                }
            level = next;
        }
        return std::nullopt;
    }

    QVariant property(const Node& node, const QString& interface, const QString& name) {
        atspi::Batch batch(bus.connection());
        batch.property(node.ref, interface, name);
        batch.run();
        return valueOf(batch.reply(0));
    }
    QString name(const Node& node) {
        return property(node, atspi::kAccessibleInterface, u"Name"_s).toString();
    }
    atspi::Reference parentOf(const Node& node) {
        atspi::Reference parent;
        const auto argument =
            property(node, atspi::kAccessibleInterface, u"Parent"_s).value<QDBusArgument>();
        argument.beginStructure();
        argument >> parent.service >> parent.path;
        argument.endStructure();
        return parent;
    }
    // Rows and columns, as the table interface tells them.
    std::pair<int, int> tableSize(const Node& table) {
        return {property(table, u"org.a11y.atspi.Table"_s, u"NRows"_s).toInt(),
                property(table, u"org.a11y.atspi.Table"_s, u"NColumns"_s).toInt()};
    }

    // Runs the button's first action (its press); answers whether it acted.
    bool press(const Node& button) {
        atspi::Batch batch(bus.connection());
        batch.call(button.ref, atspi::kActionInterface, u"GetName"_s, {0});
        batch.call(button.ref, atspi::kActionInterface, u"DoAction"_s, {0});
        batch.run();
        EXPECT_EQ(atspi::stringOf(batch.reply(0)), u"Press"_s);
        const QList<QVariant> answer = batch.reply(1).arguments();
        return !answer.isEmpty() && answer.first().toBool();
    }

    // The recorder's two buttons under a "shortcut" cell: cell -> cell
    // widget -> recorder -> buttons.
    QList<Node> recorderButtons(const Node& shortcutCell) {
        const QList<Node> cellWidget = children(shortcutCell);
        if (cellWidget.size() != 1)
            return {};
        EXPECT_EQ(parentOf(cellWidget.first()), shortcutCell.ref);
        for (const Node& part : children(cellWidget.first()))
            if (part.role == u"panel"_s)
                return children(part);
        return {};
    }

    qrv::testing::AtspiSession session;
    qrv::testing::TempHome home;
    atspi::Bus bus{session.sessionBus()};
    QProcess* app = nullptr;
    Node root;
};

TEST_F(AtspiEditor, AScreenReaderReachesEachRowsTitleAndRecorderAndRecordsWithIt) {
    // The window comes a few turns after the application registers and loads
    // its rows after that.
    std::optional<Node> table;
    ASSERT_TRUE(eventually([&] {
        table = find(u"table"_s, u"Shortcuts"_s);
        return table && tableSize(*table) == std::make_pair(2, 2);
    })) << "no shortcut table of two rows below the application";

    // Each row: its title cell, then its shortcut cell.
    QList<Node> cells;
    QHash<QString, Node> shortcutCellOf;
    ASSERT_TRUE(eventually([&] {
        cells = children(*table);
        shortcutCellOf.clear();
        for (qsizetype i = 0; i + 1 < cells.size(); ++i)
            if (cells[i].role == u"cell"_s && cells[i + 1].role == u"cell"_s &&
                !cells[i].name.isEmpty())
                shortcutCellOf.insert(cells[i].name, cells[i + 1]);
        return shortcutCellOf.size() == 2;
    })) << "cells: "
        << cells.size();
    ASSERT_TRUE(shortcutCellOf.contains(u"Bold"_s));
    ASSERT_TRUE(shortcutCellOf.contains(u"Format→Italic"_s));

    const QList<Node> italic = recorderButtons(shortcutCellOf.value(u"Format→Italic"_s));
    ASSERT_EQ(italic.size(), 2);
    EXPECT_EQ(italic[0].role, u"push button"_s);
    EXPECT_EQ(italic[0].name, u"Click to record new shortcut"_s);
    EXPECT_EQ(italic[1].name, u""_s);

    const QList<Node> bold = recorderButtons(shortcutCellOf.value(u"Bold"_s));
    ASSERT_EQ(bold.size(), 2);
    EXPECT_EQ(bold[0].name, QStringLiteral(u"\u2318B"));
    EXPECT_EQ(bold[1].name, u"Delete shortcut"_s);

    // Pressing the shortcut button records; the action button then cancels.
    EXPECT_TRUE(press(bold[0]));
    EXPECT_TRUE(eventually([&] { return name(bold[0]) == u"Type New Shortcut"_s; }));
    EXPECT_EQ(name(bold[1]), u"Cancel"_s);
    EXPECT_TRUE(press(bold[1]));
    EXPECT_TRUE(eventually([&] { return name(bold[0]) == QStringLiteral(u"\u2318B"); }));

    // After the press, the keys typed next are the row's new shortcut, saved at once.
    ASSERT_TRUE(onDisplay({u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--pid"_s,
                           QString::number(app->processId()), u"--name"_s, u""_s, u"windowfocus"_s,
                           u"--sync"_s}));
    EXPECT_TRUE(press(bold[0]));
    ASSERT_TRUE(eventually([&] { return name(bold[0]) == u"Type New Shortcut"_s; }));
    ASSERT_TRUE(onDisplay({u"key"_s, u"ctrl+shift+k"_s}));
    EXPECT_TRUE(eventually([&] { return name(bold[0]) == QStringLiteral(u"\u21E7\u2318K"); }));
    EXPECT_TRUE(session.runCli(home.path(), {u"list"_s, u"-g"_s}).out.contains(u"@$k"_s));

    // Deleting the key through the bus is an edit, saved at once.
    EXPECT_TRUE(press(bold[1]));
    EXPECT_TRUE(eventually([&] { return name(bold[0]) == u"Click to record new shortcut"_s; }));
    const QString listed = session.runCli(home.path(), {u"list"_s, u"-g"_s}).out;
    EXPECT_FALSE(listed.contains(u"@$k"_s)) << qPrintable(listed);
    EXPECT_TRUE(listed.contains(u"Bold"_s)) << qPrintable(listed);

    // A row added below keeps the rows above as they were and comes with its recorder.
    const std::optional<Node> add = find(u"push button"_s, u"Add Shortcut"_s);
    ASSERT_TRUE(add);
    EXPECT_TRUE(press(*add));
    QList<Node> grown;
    ASSERT_TRUE(eventually([&] {
        grown = children(*table);
        return tableSize(*table).first == 3 && grown.size() == 12;
    })) << "children: "
        << grown.size();
    EXPECT_EQ(grown[5].ref, cells[5].ref); // the same objects for the same rows
    EXPECT_EQ(grown[8].ref, cells[8].ref);
    QList<Node> added;
    ASSERT_TRUE(eventually([&] {
        added = recorderButtons(grown[11]);
        return added.size() == 2;
    }));
    EXPECT_EQ(added[0].name, u"Click to record new shortcut"_s);
}

} // namespace
