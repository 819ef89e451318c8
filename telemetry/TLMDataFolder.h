#pragma once

#include <QString>

namespace qrv {

// Where the telemetry library keeps its files: the first Application Support
// folder of the preferences home, then our bundle identifier, then "telemetry".
struct TLMDataFolder {
    // The folder, created when missing (a failure to create it is logged; the
    // caller then fails when it opens its file there).
    static QString path();
    // A file inside the folder.
    static QString filePath(const QString& fileName);
};

} // namespace qrv
