#pragma once

#include "platform/PrivacySettings.h"

#include <QString>
#include <optional>

// What full disk access means on this system: this process can read and
// write the preference folders of the home (Library/Preferences and the
// containers' Data/Library/Preferences), so it can edit other applications'
// preferences there.
namespace qrv::access {

// The first preference folder of the home this process cannot read and
// write; nothing when every one can. A folder not created yet counts through
// the nearest existing folder inside the home that would hold it.
std::optional<FolderProblem> preferencesFolderProblem(const QString& home);

} // namespace qrv::access
