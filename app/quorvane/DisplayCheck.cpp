#include "DisplayCheck.h"

#include <QCoreApplication>
#include <xcb/xcb.h>

namespace qrv {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("quorvane", text);
}

// "-name VALUE" or "--name VALUE" among the arguments, as Qt reads them.
QByteArray optionValue(int argc, char** argv, const char* name) {
    const QByteArray single = QByteArray("-") + name;
    const QByteArray dashed = QByteArray("--") + name;
    QByteArray value;
    for (int i = 1; i + 1 < argc; ++i)
        if (single == argv[i] || dashed == argv[i])
            value = argv[i + 1];
    return value;
}

bool isX11Platform(const QByteArray& platform) {
    return platform == "xcb" || platform.startsWith("xcb:");
}

bool canConnect(const QByteArray& display) {
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(display.constData(), &screen);
    const bool connected = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection); // also frees a connection that failed
    return connected;
}

} // namespace

std::optional<QString> displayProblem(int argc, char** argv) {
    QByteArray platform = optionValue(argc, argv, "platform");
    if (platform.isEmpty())
        platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !isX11Platform(platform))
        return std::nullopt; // the user chose another platform (offscreen, wayland, vnc, ...)
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    QByteArray display = optionValue(argc, argv, "display");
    if (display.isEmpty())
        display = qgetenv("DISPLAY");
    if (platform.isEmpty() && !wayland.isEmpty() &&
        (display.isEmpty() || qgetenv("XDG_SESSION_TYPE") == "wayland"))
        return std::nullopt; // a Wayland session: Qt picks its platform there
    if (display.isEmpty())
        return tr("no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set); start "
                  "it in a desktop session, or use quorvane-cli.");
    if (!canConnect(display))
        return tr("the display “%1” cannot be reached; start it in a desktop session, or use "
                  "quorvane-cli.")
            .arg(QString::fromLocal8Bit(display));
    return std::nullopt;
}

} // namespace qrv
