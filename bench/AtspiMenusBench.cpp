// Reading a menu tree of 2,000 items from another process over the
// accessibility bus, as the catalogue does: the menu bar, then every item
// with its title, check mark, key and submenu. Reports the items read, the
// requests per item and the round trips (batches) each read takes. Needs
// Xvfb and the accessibility bus launcher; skipped with the reason without.
#include "atspi/session/AtspiSession.h"
#include "menus/QRVMenuItem.h"
#include "platform/Platform.h"
#include "platform/linux/AtspiAccessibility.h"

#include <benchmark/benchmark.h>

namespace {

using namespace qrv;

qsizetype countItems(const QRVMenuItemList& items) {
    qsizetype count = items.size();
    for (const QRVMenuItemPtr& item : items)
        count += countItems(item->children());
    return count;
}

void BM_ReadMenusOverTheAccessibilityBus(benchmark::State& state) {
    qrv::testing::AtspiSession session;
    if (!session.skipReason().isEmpty() || !session.failure().isEmpty()) {
        state.SkipWithError(qPrintable(session.skipReason() + session.failure()));
        return;
    }
    QProcess* app =
        session.startMenuTestApp({QStringLiteral("--generated"), QString::number(state.range(0))});
    if (!app) {
        state.SkipWithError(qPrintable(session.failure()));
        return;
    }
    atspi::Bus bus(session.sessionBus());
    qsizetype items = 0;
    qint64 requests = 0, batches = 0;
    for (auto _ : state) {
        AtspiAccessibility accessibility(bus); // nothing carried over from the last read
        ScopedPlatform installed(PlatformServices{.accessibility = &accessibility});
        const auto menuBar = accessibility.copyAttributeValue(
            accessibility.createApplication(app->processId()), ax::kMenuBar);
        if (!menuBar.ok()) {
            state.SkipWithError("The test application shows no menu bar.");
            return;
        }
        const auto elements =
            accessibility.copyAttributeValue(menuBar.value().element(), ax::kChildren);
        const AccessibilityElementList bar =
            elements.ok() ? elements.value().array().value_or(AccessibilityElementList{})
                          : AccessibilityElementList{};
        QRVMenuItemList menus;
        for (const AccessibilityElementRef& element : bar)
            menus << QRVMenuItem::initWithElement(element, !menus.isEmpty());
        items = countItems(menus);
        requests = accessibility.requestCount();
        batches = accessibility.batchCount();
        benchmark::DoNotOptimize(menus);
    }
    state.counters["items"] = double(items);
    state.counters["requests/item"] = items ? double(requests) / double(items) : 0;
    state.counters["round trips"] = double(batches);
}
BENCHMARK(BM_ReadMenusOverTheAccessibilityBus)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace
