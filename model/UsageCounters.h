#pragma once

#include <QtGlobal>

namespace qrv {

// The counters of the user's edits that gate the newsletter prompt at quit,
// in our user defaults: "usageOperations" (titles added or changed over all
// saves) and "usageSessions" (runs of the program with at least one such save).
namespace usage {
inline constexpr const char* kOperationsKey = "usageOperations";
inline constexpr const char* kSessionsKey = "usageSessions";

// Adds the edits; the first call of the process also counts the session.
void countEdits(qint64 edits);
} // namespace usage

} // namespace qrv
