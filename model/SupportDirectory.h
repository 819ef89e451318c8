#pragma once

#include "platform/Result.h"

#include <QString>

namespace qrv {

// The program's own folder in Application Support of the preferences home
// (<home>/Library/Application Support/com.brackwyn.Quorvane), created with
// its parents on the first call for that home, symbolic links resolved, and
// kept for the process (a failure too). The error names the folder.
Result<QString> menuShortcutsSupportDirectory(const QString& home);
// Forgets the folders found so far (test fixtures).
void resetSupportDirectories();

} // namespace qrv
