// The store on real preference files: saving a 1,000-record list with one
// changed key, and listing it.
#include "model/QRVMenuShortcut.h"
#include "support/FakePlatform.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRecords = 1000;

struct BenchStore {
    qrv::testing::FakePlatform world;
    const QString app = QStringLiteral("com.example.Bench");

    BenchStore() {
        QList<qrv::QRVMenuShortcutPtr> shortcuts;
        for (int i = 0; i < kRecords; ++i)
            shortcuts.append(
                qrv::QRVMenuShortcut::create(app,
                                             QStringLiteral("\x1b"
                                                            "Menu %1\x1b"
                                                            "Item %2")
                                                 .arg(i / 20)
                                                 .arg(i),
                                             QStringLiteral("@~%1").arg(QChar(u'a' + i % 26))));
        (void)qrv::QRVMenuShortcut::saveMenuShortcuts(world.services, shortcuts, app);
    }
};

void BM_StoreSaveOneChangedKey(benchmark::State& state) {
    BenchStore store;
    auto shortcuts =
        qrv::QRVMenuShortcut::menuShortcutsWithApplication(store.world.services, store.app);
    int round = 0;
    for (auto _ : state) {
        shortcuts[round % kRecords]->setKeyEquivalent(round % 2 ? QStringLiteral("@$k")
                                                                : QStringLiteral("@^k"));
        ++round;
        benchmark::DoNotOptimize(
            qrv::QRVMenuShortcut::saveMenuShortcuts(store.world.services, shortcuts, store.app));
    }
}
BENCHMARK(BM_StoreSaveOneChangedKey)->Unit(benchmark::kMillisecond);

void BM_StoreList(benchmark::State& state) {
    BenchStore store;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            qrv::QRVMenuShortcut::menuShortcutsWithApplication(store.world.services, store.app));
}
BENCHMARK(BM_StoreList)->Unit(benchmark::kMillisecond);

} // namespace
