#include "telemetry/TLMCrashCapture.h"

#include "platform/AppInfo.h"
#include "platform/Scheduler.h"
#include "telemetry/TLMLogging.h"
#include "telemetry/TLMSafeWriter.h"
#include "telemetry/TLMSignalStack.h"

#include <QCoreApplication>
#include <QDir>
#include <atomic>
#include <csignal>
#include <cstring>
#include <cxxabi.h>
#include <exception>
#include <fcntl.h>
#include <pthread.h>
#include <string>
#include <sys/syscall.h>
#include <time.h>
#include <typeinfo>
#include <ucontext.h>
#include <unistd.h>
#include <unwind.h>

namespace qrv {
namespace {

// Everything the handlers touch is prepared at install time: the record's
// path, its header, and the alternate stack a stack overflow needs.
constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kMaxFrames = 128;
constexpr size_t kHeaderSize = 2048;
// How long a thread that crashes while another one writes the record waits
// for it before passing its own signal on.
constexpr int kWaitForRecordSteps = 500;
constexpr timespec kWaitForRecordStep{0, 10'000'000};

char g_recordPath[4096];
char g_header[kHeaderSize];
size_t g_headerLength = 0;
struct sigaction g_previous[NSIG];
std::terminate_handler g_previousTerminate = nullptr;
std::atomic<bool> g_installed{false};
// The thread that writes the record; a second crashing thread waits until
// the record is done instead of writing over it.
std::atomic<pid_t> g_crashingThread{0};
std::atomic<bool> g_recordDone{false};

const char* signalName(int signal) {
    switch (signal) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGBUS:
        return "SIGBUS";
    case SIGILL:
        return "SIGILL";
    case SIGFPE:
        return "SIGFPE";
    case SIGABRT:
        return "SIGABRT";
    default:
        return "SIGNAL";
    }
}

pid_t currentThread() {
    return pid_t(syscall(SYS_gettid));
}

// True when this thread may write the record: the first crash only. The
// same thread crashing again (the abort after an uncaught exception) writes
// nothing more; another thread crashing meanwhile waits until the record is
// done (or a while, should the writer be stuck) and then lets its own signal
// end the process, so the process never hangs.
bool claimRecord() {
    const pid_t self = currentThread();
    pid_t expected = 0;
    if (g_crashingThread.compare_exchange_strong(expected, self))
        return true;
    if (expected == self)
        return false;
    for (int i = 0; i < kWaitForRecordSteps && !g_recordDone; ++i)
        nanosleep(&kWaitForRecordStep, nullptr);
    return false;
}

int openRecord() {
    return ::open(g_recordPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

void writeTime(TLMSafeWriter& out) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    out.text("time ")
        .decimal(unsigned(now.tv_sec))
        .text(" ")
        .decimal(unsigned(now.tv_nsec))
        .text("\n");
}

void writeFrame(TLMSafeWriter& out, uintptr_t address) {
    out.text("frame ").hex(address).text("\n");
    // A walk over a smashed stack may fault at the next frame: what was
    // found so far must already be in the file.
    out.flush();
}

// The stack walk, frame by frame as the unwinder finds them. With a faulting
// instruction the frames up to it (our handler's) are held back, as it was
// written before the walk began; should the walk never reach it, they are
// written after it, so nothing found is lost.
struct StackWalk {
    TLMSafeWriter* out;
    uintptr_t faultingInstruction; // 0: write every frame
    bool reachedFault;
    int frameCount;
    uintptr_t heldBack[kMaxFrames];
    int heldBackCount;
};

_Unwind_Reason_Code onFrame(_Unwind_Context* context, void* argument) {
    auto* walk = static_cast<StackWalk*>(argument);
    if (walk->frameCount++ >= kMaxFrames)
        return _URC_END_OF_STACK;
    const uintptr_t address = _Unwind_GetIP(context);
    if (walk->reachedFault)
        writeFrame(*walk->out, address);
    else if (address == walk->faultingInstruction)
        walk->reachedFault = true;
    else
        walk->heldBack[walk->heldBackCount++] = address;
    return _URC_NO_REASON;
}

void writeStack(TLMSafeWriter& out, uintptr_t faultingInstruction) {
    StackWalk walk{&out, faultingInstruction, faultingInstruction == 0, 0, {}, 0};
    if (faultingInstruction)
        writeFrame(out, faultingInstruction);
    _Unwind_Backtrace(onFrame, &walk);
    if (!walk.reachedFault)
        for (int i = 0; i < walk.heldBackCount; ++i)
            writeFrame(out, walk.heldBack[i]);
}

_Unwind_Reason_Code ignoreFrame(_Unwind_Context*, void*) {
    return _URC_NO_REASON;
}

// The executable mappings of the process as they are at the moment of the
// crash (libraries loaded late included), copied from /proc/self/maps.
void writeModules(TLMSafeWriter& out) {
    const int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    char chunk[1024];
    char line[512];
    size_t length = 0;
    bool overlong = false;
    auto endLine = [&] {
        // "start-end perms offset dev inode path": keep executable mappings.
        const char* perms = static_cast<const char*>(memchr(line, ' ', length));
        if (!overlong && perms && perms + 4 < line + length && perms[3] == 'x')
            out.text("module ").text(line, length).text("\n");
        length = 0;
        overlong = false;
    };
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n; ++i) {
            if (chunk[i] == '\n')
                endLine();
            else if (length < sizeof line)
                line[length++] = chunk[i];
            else
                overlong = true;
        }
    }
    if (length)
        endLine();
    ::close(fd);
}

