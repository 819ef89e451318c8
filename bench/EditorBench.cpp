// The shortcut editor with a long list: opening an application that has
// 2,000 shortcuts (reading them, filling the table, the first paint) and one
// recorded key with the save that follows.
#include "editor/QRVEditorServices.h"
#include "editor/QRVShortcutView.h"
#include "editor/QRVShortcutsTableView.h"
#include "editor/QRVShortcutsViewController.h"
#include "editor/QRVShortcutsViewTableCellView.h"
#include "model/QRVMenuShortcut.h"
#include "platform/Platform.h"
#include "platform/UserDefaults.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/testing/FakePermissionStatus.h"
#include "platform/testing/FakeWorkspace.h"
#include "platform/testing/FixedKeyboardLayout.h"
#include "platform/testing/MemoryPasteboard.h"
#include "platform/testing/RecordedAccessibility.h"
#include "platform/testing/ScriptedAlertPresenter.h"
#include "platform/testing/ScriptedHotKeys.h"
#include "platform/testing/VirtualScheduler.h"

#include <QIcon>
#include <QMainWindow>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace qrv;
using namespace qrv::testing;

constexpr int kShortcuts = 2000;
const QString kBench = QStringLiteral("com.example.Bench");

struct EditorBench {
    QTemporaryDir home;
    PlistFilePreferenceStore prefs{home.path()};
    UserDefaults defaults{prefs, QStringLiteral("com.brackwyn.Quorvane")};
    VirtualScheduler scheduler;
    ScriptedAlertPresenter alerts;
    RecordedAccessibility accessibility;
    FakeWorkspace workspace;
    FakePermissionStatus permissions;
    FixedKeyboardLayout layout = FixedKeyboardLayout::us();
    MemoryPasteboard pasteboard;
    ScriptedHotKeys hotKeys;
    ScopedPlatform scoped{PlatformServices{.home = home.path(),
                                           .preferences = &prefs,
                                           .userDefaults = &defaults,
                                           .scheduler = &scheduler,
                                           .alerts = &alerts,
                                           .keyboardLayout = &layout,
                                           .accessibility = &accessibility,
                                           .workspace = &workspace,
                                           .permissions = &permissions,
                                           .pasteboard = &pasteboard}};
    QMainWindow window;
    std::unique_ptr<QRVShortcutsViewController> controller;

    EditorBench() {
        workspace.addRunning({kBench, QStringLiteral("Bench"), QIcon(), 42});
        QVariantMap table;
        for (int i = 0; i < kShortcuts; ++i)
            table.insert(QStringLiteral("\x1b"
                                        "Menu %1\x1b"
                                        "Item %2")
                             .arg(i / 20)
                             .arg(i),
                         QStringLiteral("@~%1").arg(QChar(u'a' + i % 26)));
        (void)prefs.setValue(QRVMenuShortcut::kUserKeyEquivalentsKey, table, kBench);
        controller = std::make_unique<QRVShortcutsViewController>(
            QRVEditorServices{alerts, pasteboard, scheduler, layout, hotKeys, [] {
                                  return static_cast<const QWidget*>(nullptr);
                              }});
        window.setCentralWidget(controller->view());
        window.resize(800, 600);
        window.show();
    }
    ~EditorBench() { window.takeCentralWidget(); }

    QRVAplicationPtr bench() const {
        for (const auto& entry : controller->applications())
            if (entry->bundleIdentifier() == kBench)
                return entry;
        return nullptr;
    }
};

void BM_EditorOpenApplicationWith2000Shortcuts(benchmark::State& state) {
    EditorBench editor;
    const QRVAplicationPtr bench = editor.bench();
    for (auto _ : state) {
        state.PauseTiming();
        editor.controller->setApplication(nullptr);
        state.ResumeTiming();
        editor.controller->setApplication(bench);       // load, model, cells in sight
        benchmark::DoNotOptimize(editor.window.grab()); // the first paint
    }
    state.counters["rows"] = double(editor.controller->menuShortcuts()->size());
}
BENCHMARK(BM_EditorOpenApplicationWith2000Shortcuts)->Unit(benchmark::kMillisecond);

void BM_EditorRecordOneKeyAndSave(benchmark::State& state) {
    EditorBench editor;
    editor.controller->setApplication(editor.bench());
    QRVShortcutView* recorder =
        editor.controller->menuShortcutsTableView()->cellAtRow(0)->shortcutView();
    int round = 0;
    for (auto _ : state) {
        const quint64 flags = round++ % 2 ? KSCShortcut::Command : KSCShortcut::Control;
        recorder->setShortcutValue(std::make_shared<KSCShortcut>(40, flags)); // K
    }
}
BENCHMARK(BM_EditorRecordOneKeyAndSave)->Unit(benchmark::kMillisecond);

} // namespace
