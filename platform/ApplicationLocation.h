#pragma once

#include <QIcon>
#include <QString>

namespace qrv {

// Where the running program's own files are. They are found from the
// executable, never from a path fixed at build time, so that an application
// folder runs from wherever it was unpacked or moved to, and an installed
// tree from any prefix.
struct ApplicationLocation {
    // The application folder (Name.app) when the executable is its
    // Contents/MacOS/<name>; empty when the program runs from a bin/ folder.
    QString bundlePath;
    // Laid out like <prefix>/share (icons/hicolor/...): the application
    // folder's Contents/Resources, else <the executable's folder>/../share.
    QString dataDirectory;

    static ApplicationLocation forExecutable(const QString& executablePath);
    // The running program's, from its executable with symbolic links resolved
    // (a link to the executable elsewhere still finds the real folder).
    static ApplicationLocation current();
};

// The program's icon in every size the data directory's hicolor theme holds,
// else the icon theme's. Null in a program without a GUI application object.
QIcon applicationIcon(const QString& dataDirectory);

} // namespace qrv
