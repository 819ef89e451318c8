// Title validation: one pass over 2,000 records against 20,000 menu items,
// the plain step-by-step checks (BM_ValidationReference) beside the indexed
// pass the editor runs (BM_ValidationFast), both ending in the rows' texts.
// Run them together with --benchmark_filter=BM_Validation.
#include "TitleValidationReference.h"
#include "editor/QRVTitleValidation.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <random>

namespace {

using namespace qrv;

// Menu titles as applications have them: a hundred-odd common words, and
// the longer titles made from them.
QStringList vocabulary() {
    const QStringList words{"New",
                            "Open",
                            "Open Recent",
                            "Close",
                            "Close All",
                            "Save",
                            "Save As…",
                            "Duplicate",
                            "Rename…",
                            "Move To…",
                            "Revert To",
                            "Export",
                            "Export as PDF…",
                            "Import…",
                            "Share",
                            "Print…",
                            "Page Setup…",
                            "Undo",
                            "Redo",
                            "Cut",
                            "Copy",
                            "Paste",
                            "Paste and Match Style",
                            "Delete",
                            "Select All",
                            "Find",
                            "Find…",
                            "Find Next",
                            "Find Previous",
                            "Replace",
                            "Spelling and Grammar",
                            "Substitutions",
                            "Transformations",
                            "Speech",
                            "Start Dictation",
                            "Emoji & Symbols",
                            "Bold",
                            "Italic",
                            "Underline",
                            "Font",
                            "Show Fonts",
                            "Show Colors",
                            "Bigger",
                            "Smaller",
                            "Align Left",
                            "Center",
                            "Align Right",
                            "Justify",
                            "Text",
                            "Format",
                            "Style",
                            "Kern",
                            "Ligatures",
                            "Baseline",
                            "Writing Direction",
                            "Show Ruler",
                            "Copy Style",
                            "Paste Style",
                            "Zoom In",
                            "Zoom Out",
                            "Actual Size",
                            "Zoom to Fit",
                            "Show Sidebar",
                            "Hide Sidebar",
                            "Show Toolbar",
                            "Customize Toolbar…",
                            "Enter Full Screen",
                            "Minimize",
                            "Zoom",
                            "Bring All to Front",
                            "Tile Window to Left of Screen",
                            "Help",
                            "Search",
                            "Preferences…",
                            "Settings…",
                            "About",
                            "Services",
                            "Hide",
                            "Hide Others",
                            "Show All",
                            "Quit",
                            "Sort By",
                            "Name",
                            "Kind",
                            "Date Modified",
                            "Date Created",
                            "Size",
                            "Tags",
                            "As Icons",
                            "As List",
                            "As Columns",
                            "As Gallery",
                            "Clean Up",
                            "Arrange By",
                            "Insert",
                            "Table",
                            "Chart",
                            "Image…",
                            "Link",
                            "Comment",
                            "Footnote",
                            "Page Break",
                            "Section Break",
                            "Line Break",
                            "Add Row Above",
                            "Add Row Below",
                            "Add Column Before",
                            "Add Column After",
                            "Merge Cells",
                            "Split Cells",
                            "Go",
                            "Back",
                            "Forward",
                            "Enclosing Folder",
                            "Recents",
                            "Documents",
                            "Desktop",
                            "Downloads",
                            "Home",
                            "Computer",
                            "Network",
                            "Window",
                            "Next Tab",
                            "Previous Tab",
                            "Move Tab to New Window",
                            "Merge All Windows",
                            "Play",
                            "Stop",
                            "Next",
                            "Previous",
                            "Shuffle",
                            "Repeat",
                            "Volume Up",
                            "Volume Down",
                            "Mute"};
    const QStringList tails{"",       " Again",  " Selection", " Document",     " Window",
                            " Tab",   " All",    " Here",      " to Clipboard", " as Template",
                            " Layer", " Page",   " Slide",     " Sheet",        " Track",
                            " Clip",  " Marker", " Group",     " Object",       " Style"};
    QStringList out;
    for (const QString& tail : tails)
        for (const QString& word : words)
            out << word + tail;
    return out;
}

// The list of a heavy user: 2,000 distinct titles as the store keeps them, a
// few pasted twice with another key, some menu paths. The menus: 20,000 items
// whose titles repeat, the short common ones most.
QRVValidationSnapshot benchSnapshot() {
    std::mt19937 random(17);
    const QStringList words = vocabulary();
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
