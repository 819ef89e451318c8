// Takes a picture of the main window as the X server shows it, with a few
// applications and their shortcuts in a scratch preferences home:
//   quorvane-screenshots OUTPUT.png [--dark]
// Run it on a display (scripts/screenshots.sh uses Xvfb; QT_SCALE_FACTOR=2
// gives the picture at twice the size).
#include "editor/QRVShortcutsViewController.h"
#include "model/KeyEquivalentTable.h"
#include "platform/NativePlatform.h"
#include "platform/plist/PlistCodec.h"
#include "platform/testing/FakeAccessKit.h"
#include "platform/testing/FakeBundleMoveSystem.h"
#include "platform/testing/ScriptedAlertPresenter.h"
#include "shell/QRVAppDelegate.h"
#include "shell/QRVFilePanels.h"
#include "shell/QRVMainWindowController.h"
#include "shell/QRVNativeSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QWindow>
#include <cstdio>

using namespace qrv;

namespace {

const QChar kPath = QChar(0x1B);

struct Application {
    QString identifier, name;
    QVariantMap shortcuts;
};

void writePlist(const QString& path, const QVariantMap& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(plist::encode(content).value());
}

void prepareHome(const QString& home) {
    const QList<Application> applications{
        {"com.example.Sketchbook",
         "Sketchbook",
         {{"Export…", "@$e"},
          {kPath + QString("Format") + kPath + "Font" + kPath + "Bold", "@b"},
          {"Zoom to Fit", "@~0"},
          {"Show Layers", "^@l"},
          {"Flip Horizontal", "@$h"}}},
        {"com.example.Ledger", "Ledger", {{"New Entry", "@n"}, {"Reconcile…", "@$r"}}},
        {"com.example.Mailroom", "Mailroom", {{"Archive", "^a"}, {"Send Later…", "@~\r"}}},
    };
    QStringList registered;
    for (const Application& application : applications) {
        writePlist(
            home + "/Applications/" + application.name + ".app/Contents/Info.plist",
            {{"CFBundleIdentifier", application.identifier}, {"CFBundleName", application.name}});
        writePlist(home + "/Library/Preferences/" + application.identifier + ".plist",
                   {{"NSUserKeyEquivalents", application.shortcuts}});
        registered << application.identifier;
    }
    writePlist(home + "/Library/Preferences/.GlobalPreferences.plist",
               {{"NSUserKeyEquivalents", QVariantMap{{"Show Help", "@?"}}}});
    writePlist(home + "/Library/Preferences/com.apple.universalaccess.plist",
               {{"com.apple.custommenu.apps", registered}});
}

QPalette darkPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2e));
    palette.setColor(QPalette::WindowText, QColor(0xe8, 0xe8, 0xea));
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x20));
    palette.setColor(QPalette::AlternateBase, QColor(0x26, 0x26, 0x29));
    palette.setColor(QPalette::Text, QColor(0xe8, 0xe8, 0xea));
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3e));
    palette.setColor(QPalette::ButtonText, QColor(0xe8, 0xe8, 0xea));
    palette.setColor(QPalette::Highlight, QColor(0x2f, 0x6f, 0xd0));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(0x3a, 0x3a, 0x3e));
    palette.setColor(QPalette::ToolTipText, QColor(0xe8, 0xe8, 0xea));
    palette.setColor(QPalette::PlaceholderText, QColor(0x8a, 0x8a, 0x90));
    palette.setColor(QPalette::Link, QColor(0x6a, 0xa8, 0xff));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x70, 0x70, 0x75));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x70, 0x70, 0x75));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x70, 0x70, 0x75));
    return palette;
}

void settle(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: quorvane-screenshots OUTPUT.png [--dark]\n");
        return 2;
    }
    if (arguments.contains("--dark")) {
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setPalette(darkPalette());
    }
    QTemporaryDir home;
    prepareHome(home.path());
    auto native = NativePlatform::create(home.path());
    if (!native) {
        std::fprintf(stderr, "%s\n", qPrintable(native.error()));
        return 1;
    }
    testing::ScriptedAlertPresenter alerts;
    // Both permissions granted: the editor as the user works in it.
    testing::FakePermissionStatus permissions;
    testing::FakeAccessKit accessKit{permissions};
    const DesktopServices services = (*native)->desktopServices(alerts, accessKit);
    KeyEquivalentTable::installShared(services.keyboardLayout);
    testing::FakeBundleMoveSystem moveSystem;
    moveSystem.bundle = {};
    QRVNativeSupport support(services);
    QRVDialogFilePanels filePanels; // never shown
    QRVAppDelegate delegate(services, {moveSystem, support.support, filePanels, home.path()});
    delegate.setTelemetryStarter([](const QString&, const QList<TLMServiceClass>&) {});
    delegate.launch();
    QWidget* window = delegate.mainWindowController()->window();
    window->resize(820, 460);
    window->move(40, 40);
    QRVShortcutsViewController* editor = delegate.mainWindowController()->shortcutsViewController();
    for (const QRVAplicationPtr& entry : editor->applications())
        if (entry->bundleIdentifier() == "com.example.Sketchbook")
            editor->setApplication(entry);
    settle(800);
    window->activateWindow();
    settle(300);

    const QPixmap picture = window->screen()->grabWindow(window->winId());
    if (picture.isNull() || !picture.save(arguments.at(1))) {
        std::fprintf(stderr, "could not take or save the picture\n");
        return 1;
    }
    return 0;
}
