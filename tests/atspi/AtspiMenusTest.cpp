// Menus of a separate Qt application read over a private accessibility bus,
// compared item by item with what the application declares.
#include "atspi/session/AtspiSession.h"
#include "menus/QRVMenuItem.h"
#include "platform/Platform.h"
#include "platform/linux/AtspiAccessibility.h"
#include "support/QtPrinters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

#define REQUIRE_SESSION(session)                                                                   \
    if (!(session).skipReason().isEmpty())                                                         \
        GTEST_SKIP() << qPrintable((session).skipReason());                                        \
    ASSERT_TRUE((session).failure().isEmpty()) << qPrintable((session).failure())

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

TEST(AtspiMenus, ReadsEveryItemAsTheApplicationDeclaresIt) {
    qrv::testing::AtspiSession session;
    REQUIRE_SESSION(session);
    QProcess* app = session.startMenuTestApp();
    ASSERT_TRUE(app) << qPrintable(session.failure());
    atspi::Bus bus(session.sessionBus());
    AtspiAccessibility accessibility(bus);
    ScopedPlatform installed(PlatformServices{.accessibility = &accessibility});
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
        expectItem(accessibility, QRVMenuItem::initWithElement(bar.at(i), i > 0),
                   declared.at(i).toObject());
    }
}

TEST(AtspiMenus, AnApplicationThatQuitsMidReadGivesThePlatformsErrors) {
    qrv::testing::AtspiSession session;
    REQUIRE_SESSION(session);
    QProcess* app = session.startMenuTestApp();
    ASSERT_TRUE(app) << qPrintable(session.failure());
    atspi::Bus bus(session.sessionBus());
    AtspiAccessibility accessibility(bus);
    ScopedPlatform installed(PlatformServices{.accessibility = &accessibility});
    const qint64 processId = app->processId();

    // The menu bar's items are read (with what the reader asks of them next);
    // their submenus are not yet when the application goes away.
    const AccessibilityElementList bar = menuBarItems(accessibility, processId);
    ASSERT_EQ(bar.size(), 4);
    app->kill();
    app->waitForFinished(10000);

    EXPECT_EQ(accessibility.copyAttributeValue(bar.first(), ax::kTitle).value().string(), "File");
    const auto submenus = accessibility.copyAttributeValue(bar.first(), ax::kChildren);
    ASSERT_TRUE(submenus.ok());
    ASSERT_EQ(submenus.value().array()->size(), 1);
    const auto menu = submenus.value().array()->first();
    EXPECT_EQ(accessibility.copyAttributeValue(menu, ax::kRole).error(),
              ax::Error::kCannotComplete);
    EXPECT_EQ(accessibility.copyAttributeValue(menu, ax::kChildren).error(),
              ax::Error::kCannotComplete);
    // The reader keeps what it could read and leaves the rest out.
    const QRVMenuItemPtr file = QRVMenuItem::initWithElement(bar.first(), false);
    EXPECT_EQ(file->title(), "File");
    EXPECT_TRUE(file->children().isEmpty());

    // A fresh read finds no such application any more.
    EXPECT_EQ(
        accessibility.copyAttributeValue(accessibility.createApplication(processId), ax::kMenuBar)
            .error(),
        ax::Error::kCannotComplete);
}

TEST(AtspiMenus, NothingIsReadWhileAccessibilityIsOff) {
    qrv::testing::AtspiSession session;
    REQUIRE_SESSION(session);
    QProcess* app = session.startMenuTestApp();
    ASSERT_TRUE(app) << qPrintable(session.failure());
    ASSERT_TRUE(session.setAccessibilityEnabled(false));
    atspi::Bus bus(session.sessionBus());
    AtspiAccessibility accessibility(bus);

    EXPECT_TRUE(bus.isConnected());             // the bus is there...
    EXPECT_FALSE(accessibility.canReadMenus()); // ...but the user has not turned it on
    EXPECT_EQ(
        accessibility
            .copyAttributeValue(accessibility.createApplication(app->processId()), ax::kMenuBar)
            .error(),
        ax::Error::kAPIDisabled);

    ASSERT_TRUE(session.setAccessibilityEnabled(true));
    EXPECT_TRUE(accessibility.canReadMenus());
    EXPECT_EQ(menuBarItems(accessibility, app->processId()).size(), 4);
}

} // namespace
