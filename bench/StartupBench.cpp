// Start-up as the user meets it: from the application delegate's creation to
// the main window on screen and painted, with 2,000 shortcuts under All
// Applications (the entry the window opens with). Real services on a
// temporary preferences home; the move check finds nothing to move.
#include "model/KeyEquivalentTable.h"
#include "model/QRVMenuShortcut.h"
#include "platform/NativePlatform.h"
#include "platform/plist/PlistCodec.h"
#include "platform/testing/FakeAccessKit.h"
#include "platform/testing/FakeBundleMoveSystem.h"
#include "platform/widgets/MessageBoxAlertPresenter.h"
#include "shell/QRVAppDelegate.h"
#include "shell/QRVFilePanels.h"
#include "shell/QRVMainWindowController.h"
#include "shell/QRVNativeSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>

namespace {

void writeGlobalShortcuts(const QString& home, int count) {
    QVariantMap table;
    for (int i = 0; i < count; ++i)
        table.insert(QStringLiteral("Command %1").arg(i, 4, 10, QLatin1Char('0')),
                     QStringLiteral("@~%1").arg(QChar(u'a' + i % 26)));
    const QString folder = home + QStringLiteral("/Library/Preferences");
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/.GlobalPreferences.plist"));
    if (file.open(QIODevice::WriteOnly))
        file.write(qrv::plist::encode(QVariantMap{{QStringLiteral("NSUserKeyEquivalents"), table}})
                       .value());
}

void BM_StartupToMainWindowShown(benchmark::State& state) {
    QTemporaryDir home;
    writeGlobalShortcuts(home.path(), static_cast<int>(state.range(0)));
    auto native = qrv::NativePlatform::create(home.path());
    if (!native) {
        state.SkipWithError(qPrintable(native.error()));
        return;
    }
    qrv::MessageBoxAlertPresenter alerts;
    // Both permissions granted: start-up to the main window alone.
    qrv::testing::FakePermissionStatus permissions;
    qrv::testing::FakeAccessKit accessKit{permissions};
    const qrv::DesktopServices services = (*native)->desktopServices(alerts, accessKit);
    qrv::KeyEquivalentTable::installShared(services.keyboardLayout);
    qrv::testing::FakeBundleMoveSystem moveSystem;
    moveSystem.bundle = {};
    qrv::QRVNativeSupport support(services);
    qrv::QRVDialogFilePanels filePanels; // never shown

    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto delegate = std::make_unique<qrv::QRVAppDelegate>(
            services, qrv::AppDelegateParts{moveSystem, support.support, filePanels, home.path()});
        delegate->setTelemetryStarter([](const QString&, const QList<qrv::TLMServiceClass>&) {});
        delegate->launch();
        QWidget* window = delegate->mainWindowController()->window();
        while (!window->windowHandle() || !window->windowHandle()->isExposed())
            QCoreApplication::processEvents();
        QCoreApplication::processEvents(); // the first paint
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);

        delegate.reset();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_StartupToMainWindowShown)
    ->Arg(0)
    ->Arg(2000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

} // namespace
