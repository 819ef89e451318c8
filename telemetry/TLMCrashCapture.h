#pragma once

#include <QDateTime>
#include <QString>

namespace qrv {

class Scheduler;

// What a crash record says about the process, fixed when the handlers are
// installed.
struct TLMCrashIdentity {
    qint64 processId = 0;
    QString processName;
    QDateTime launchTime;
    QString appVersion;
    QString appBuild;

    // This process, launched now.
    static TLMCrashIdentity current();
};

// Catches the crashes of this process: the signals SIGSEGV, SIGBUS, SIGILL,
// SIGFPE and SIGABRT, and C++ exceptions nobody caught. Each writes one crash
// record (see TLMCrashRecord) into the crash folder with async-signal-safe
// calls only (open, write, read, close, and a stack walk primed at install
// time), then lets the process end the way it would have without us: the
// previous signal disposition or terminate handler takes over.
class TLMCrashCapture {
  public:
    static constexpr auto kRecordSuffix = ".crashrecord";

    // Installs the handlers once per process; later calls answer whether the
    // first succeeded. The folder is created when missing. A stack overflow
    // is caught on an alternate signal stack, which each thread needs of its
    // own: the installing thread gets one now, and every thread the scheduler
    // starts gets one when it starts (and gives it back when it ends).
    static bool install(const QString& crashFolder, Scheduler& scheduler,
                        const TLMCrashIdentity& identity = TLMCrashIdentity::current());
    static bool isInstalled();
    // Where this process's record would be written (empty before install).
    static QString recordPath();
};

} // namespace qrv
