#include "menus/QRVMenuItem.h"
#include "platform/qt/QtAccessibility.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

QRVMenuItemList topLevelMenus(Accessibility& ax) {
    const auto app = ax.createApplication(QCoreApplication::applicationPid());
    const auto menuBar = ax.copyAttributeValue(app, ax::kMenuBar);
    EXPECT_TRUE(menuBar.ok());
    if (!menuBar.ok())
        return {};
    const auto children = ax.copyAttributeValue(menuBar.value().element(), ax::kChildren);
    EXPECT_TRUE(children.ok());
    QRVMenuItemList items;
    for (const auto& element :
         children.ok() ? *children.value().array() : AccessibilityElementList{})
        items << QRVMenuItem::initWithElement(ax, element, true);
    return items;
}

TEST(InProcessMenus, ThisProgramsFileMenuReadsThroughQtAccessibility) {
    QtAccessibility ax;
    QMainWindow window;
    QMenu* file = window.menuBar()->addMenu("&File");
    file->addAction("&Open\u2026")->setShortcut(QKeySequence::Open);
    file->addAction("Save As\u2026")->setShortcut(QKeySequence("Ctrl+Shift+S"));
    file->addSeparator();
    file->addAction("Hidden")->setVisible(false);
    QMenu* recent = file->addMenu("Open Recent");
    recent->addAction("Back")->setShortcut(QKeySequence("Meta+Left"));
    recent->addAction("Forward Delete")->setShortcut(QKeySequence("Alt+Del"));
    QAction* wrap = file->addAction("Wrap");
    wrap->setCheckable(true);
    wrap->setChecked(true);
    window.menuBar()->addMenu("Edit");
    window.winId(); // the accessibility tree starts at created windows

    ASSERT_TRUE(ax.canReadMenus());
    const QRVMenuItemList menus = topLevelMenus(ax);
    ASSERT_EQ(menus.size(), 2);
    const auto& fileItem = menus.first();
    EXPECT_EQ(fileItem->title(), "File");
    EXPECT_TRUE(fileItem->keyEquivalent().isNull()); // the mnemonic is no key equivalent
    QStringList titles, keys;
    for (const auto& item : fileItem->children()) {
        titles << item->title();
        keys << item->keyEquivalent();
    }
    EXPECT_EQ(titles, (QStringList{"Open\u2026", "Save As\u2026", "Open Recent", "Wrap"}));
    EXPECT_EQ(keys, (QStringList{"@o", "@$s", QString(), QString()}));
    EXPECT_TRUE(fileItem->children().last()->hasCheckmark());
    EXPECT_TRUE(
        fileItem->children().first()->prefersFullTitle()); // a checked sibling names all by path

    const auto& back = fileItem->children().at(2)->children().first();
    EXPECT_EQ(back->keyEquivalent(), "^\u2190");
    EXPECT_EQ(back->fullDisplayTitle(),
              QString("File") + QChar(0x1B) + "Open Recent" + QChar(0x1B) + "Back");
    // Forward delete has a glyph of the platform's that the menu table does not know.
    EXPECT_TRUE(fileItem->children().at(2)->children().at(1)->keyEquivalent().isNull());

    // Another process cannot be read here.
    EXPECT_EQ(ax.copyAttributeValue(ax.createApplication(QCoreApplication::applicationPid() + 1),
                                    ax::kMenuBar)
                  .error(),
              ax::Error::kCannotComplete);
}

} // namespace
