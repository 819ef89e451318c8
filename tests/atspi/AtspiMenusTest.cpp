// Menus of a separate Qt application read over a private accessibility bus,
// compared item by item with what the application declares.
#include "atspi/session/AtspiSession.h"
#include "menus/QRVMenuItem.h"
#include "platform/linux/AtspiAccessibility.h"
#include "support/QtPrinters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

QJsonArray declaredMenus() {
    QProcess app;
    app.start(qrv::testing::menuTestAppPath(), {QStringLiteral("--declare")});
    app.waitForFinished(20000);
    return QJsonDocument::fromJson(app.readAllStandardOutput()).array();
}

AccessibilityElementList menuBarItems(Accessibility& accessibility, qint64 processId) {
    const auto menuBar =
        accessibility.copyAttributeValue(accessibility.createApplication(processId), ax::kMenuBar);
    if (!menuBar.ok())
        return {};
    const auto children =
        accessibility.copyAttributeValue(menuBar.value().element(), ax::kChildren);
    return children.ok() ? children.value().array().value_or(AccessibilityElementList{})
                         : AccessibilityElementList{};
}

// Compares a read item with its declaration, and the children in order.
void expectItem(Accessibility& accessibility, const QRVMenuItemPtr& item,
                const QJsonObject& declared) {
    const QString path = item->fullDisplayTitle().replace(QRVMenuItem::kPathSeparator, u'>');
    SCOPED_TRACE(path.toStdString());
    EXPECT_EQ(item->title(), declared.value(u"title").toString());
    EXPECT_EQ(item->keyEquivalent(), declared.value(u"key").toString());
    EXPECT_EQ(item->hasCheckmark(), declared.value(u"checked").toBool(false));
    const auto enabled = accessibility.copyAttributeValue(item->element(), ax::kEnabled);
    ASSERT_TRUE(enabled.ok());
    EXPECT_EQ(enabled.value().boolean(), declared.value(u"enabled").toBool(true));
    const QJsonArray children = declared.value(u"children").toArray();
    ASSERT_EQ(item->children().size(), children.size());
    for (qsizetype i = 0; i < children.size(); ++i)
        expectItem(accessibility, item->children().at(i), children.at(i).toObject());
}

class AtspiMenus : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!session.skipReason().isEmpty())
            GTEST_SKIP() << qPrintable(session.skipReason());
        ASSERT_TRUE(session.failure().isEmpty()) << qPrintable(session.failure());
        app = session.startMenuTestApp();
        ASSERT_TRUE(app) << qPrintable(session.failure());
    }

    qrv::testing::AtspiSession session;
    QProcess* app = nullptr;
    atspi::Bus bus{session.sessionBus()};
    AtspiAccessibility accessibility{bus};
};

TEST_F(AtspiMenus, ReadsEveryItemAsTheApplicationDeclaresItWhileAccessibilityIsOn) {
    EXPECT_TRUE(accessibility.canReadMenus());
    const auto application = accessibility.createApplication(app->processId());
    EXPECT_EQ(accessibility.copyAttributeValue(application, ax::kTitle).value().string(),
              "Menu Test App");
    const AccessibilityElementList bar = menuBarItems(accessibility, app->processId());
    const QJsonArray declared = declaredMenus();
    ASSERT_EQ(bar.size(), declared.size());
    for (qsizetype i = 0; i < bar.size(); ++i) {
        EXPECT_EQ(accessibility.copyAttributeValue(bar.at(i), ax::kRole).value().string(),
                  ax::kMenuBarItemRole);
        expectItem(accessibility, QRVMenuItem::initWithElement(accessibility, bar.at(i), i > 0),
                   declared.at(i).toObject());
    }
    // The whole tree came in a few round trips, five requests an element.
    EXPECT_LT(accessibility.batchCount(), 20);

    // Nothing is read while the user has accessibility turned off, though the bus is there.
    ASSERT_TRUE(session.setAccessibilityEnabled(false));
    EXPECT_TRUE(bus.isConnected());
    EXPECT_FALSE(accessibility.canReadMenus());
    EXPECT_EQ(
        accessibility
            .copyAttributeValue(accessibility.createApplication(app->processId()), ax::kMenuBar)
            .error(),
        ax::Error::kAPIDisabled);
    ASSERT_TRUE(session.setAccessibilityEnabled(true));
    EXPECT_TRUE(accessibility.canReadMenus());
    EXPECT_EQ(menuBarItems(accessibility, app->processId()).size(), bar.size());
}

TEST_F(AtspiMenus, AnApplicationThatQuitsMidReadGivesThePlatformsErrors) {
    const qint64 processId = app->processId();
    // The menu bar is found; its items are not read yet when the application goes.
    const auto menuBar =
        accessibility.copyAttributeValue(accessibility.createApplication(processId), ax::kMenuBar);
    ASSERT_TRUE(menuBar.ok());
    app->kill();
    app->waitForFinished(10000);

    const auto items = accessibility.copyAttributeValue(menuBar.value().element(), ax::kChildren);
    ASSERT_TRUE(items.ok()); // the list came with the menu bar...
    const AccessibilityElementList bar = items.value().array().value_or(AccessibilityElementList{});
    ASSERT_EQ(bar.size(), 4);
    for (const QString& attribute : {ax::kRole, ax::kTitle, ax::kChildren, ax::kMenuItemCmdChar})
        EXPECT_EQ(accessibility.copyAttributeValue(bar.first(), attribute).error(),
                  ax::Error::kCannotComplete) // ...the items themselves are gone
            << qPrintable(attribute);
    // The reader makes what it can of it: items without title or children.
    const QRVMenuItemPtr file = QRVMenuItem::initWithElement(accessibility, bar.first(), false);
    EXPECT_TRUE(file->title().isEmpty());
    EXPECT_TRUE(file->children().isEmpty());

    // A fresh read finds no such application any more.
    EXPECT_EQ(
        accessibility.copyAttributeValue(accessibility.createApplication(processId), ax::kMenuBar)
            .error(),
        ax::Error::kCannotComplete);
}

} // namespace
