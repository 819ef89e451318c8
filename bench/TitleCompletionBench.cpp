// Title completion per keystroke over a menu tree of 20,000 items: the
// candidates for a one- to five-letter prefix (BM_CompletionCandidates)
// beside the same query through a QCompleter on the same titles
// (BM_QCompleterCandidates: case-insensitive, sorted model, popup completion).
// Run them together with --benchmark_filter=Candidates.
#include "MenuVocabulary.h"
#include "editor/QRVTitleCompletion.h"
#include "menus/QRVApplicationCatalogue.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QStringListModel>
#include <benchmark/benchmark.h>
#include <random>

namespace {

using namespace qrv;

// 12 menus of 40 submenus of 41 items: 20,172 items, titles drawn from the
// vocabulary so that many are shared between menus, a few preferring paths.
struct BenchMenus {
    QRVMenuItemList topLevel, leaves;
};

const BenchMenus& benchMenus() {
    static const BenchMenus built = [] {
        std::mt19937 random(23);
        const QStringList words = qrv::bench::vocabulary();
        auto title = [&](qsizetype among) {
            return words.at(std::uniform_int_distribution<qsizetype>(0, among - 1)(random));
        };
        auto item = [](const QString& text, const QRVMenuItemPtr& parent) {
            auto made = std::make_shared<QRVMenuItem>();
            made->setTitle(text);
            if (parent)
                made->setParent(parent);
            return made;
        };
        BenchMenus menus;
        for (int m = 0; m < 12; ++m) {
            const QRVMenuItemPtr menu = item(title(140), nullptr);
            QRVMenuItemList submenus;
            for (int s = 0; s < 40; ++s) {
                const QRVMenuItemPtr submenu = item(title(words.size()), menu);
                QRVMenuItemList leaves;
                for (int l = 0; l < 41; ++l) {
                    leaves << item(title(words.size()), submenu);
                    leaves.last()->setPrefersFullTitle(random() % 20 == 0);
                }
                submenu->setChildren(leaves);
                submenus << submenu;
            }
            menu->setChildren(submenus);
            menus.topLevel << menu;
        }
        QRVApplicationCatalogue::sortByTitle(menus.topLevel);
        const auto all = QRVApplicationCatalogue::allMenuItemsForTopLevelMenuItems(menus.topLevel);
        menus.leaves = QRVApplicationCatalogue::splitNodesAndLeaves(*all).second;
        return menus;
    }();
    return built;
}

const QString& typed(benchmark::State& state) {
    static const QStringList prefixes{"s", "sa", "sav", "save", "save "};
    return prefixes.at(state.range(0) - 1);
}

// What a keystroke costs the field: the component, the candidates, the preselection.
void BM_CompletionCandidates(benchmark::State& state) {
    const QRVTitleCompletion completion(benchMenus().topLevel, benchMenus().leaves);
    const QString& text = typed(state);
    qsizetype found = 0;
    for (auto _ : state) {
        const QRVTextRange range = QRVTitleCompletion::rangeForUserCompletion(text, text.size());
        const QStringList candidates = completion.completionsForString(text, range).value();
        benchmark::DoNotOptimize(QRVTitleCompletion::indexOfSelectedItem(candidates, text));
        found = candidates.size();
    }
    state.counters["candidates"] = double(found);
}
BENCHMARK(BM_CompletionCandidates)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);

// The same titles through a QCompleter; its cache of earlier prefixes is
// dropped (untimed) before each query, so each one is answered afresh.
void BM_QCompleterCandidates(benchmark::State& state) {
    QStringList titles;
    for (const QRVMenuItemPtr& menu : benchMenus().topLevel)
        titles << menu->title();
    for (const QRVMenuItemPtr& leaf : benchMenus().leaves)
        titles << leaf->title();
    std::sort(titles.begin(), titles.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QStringListModel model(titles);
    QCompleter completer(&model);
    completer.setCaseSensitivity(Qt::CaseInsensitive);
    completer.setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    completer.setCompletionMode(QCompleter::PopupCompletion);
    (void)completer.popup(); // the list the matches go to
    const QString& text = typed(state);
    int found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        completer.setCompletionPrefix(QString());
        completer.setCaseSensitivity(Qt::CaseSensitive); // a new, empty cache
        completer.setCaseSensitivity(Qt::CaseInsensitive);
        state.ResumeTiming();
        completer.setCompletionPrefix(text);
        found = completer.completionCount();
        benchmark::DoNotOptimize(found);
    }
    state.counters["candidates"] = double(found);
}
BENCHMARK(BM_QCompleterCandidates)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);

// Once per menu load: folding and indexing the titles.
void BM_CompletionIndex(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(QRVTitleCompletion(benchMenus().topLevel, benchMenus().leaves));
}
BENCHMARK(BM_CompletionIndex)->Unit(benchmark::kMillisecond);

} // namespace
