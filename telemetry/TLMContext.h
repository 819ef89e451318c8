#pragma once

#include <QString>

namespace qrv {

class Scheduler;
class UserDefaults;

// The platform services the telemetry library works with, handed to the
// objects that use them. The program's composition root makes one (tests
// make their own); every service is required.
struct TLMContext {
    Scheduler& scheduler;       // the logs queue, the main thread and "now"
    UserDefaults& userDefaults; // installation identifier, encryption key, flush timers
    QString dataFolder;         // where the library keeps its files (TLMDataFolder::forHome)
};

} // namespace qrv
