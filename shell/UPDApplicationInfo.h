#pragma once

#include "editor/BWRuntime.h"

#include <QIcon>
#include <QVariantMap>

namespace qrv {

// The updater's knowledge of the program it updates. Its icon lookup is a
// replaceable class operation (BWRuntime), as the application replaces it.
class UPDApplicationInfo {
  public:
    static constexpr BWSelector<QIcon(const QVariantMap&)> bestIconForHostSelector{
        "bestIconForHost:"};

    // The icon the updater's windows show for a host with this information
    // dictionary, through the class's current implementation.
    static QIcon bestIconForHost(const QVariantMap& hostInfo);

    // The class's table, with the updater's own lookup installed.
    static BWClass& infoClass();
};

// Replaces the updater's icon lookup with the application's: the image named
// by the host's "CFBundleIconName" (the updater's own lookup when no such
// image exists), and no icon when the host names none. Once per process.
void installUpdaterIconReplacement();

} // namespace qrv
