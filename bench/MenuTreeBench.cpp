// Menu trees: reading a recorded tree of 5,000 items through the
// accessibility service, and flattening, sorting and splitting 20,000 items
// as the catalogue does on the background queue.
#include "menus/QRVApplicationCatalogue.h"
#include "platform/testing/FakeWorkspace.h"
#include "platform/testing/RecordedAccessibility.h"
#include "support/FakePlatform.h"

#include <QJsonArray>
#include <QJsonObject>
#include <benchmark/benchmark.h>

namespace {

using namespace qrv;

// Titles in no particular order, with repeats, as real menus have.
QString title(int n) {
    return QStringLiteral("Item %1 %2").arg((n * 7919) % 1000).arg(QChar(u'a' + n % 26));
}

// `menus` top-level menus, each of `submenus` submenus of `items` items.
QJsonObject recordedApplication(int menus, int submenus, int items) {
    QJsonArray bar;
    int n = 0;
    for (int m = 0; m < menus; ++m) {
        QJsonArray menuItems;
        for (int s = 0; s < submenus; ++s) {
            QJsonArray leaves;
            for (int i = 0; i < items; ++i)
                leaves.append(QJsonObject{{"AXRole", "AXMenuItem"},
                                          {"AXTitle", title(n++)},
                                          {"AXMenuItemCmdChar", QString(QChar(u'a' + i % 26))},
                                          {"AXMenuItemCmdModifiers", double(i % 16)}});
            menuItems.append(QJsonObject{
                {"AXRole", "AXMenuItem"},
                {"AXTitle", title(n++)},
                {"AXChildren",
                 QJsonArray{QJsonObject{{"AXRole", "AXMenu"}, {"AXChildren", leaves}}}}});
        }
        bar.append(QJsonObject{{"AXRole", "AXMenuBarItem"},
                               {"AXTitle", QStringLiteral("Menu %1").arg(m)},
                               {"AXChildren", QJsonArray{QJsonObject{{"AXRole", "AXMenu"},
                                                                     {"AXChildren", menuItems}}}}});
    }
    return QJsonObject{{"AXRole", "AXApplication"},
                       {"AXMenuBar", QJsonObject{{"AXRole", "AXMenuBar"}, {"AXChildren", bar}}}};
}

void BM_ReadRecordedMenuTree(benchmark::State& state) {
    testing::FakePlatform world;
    testing::RecordedAccessibility& accessibility = world.accessibility;
    accessibility.addApplication(7,
                                 recordedApplication(10, 20, 24)); // 10 + 200 + 4,800 = 5,010 items
    world.workspace.addRunning({QStringLiteral("com.example.big"), QStringLiteral("Big"), {}, 7});
    const QRVAplication application(QStringLiteral("com.example.big"), QStringLiteral("Big"));
    for (auto _ : state) {
        auto menus = QRVApplicationCatalogue::menuItemsForApplication(world.services, application);
        benchmark::DoNotOptimize(menus);
    }
    state.counters["requests/read"] =
        double(accessibility.totalRequests()) / double(state.iterations());
}
BENCHMARK(BM_ReadRecordedMenuTree)->Unit(benchmark::kMillisecond);

QRVMenuItemList builtTree(int menus, int submenus, int items) {
    QRVMenuItemList top;
    int n = 0;
    for (int m = 0; m < menus; ++m) {
        auto menu = std::make_shared<QRVMenuItem>();
        menu->setTitle(QStringLiteral("Menu %1").arg(m));
        QRVMenuItemList children;
        for (int s = 0; s < submenus; ++s) {
            auto sub = std::make_shared<QRVMenuItem>();
            sub->setTitle(title(n++));
            sub->setParent(menu);
            QRVMenuItemList leaves;
            for (int i = 0; i < items; ++i) {
                auto leaf = std::make_shared<QRVMenuItem>();
                leaf->setTitle(title(n++));
                leaf->setParent(sub);
                leaves << leaf;
            }
            sub->setChildren(leaves);
            children << sub;
        }
        menu->setChildren(children);
        top << menu;
    }
    return top;
}

void BM_FlattenSortAndSplit(benchmark::State& state) {
    const QRVMenuItemList top =
        builtTree(20, 40, 24); // 800 + 19,200 = 20,000 items below the top level
    for (auto _ : state) {
        const auto all = QRVApplicationCatalogue::allMenuItemsForTopLevelMenuItems(top);
        auto split = QRVApplicationCatalogue::splitNodesAndLeaves(*all);
        benchmark::DoNotOptimize(split);
    }
    state.counters["items"] =
        double(QRVApplicationCatalogue::allMenuItemsForTopLevelMenuItems(top)->size());
}
BENCHMARK(BM_FlattenSortAndSplit)->Unit(benchmark::kMillisecond);

} // namespace
