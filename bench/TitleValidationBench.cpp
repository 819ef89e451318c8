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

// Menu titles as applications have them: a few hundred words, reused across
// menus, and some made longer with what usually follows them.
QStringList vocabulary() {
    const QStringList words{
        "New", "Open", "Open Recent", "Close", "Close All", "Save", "Save As…", "Duplicate",
        "Rename…", "Move To…", "Revert To", "Export", "Export as PDF…", "Import…", "Share",
        "Print…", "Page Setup…", "Undo", "Redo", "Cut", "Copy", "Paste", "Paste and Match Style",
        "Delete", "Select All", "Find", "Find…", "Find Next", "Find Previous", "Replace",
        "Spelling and Grammar", "Substitutions", "Transformations", "Speech", "Start Dictation",
        "Emoji & Symbols", "Bold", "Italic", "Underline", "Font", "Show Fonts", "Show Colors",
        "Bigger", "Smaller", "Align Left", "Center", "Align Right", "Justify", "Text",
        "Format", "Style", "Kern", "Ligatures", "Baseline", "Writing Direction", "Show Ruler",
        "Copy Style", "Paste Style", "Zoom In", "Zoom Out", "Actual Size", "Zoom to Fit",
        "Show Sidebar", "Hide Sidebar", "Show Toolbar", "Customize Toolbar…", "Enter Full Screen",
        "Minimize", "Zoom", "Bring All to Front", "Tile Window to Left of Screen", "Help",
        "Search", "Preferences…", "Settings…", "About", "Services", "Hide", "Hide Others",
        "Show All", "Quit", "Sort By", "Name", "Kind", "Date Modified", "Date Created", "Size",
        "Tags", "As Icons", "As List", "As Columns", "As Gallery", "Clean Up", "Arrange By",
        "Insert", "Table", "Chart", "Image…", "Link", "Comment", "Footnote", "Page Break",
        "Section Break", "Line Break", "Add Row Above", "Add Row Below", "Add Column Before",
        "Add Column After", "Merge Cells", "Split Cells", "Go", "Back", "Forward", "Enclosing Folder",
        "Recents", "Documents", "Desktop", "Downloads", "Home", "Computer", "Network", "Window",
        "Next Tab", "Previous Tab", "Move Tab to New Window", "Merge All Windows", "Play",
        "Stop", "Next", "Previous", "Shuffle", "Repeat", "Volume Up", "Volume Down", "Mute"};
    QStringList out = words;
    const QStringList tails{" Again", " Selection", " Document", " Window", " Tab", " All"};
    for (int i = 0; i < 600; ++i)
        out << words.at((i * 37) % words.size()) + tails.at(i % tails.size()) +
                   (i % 3 ? QString() : QStringLiteral(" %1").arg(i % 9));
    return out;
}

QRVValidationSnapshot benchSnapshot() {
    std::mt19937 random(17);
    const QStringList words = vocabulary();
    auto word = [&] { return words.at(std::uniform_int_distribution<int>(0, words.size() - 1)(random)); };
    auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(random) < percent; };
    const QStringList keys{"@s", "@~s", "@$s", "@^k", "@1", "@~^z", ""};
    const QChar esc = QRVMenuShortcut::kPathSeparator;

    QRVValidationSnapshot snapshot;
    for (int r = 0; r < 2000; ++r) {
        QString title = word();
        if (chance(15)) // a menu path of two or three levels
            title = esc + word() + esc + (chance(30) ? word() + esc : QString()) + title;
        snapshot.records.append({title, keys.at(r % keys.size())});
    }
    auto items = std::make_shared<QList<QRVValidationSnapshot::MenuItem>>();
    for (int m = 0; m < 20000; ++m) {
        const QString title = word();
        items->append({title, !chance(15), word() + QChar(0x2192) + title});
    }
    snapshot.menuItems = items;
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
    for (const QRVTitleWarning& warning : warnings)
        out << warning.text();
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

} // namespace
