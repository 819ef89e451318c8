// Title validation: one pass over 2,000 records against 20,000 menu items,
// the plain step-by-step checks (BM_ValidationReference) beside the indexed
// pass the editor runs (BM_ValidationFast), both ending in the rows' texts.
// Run them together with --benchmark_filter=BM_Validation.
#include "MenuVocabulary.h"
#include "TitleValidationReference.h"
#include "editor/QRVTitleValidation.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <random>

namespace {

using namespace qrv;

// The list of a heavy user: 2,000 distinct titles as the store keeps them, a
// few pasted twice with another key, some menu paths. The menus: 20,000 items
// whose titles repeat, the short common ones most.
QRVValidationSnapshot benchSnapshot() {
    std::mt19937 random(17);
    const QStringList words = qrv::bench::vocabulary();
    auto below = [&](qsizetype n) {
        return std::uniform_int_distribution<qsizetype>(0, n - 1)(random);
    };
    auto chance = [&](int percent) {
        return below(100) < percent;
    };
    const QStringList keys{"@s", "@~s", "@$s", "@^k", "@1", "@~^z", ""};
    const QChar esc = QRVMenuShortcut::kPathSeparator;

    QStringList titles = words;
    std::shuffle(titles.begin(), titles.end(), random);
    QRVValidationSnapshot snapshot;
    for (int r = 0; r < 2000; ++r) {
        QString title = titles.at(r);
        if (r > 0 && chance(2)) // pasted again, with another key
            title = snapshot.records.at(below(r)).title;
        else if (chance(15)) // a menu path of two or three levels
            title = esc + words.at(below(140)) + esc +
                    (chance(30) ? words.at(below(words.size())) + esc : QString()) + title;
        snapshot.records.append({title, keys.at(below(keys.size()))});
    }
    QList<QRVValidationSnapshot::MenuItem> items;
    for (int m = 0; m < 20000; ++m) {
        // Half of the items take one of the common short titles.
        const QString title = words.at(below(chance(50) ? 140 : words.size()));
        items.append({title, !chance(15), words.at(below(140)) + QChar(0x2192) + title});
    }
    snapshot.menuItems = std::make_shared<const QRVValidationSnapshot::Menus>(std::move(items));
    return snapshot;
}

const QRVValidationSnapshot& snapshot() {
    static const QRVValidationSnapshot built = [] {
        QRVValidationSnapshot s = benchSnapshot();
        // Measuring two passes that disagree would compare nothing.
        if (titleWarnings(s) != qrv::testing::referenceTitleWarnings(s))
            std::abort();
        return s;
    }();
    return built;
}

QStringList texts(const QList<QRVTitleWarning>& warnings) {
    QStringList out;
    out.reserve(warnings.size());
    const QRVTitleWarning::Texts translated = QRVTitleWarning::Texts::translated();
    for (const QRVTitleWarning& warning : warnings)
        out << warning.text(translated);
    return out;
}

void BM_ValidationReference(benchmark::State& state) {
    const QRVValidationSnapshot& s = snapshot();
    for (auto _ : state)
        benchmark::DoNotOptimize(texts(qrv::testing::referenceTitleWarnings(s)));
}
BENCHMARK(BM_ValidationReference)->Unit(benchmark::kMillisecond);

void BM_ValidationFast(benchmark::State& state) {
    const QRVValidationSnapshot& s = snapshot();
    for (auto _ : state)
        benchmark::DoNotOptimize(texts(titleWarnings(s)));
}
BENCHMARK(BM_ValidationFast)->Unit(benchmark::kMillisecond);

// What the fast pass relies on besides: the menus indexed by title, once per
// menu list (not per pass).
void BM_ValidationMenuIndex(benchmark::State& state) {
    const QList<QRVValidationSnapshot::MenuItem> items = snapshot().menuItems->items();
    for (auto _ : state)
        benchmark::DoNotOptimize(QRVValidationSnapshot::Menus(items));
}
BENCHMARK(BM_ValidationMenuIndex)->Unit(benchmark::kMillisecond);

} // namespace
