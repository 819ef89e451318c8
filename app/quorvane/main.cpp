// quorvane: the application.
#include "DisplayCheck.h"
#include "model/KeyEquivalentTable.h"
#include "model/SupportDirectory.h"
#include "platform/AppInfo.h"
#include "platform/ApplicationLocation.h"
#include "platform/BundleMoveSystem.h"
#include "platform/NativePlatform.h"
#include "platform/PreferencesHome.h"
#include "platform/linux/DBusSingleInstance.h"
#include "platform/linux/LinuxPrivacySettings.h"
#include "platform/widgets/DesktopAccessKit.h"
#include "platform/widgets/MessageBoxAlertPresenter.h"
#include "shell/QRVAppDelegate.h"
#include "shell/QRVFilePanels.h"
#include "shell/QRVNativeSupport.h"
#include "telemetry/TLMDataFolder.h"
#include "telemetry/TLMTelemetry.h"

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

using namespace qrv;

int main(int argc, char** argv) {
    if (const auto problem = displayProblem(argc, argv)) {
        std::fprintf(stderr, "quorvane: %s\n", qPrintable(*problem));
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(appinfo::kApplicationName));
    QApplication::setApplicationDisplayName(QString::fromLatin1(appinfo::kApplicationName));
    QApplication::setOrganizationName(QString::fromLatin1(appinfo::kOrganizationName));
    QApplication::setOrganizationDomain(QString::fromLatin1(appinfo::kOrganizationDomain));
    QApplication::setApplicationVersion(QString::fromLatin1(appinfo::kVersion));
    QApplication::setDesktopFileName(QString::fromLatin1(appinfo::kBundleIdentifier));
    QApplication::setWindowIcon(applicationIcon(ApplicationLocation::current().dataDirectory));

    const QString home = PreferencesHome::resolve(PreferencesHome::fromArguments(app.arguments()));
    const QStringList files = QRVAppDelegate::filesFromArguments(app.arguments());
    // One copy per home: a second editor would save over the first one's edits.
    DBusSingleInstance instance(home);
    QString handOverProblem;
    switch (instance.claimOrHandOver(files, &handOverProblem)) {
    case DBusSingleInstance::Role::HandedOver:
        return EXIT_SUCCESS;
    case DBusSingleInstance::Role::Alone:
        if (!handOverProblem.isEmpty())
            std::fprintf(stderr, "quorvane: %s\n", qPrintable(handOverProblem));
        break;
    case DBusSingleInstance::Role::First:
        break;
    }
    // A home this user cannot change still opens: the welcome window and the
    // editor's full-disk-access check say which folder and how to fix it.
    auto native = NativePlatform::create(home, NativePlatform::HomeUse::MayBeReadOnly);
    if (!native) {
        std::fprintf(stderr, "quorvane: %s\n", qPrintable(native.error()));
        QMessageBox::critical(nullptr, QString::fromLatin1(appinfo::kApplicationName),
                              native.error());
        return EXIT_FAILURE;
    }
    MessageBoxAlertPresenter alerts;
    // The permission library: what each permission means here, explained with our own windows.
    const LinuxPrivacySettings privacySettings((*native)->services().home);
    DesktopAccessKit accessKit((*native)->services().permissions, privacySettings, alerts);
    const DesktopServices services = (*native)->desktopServices(alerts, accessKit);
    KeyEquivalentTable::installShared(services.keyboardLayout);
    // Only edit requests dropped into the support folder need it; the rest of
    // the program works without it (and a read-only home must still reach the
    // welcome window).
    const auto supportFolder = menuShortcutsSupportDirectory(services.home);
    if (!supportFolder)
        std::fprintf(stderr, "quorvane: %s\n", qPrintable(supportFolder.error()));
    QRVDialogFilePanels filePanels;

    int status = EXIT_SUCCESS;
    {
        const auto moveSystem = createNativeBundleMoveSystem();
        QRVNativeSupport support(services);
        QRVAppDelegate delegate(services, {*moveSystem, support.support, filePanels,
                                           supportFolder ? *supportFolder : QString()});
        delegate.setTelemetryStarter(
            [&services](const QString& appSecret, const QList<TLMServiceClass>& list) {
                TLMTelemetry::start({services.scheduler, services.userDefaults,
                                     TLMDataFolder::forHome(services.home)},
                                    appSecret, list);
            });
        // For tests only: judge the telemetry period as of this moment (ISO
        // 8601), so crash reporting can be exercised whatever today's date is.
        if (const QString moment = qEnvironmentVariable("QUORVANE_TEST_TELEMETRY_CLOCK");
            !moment.isEmpty()) {
            const QDateTime fixed = QDateTime::fromString(moment, Qt::ISODate);
            if (fixed.isValid())
                delegate.setTelemetryClock([fixed] { return fixed; });
        }
        instance.setFilesHandler(
            [&delegate](const QStringList& handed) { delegate.reopen(handed); });
        // False: a copy of the program elsewhere has taken over.
        if (delegate.launch(files))
            status = app.exec();
        instance.setFilesHandler({});
    }
    TLMTelemetry::stop();
    return status;
}
