#pragma once

#include <QtGlobal>

namespace qrv {

class UserDefaults;

// The counters of the user's edits that gate the newsletter prompt at quit,
// in our user defaults: "usageOperations" (titles added or changed over all
// saves) and "usageSessions" (runs of the program with at least one such save).
namespace usage {
inline constexpr const char* kOperationsKey = "usageOperations";
inline constexpr const char* kSessionsKey = "usageSessions";

// Adds the edits; the first call of the process also counts the session.
void countEdits(UserDefaults& defaults, qint64 edits);
// Forgets that this process counted its session (test fixtures).
void resetSession();
} // namespace usage

} // namespace qrv
