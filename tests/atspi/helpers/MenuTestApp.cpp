// A separate application with real menus, read over the accessibility bus by
// the tests and the benchmark. Every item it declares carries the key
// equivalent the reader must find, written out by hand so the check does not
// go through the mapping it checks.
//
//   qrv-menu-test-app                 the declared menus in a shown window
//   qrv-menu-test-app --declare       prints the declared tree as JSON and exits
//   qrv-menu-test-app --generated N   a menu bar of about N generated items
#include <QAction>
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMainWindow>
#include <QMenuBar>
#include <QTextStream>
#include <vector>

namespace {

struct Item {
    const char* title;    // empty for a separator
    const char* shortcut; // Qt's portable form
    const char* key;      // the key-equivalent string the reader must give; empty for none
    enum Kind { Plain, Checked, Unchecked, Disabled, Separator } kind = Plain;
    std::vector<Item> children = {};
};

Item menu(const char* title, std::vector<Item> children) {
    return {title, "", "", Item::Plain, std::move(children)};
}

// Each modifier alone and together; a named key (glyph) and a character key.
const std::vector<Item>& declaredMenus() {
    static const std::vector<Item> menus{
        menu("File", {{"New", "Ctrl+N", "@n"},
                      {"Open\u2026", "Ctrl+O", "@o"},
                      {"Save As\u2026", "Ctrl+Shift+S", "@$s"},
                      {"", "", "", Item::Separator},
                      menu("Open Recent",
                           {{"Report 1.txt", "", ""}, {"Report 2.txt", "Ctrl+Alt+2", "@~2"}}),
                      {"Close Window", "Ctrl+W", "@w"}}),
        menu("Edit", {{"Undo", "Ctrl+Z", "@z"},
                      {"Redo", "Ctrl+Shift+Z", "@$z"},
                      {"Paste Special", "", "", Item::Disabled},
                      menu("Find", {{"Find\u2026", "Ctrl+F", "@f"},
                                    {"Find Next", "F3", "\uF706"},
                                    {"Find Previous", "Shift+F3", "$\uF706"},
                                    menu("Deep", {{"Deeper Item", "Meta+Alt+D", "~^d"}})})}),
        menu("View", {{"Show Toolbar", "", "", Item::Checked},
                      {"Show Status Bar", "Ctrl+/", "@/", Item::Unchecked},
                      {"Lock Layout", "Meta+L", "^l"},
                      {"Next Tab", "Alt+Right", "~\u2192"},
                      {"Everything", "Ctrl+Alt+Shift+Meta+K", "@~^$k"},
                      menu("Sort By", {{"Name", "", ""}, {"Date", "", ""}})}),
        menu("Help", {{"Contents", "F1", "\uF704"}, {"About", "", ""}}),
    };
    return menus;
}

void addItems(QMenu* menu, const std::vector<Item>& items) {
    for (const Item& item : items) {
        if (item.kind == Item::Separator) {
            menu->addSeparator();
            continue;
        }
        const QString title = QString::fromUtf8(item.title);
        if (!item.children.empty()) {
            addItems(menu->addMenu(title), item.children);
            continue;
        }
        QAction* action = menu->addAction(title);
        action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
        action->setCheckable(item.kind == Item::Checked || item.kind == Item::Unchecked);
        action->setChecked(item.kind == Item::Checked);
        action->setEnabled(item.kind != Item::Disabled);
    }
}

QJsonArray declared(const std::vector<Item>& items) {
    QJsonArray array;
    for (const Item& item : items) {
        if (item.kind == Item::Separator)
            continue;
        QJsonObject object{{QStringLiteral("title"), QString::fromUtf8(item.title)}};
        if (*item.key)
            object.insert(QStringLiteral("key"), QString::fromUtf8(item.key));
        if (item.kind == Item::Checked)
            object.insert(QStringLiteral("checked"), true);
        if (item.kind == Item::Disabled)
            object.insert(QStringLiteral("enabled"), false);
        if (!item.children.empty())
            object.insert(QStringLiteral("children"), declared(item.children));
        array.append(object);
    }
    return array;
}

// Ten menus of submenus of items, about `count` items in all, half with keys.
void addGenerated(QMenuBar* bar, int count) {
    const int perMenu = std::max(1, count / 10);
    const int perSubmenu = 20;
    int made = 0;
    for (int m = 0; m < 10 && made < count; ++m) {
        QMenu* menu = bar->addMenu(QStringLiteral("Menu %1").arg(m));
        ++made;
        for (int s = 0; s * perSubmenu < perMenu && made < count; ++s) {
            QMenu* submenu = menu->addMenu(QStringLiteral("Group %1.%2").arg(m).arg(s));
            ++made;
            for (int i = 0; i < perSubmenu - 1 && made < count; ++i, ++made) {
                QAction* action =
                    submenu->addAction(QStringLiteral("Item %1.%2.%3").arg(m).arg(s).arg(i));
                if (i % 2 == 0)
                    action->setShortcut(
                        QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key(Qt::Key_A + i % 26)));
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Menu Test App"));
    const QStringList arguments = QApplication::arguments();
    if (arguments.contains(QStringLiteral("--declare"))) {
        QTextStream(stdout) << QJsonDocument(declared(declaredMenus())).toJson();
        return 0;
    }
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Menu Test App"));
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--generated")); at > 0) {
        addGenerated(window.menuBar(), arguments.value(at + 1).toInt());
    } else {
        for (const Item& menu : declaredMenus())
            addItems(window.menuBar()->addMenu(QString::fromUtf8(menu.title)), menu.children);
    }
    window.resize(400, 300);
    window.show();
    window.activateWindow(); // no window manager under a bare X server does it
    return QApplication::exec();
}
