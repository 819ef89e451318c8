#pragma once

#include <QString>

namespace qrv {

// Where the telemetry library keeps its files: the first Application Support
// folder of the preferences home, then our bundle identifier, then "telemetry".
struct TLMDataFolder {
    // The folder for a preferences home, created when missing (a failure to
    // create it is logged; the caller then fails when it opens its file there).
    static QString forHome(const QString& home);
    // The folder's path for a home, without creating anything.
    static QString pathForHome(const QString& home);
};

} // namespace qrv