uintptr_t faultingInstruction(void* context) {
    const auto* uc = static_cast<const ucontext_t*>(context);
    if (!uc)
        return 0;
#if defined(__x86_64__)
    return uintptr_t(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return uintptr_t(uc->uc_mcontext.pc);
#else
    return 0;
#endif
}

// The record: header and time, the kind of crash, the stack and the
// mappings. Everything before the stack walk is in the file before the walk
// begins, so a walk that faults leaves all but the frames it did not reach.
template <typename WriteKind> void writeRecord(WriteKind writeKind, uintptr_t faultingInstruction) {
    if (const int fd = openRecord(); fd >= 0) {
        {
            TLMSafeWriter out(fd);
            out.text(g_header, g_headerLength);
            writeTime(out);
            writeKind(out);
            out.flush();
            writeStack(out, faultingInstruction);
            writeModules(out);
            out.text("end\n");
        }
        ::fsync(fd);
        ::close(fd);
    }
    g_recordDone = true;
}

void writeSignalRecord(int signal, const siginfo_t* info, void* context) {
    writeRecord(
        [&](TLMSafeWriter& out) {
            out.text("signal ").decimal(unsigned(signal)).text(" ").text(signalName(signal));
            out.text("\n");
            if (info) {
                out.text("code ").signedDecimal(info->si_code).text("\n");
                if (signal != SIGABRT)
                    out.text("address ").hex(uintptr_t(info->si_addr)).text("\n");
            }
        },
        faultingInstruction(context));
}

// Hands the signal to whoever had it before us, as the kernel would have: a
// handler of theirs gets the very fault (its si_code, address and context);
// the default action, or an ignored fault, ends the process as it would have
// ended. Should their handler return, it takes our place, so that a fault
// that comes again when the instruction is retried goes straight to it.
void passOn(int signal, siginfo_t* info, void* context) {
    struct sigaction previous = g_previous[signal];
    const bool isDefault = !(previous.sa_flags & SA_SIGINFO) &&
                           (previous.sa_handler == SIG_DFL || previous.sa_handler == SIG_IGN);
    if (isDefault || ((previous.sa_flags & SA_SIGINFO) && !previous.sa_sigaction)) {
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL; // an ignored fault would only fault again
        sigemptyset(&fallback.sa_mask);
        sigaction(signal, &fallback, nullptr);
        // Delivered once this handler returns (the signal is blocked until then).
        raise(signal);
        return;
    }
    pthread_sigmask(SIG_BLOCK, &previous.sa_mask, nullptr);
    if (previous.sa_flags & SA_SIGINFO)
        previous.sa_sigaction(signal, info, context);
    else
        previous.sa_handler(signal);
    if (previous.sa_flags & SA_RESETHAND)
        previous.sa_handler = SIG_DFL;
    sigaction(signal, &previous, nullptr);
}

void onSignal(int signal, siginfo_t* info, void* context) {
    if (claimRecord())
        writeSignalRecord(signal, info, context);
    passOn(signal, info, context);
}

// Not a signal handler: the exception's type and message may be looked at
// with ordinary calls, but the record is written the same safe way.
void onTerminate() {
    if (claimRecord()) {
        std::string type = "unknown";
        std::string reason;
        if (const std::type_info* info = abi::__cxa_current_exception_type()) {
            int status = 0;
            char* demangled = abi::__cxa_demangle(info->name(), nullptr, nullptr, &status);
            type = status == 0 && demangled ? demangled : info->name();
            free(demangled);
            try {
                std::rethrow_exception(std::current_exception());
            } catch (const std::exception& exception) {
                reason = exception.what();
            } catch (...) {
            }
        } else {
            type = "std::terminate";
        }
        writeRecord(
            [&](TLMSafeWriter& out) {
                out.text("exception ").line(type.c_str()).text("\n");
                out.text("reason ").line(reason.c_str()).text("\n");
            },
            0);
    }
    // abort() from here reaches onSignal, which now only lets the process die.
    if (g_previousTerminate)
        g_previousTerminate();
    std::abort();
}

std::string headerFor(const TLMCrashIdentity& identity) {
    auto field = [](const char* key, const QString& value) {
        QString single = value;
        single.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return std::string(key) + ' ' + single.toStdString() + '\n';
    };
    return "QRVCRASH 1\n" + field("pid", QString::number(identity.processId)) +
           field("process", identity.processName) +
           field("launch", QString::number(identity.launchTime.toMSecsSinceEpoch())) +
           field("appVersion", identity.appVersion) + field("appBuild", identity.appBuild);
}

} // namespace

