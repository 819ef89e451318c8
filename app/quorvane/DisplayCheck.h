#pragma once

#include <QString>
#include <optional>

namespace qrv {

// Why the display that Qt is about to use cannot serve, in one sentence;
// nothing when it can, or when Qt will use a platform this check does not
// judge (offscreen, Wayland, a list with fallbacks). Made before the
// QApplication exists: Qt ends the process with a fatal error (and a core
// dump) when its platform plugin cannot connect.
std::optional<QString> displayProblem(int argc, char** argv);

} // namespace qrv
