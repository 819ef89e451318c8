// Key-equivalent strings to key combinations and back, 10,000 each per iteration.
#include "model/KeyEquivalentTable.h"
#include "model/QRVMenuShortcut.h"
#include "platform/testing/FixedKeyboardLayout.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kConversions = 10000;

const QStringList& keyEquivalents() {
    static const QStringList strings = [] {
        static auto layout = qrv::testing::FixedKeyboardLayout::us();
        qrv::KeyEquivalentTable::installShared(layout); // built once, as in the program
        QStringList list;
        const char* const modifiers[] = {"@", "@~", "^$", "@$", "~"};
        for (int i = 0; i < 26; ++i)
            list << QString::fromLatin1(modifiers[i % 5]) + QChar(u'a' + i);
        list << QStringLiteral("@ ") << QString(QChar(0xF708)) << QStringLiteral(u"@\u2190")
             << QStringLiteral("@1");
        return list;
    }();
    return strings;
}

void BM_KeyEquivalentToShortcut(benchmark::State& state) {
    const QStringList& strings = keyEquivalents();
    for (auto _ : state)
        for (int i = 0; i < kConversions; ++i)
            benchmark::DoNotOptimize(
                qrv::QRVMenuShortcut::shortcutFromKeyEquivalent(strings.at(i % strings.size())));
    state.SetItemsProcessed(state.iterations() * kConversions);
}
BENCHMARK(BM_KeyEquivalentToShortcut)->Unit(benchmark::kMillisecond);

void BM_ShortcutToKeyEquivalent(benchmark::State& state) {
    std::vector<qrv::KSCShortcutPtr> shortcuts;
    for (const QString& string : keyEquivalents())
        shortcuts.push_back(qrv::QRVMenuShortcut::shortcutFromKeyEquivalent(string));
    for (auto _ : state)
        for (int i = 0; i < kConversions; ++i)
            benchmark::DoNotOptimize(qrv::QRVMenuShortcut::keyEquivalentFromShortcut(
                shortcuts[i % shortcuts.size()].get()));
    state.SetItemsProcessed(state.iterations() * kConversions);
}
BENCHMARK(BM_ShortcutToKeyEquivalent)->Unit(benchmark::kMillisecond);

} // namespace