TLMCrashIdentity TLMCrashIdentity::current() {
    const QString name = QCoreApplication::instance()
                             ? QCoreApplication::applicationName()
                             : QString::fromLatin1(appinfo::kApplicationName);
    return TLMCrashIdentity{QCoreApplication::applicationPid(), name,
                            QDateTime::currentDateTimeUtc(), QString::fromLatin1(appinfo::kVersion),
                            QString::fromLatin1(appinfo::kBuild)};
}

bool TLMCrashCapture::install(const QString& crashFolder, Scheduler& scheduler,
                              const TLMCrashIdentity& identity) {
    static std::atomic<bool> attempted{false};
    if (attempted.exchange(true))
        return g_installed;
    if (!QDir().mkpath(crashFolder)) {
        qCWarning(lcTelemetryCrashes,
                  "Cannot create the crash folder %s; crashes are not recorded.",
                  qPrintable(crashFolder));
        return false;
    }
    const QByteArray path = QFile::encodeName(QStringLiteral("%1/%2-%3%4")
                                                  .arg(crashFolder)
                                                  .arg(identity.launchTime.toMSecsSinceEpoch())
                                                  .arg(identity.processId)
                                                  .arg(QLatin1String(kRecordSuffix)));
    const std::string header = headerFor(identity);
    if (size_t(path.size()) >= sizeof g_recordPath || header.size() >= kHeaderSize) {
        qCWarning(lcTelemetryCrashes,
                  "The crash folder's path is too long; crashes are not recorded.");
        return false;
    }
    memcpy(g_recordPath, path.constData(), size_t(path.size()) + 1);
    memcpy(g_header, header.data(), header.size());
    g_headerLength = header.size();

    // The first stack walk sets the unwinder up, which is not safe in a handler.
    _Unwind_Backtrace(ignoreFrame, nullptr);
    if (!TLMSignalStack::prepareThread())
        qCWarning(lcTelemetryCrashes,
                  "No alternate signal stack; a stack overflow is not recorded.");
    scheduler.addThreadHooks(ThreadHooks{[] { TLMSignalStack::prepareThread(); },
                                         [] {
                                             TLMSignalStack::releaseThread();
                                         }});

    struct sigaction action {};
    action.sa_sigaction = onSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals)
        sigaction(signal, &action, &g_previous[signal]);
    g_previousTerminate = std::set_terminate(onTerminate);
    g_installed = true;
    qCDebug(lcTelemetryCrashes, "Crash handlers installed; record path %s.", g_recordPath);
    return true;
}

bool TLMCrashCapture::isInstalled() {
    return g_installed;
}

QString TLMCrashCapture::recordPath() {
    return g_installed ? QFile::decodeName(g_recordPath) : QString();
}

} // namespace qrv
