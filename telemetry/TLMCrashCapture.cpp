#include "telemetry/TLMCrashCapture.h"

#include "platform/AppInfo.h"
#include "telemetry/TLMLogging.h"

#include <QCoreApplication>
#include <QDir>
#include <atomic>
#include <csignal>
#include <cstring>
#include <cxxabi.h>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <string>
#include <sys/syscall.h>
#include <time.h>
#include <typeinfo>
#include <ucontext.h>
#include <unistd.h>

namespace qrv {
namespace {

// Everything the handlers touch is prepared at install time: the record's
// path, its header, and the alternate stack a stack overflow needs.
constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kMaxFrames = 128;
constexpr size_t kHeaderSize = 2048;
constexpr size_t kAltStackSize = 64 * 1024;

char g_recordPath[4096];
char g_header[kHeaderSize];
size_t g_headerLength = 0;
struct sigaction g_previous[NSIG];
std::terminate_handler g_previousTerminate = nullptr;
alignas(16) char g_altStack[kAltStackSize];
std::atomic<bool> g_installed{false};
// The thread that is writing the record; a second crashing thread waits for
// the process to end instead of writing over it.
std::atomic<pid_t> g_crashingThread{0};
std::atomic<bool> g_recordWritten{false};

// A small buffered writer made of write(2) alone.
class SafeWriter {
  public:
    explicit SafeWriter(int fd)
        : m_fd(fd) {}
    ~SafeWriter() { flush(); }

    SafeWriter& text(const char* s, size_t length) {
        for (size_t i = 0; i < length; ++i) {
            if (m_used == sizeof m_buffer)
                flush();
            m_buffer[m_used++] = s[i];
        }
        return *this;
    }
    SafeWriter& text(const char* s) { return text(s, strlen(s)); }
    // A single line: line breaks would end the record's field early.
    SafeWriter& line(const char* s) {
        for (; *s; ++s)
            text(*s == '\n' || *s == '\r' ? " " : s, 1);
        return *this;
    }
    SafeWriter& decimal(unsigned long long value) {
        char digits[24];
        int n = 0;
        do {
            digits[n++] = char('0' + value % 10);
            value /= 10;
        } while (value);
        while (n)
            text(&digits[--n], 1);
        return *this;
    }
    SafeWriter& hex(uintptr_t value) {
        static const char kDigits[] = "0123456789abcdef";
        char digits[2 + 2 * sizeof value] = {'0', 'x'};
        for (size_t i = 0; i < 2 * sizeof value; ++i)
            digits[2 + i] = kDigits[(value >> (4 * (2 * sizeof value - 1 - i))) & 0xF];
        return text(digits, sizeof digits);
    }
    void flush() {
        size_t done = 0;
        while (done < m_used) {
            const ssize_t n = ::write(m_fd, m_buffer + done, m_used - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += size_t(n);
        }
        m_used = 0;
    }

  private:
    int m_fd;
    char m_buffer[1024];
    size_t m_used = 0;
};

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

// True when this thread may write the record. Another thread that crashes at
// the same time sleeps until the first one has ended the process; the same
// thread crashing again inside the handler gives up.
bool claimRecord() {
    const pid_t self = currentThread();
    pid_t expected = 0;
    if (g_crashingThread.compare_exchange_strong(expected, self))
        return true;
    if (expected == self)
        return false;
    for (;;) {
        const timespec second{1, 0};
        nanosleep(&second, nullptr);
    }
}

int openRecord() {
    return ::open(g_recordPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

void writeTime(SafeWriter& out) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    out.text("time ")
        .decimal(unsigned(now.tv_sec))
        .text(" ")
        .decimal(unsigned(now.tv_nsec))
        .text("\n");
}

void writeFrames(SafeWriter& out, void* const* frames, int count) {
    for (int i = 0; i < count; ++i)
        out.text("frame ").hex(uintptr_t(frames[i])).text("\n");
}

// The executable mappings of the process as they are at the moment of the
// crash (libraries loaded late included), copied from /proc/self/maps.
void writeModules(SafeWriter& out) {
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

void writeSignalRecord(int signal, const siginfo_t* info, void* context) {
    const int fd = openRecord();
    if (fd < 0)
        return;
    {
        SafeWriter out(fd);
        out.text(g_header, g_headerLength);
        writeTime(out);
        out.text("signal ").decimal(unsigned(signal)).text(" ").text(signalName(signal)).text("\n");
        if (info) {
            out.text("code ").decimal(unsigned(info->si_code)).text("\n");
            if (signal != SIGABRT)
                out.text("address ").hex(uintptr_t(info->si_addr)).text("\n");
        }
        void* frames[kMaxFrames];
        const int count = backtrace(frames, kMaxFrames);
        // Start at the faulting instruction, leaving out our handler's frames.
        const uintptr_t pc = faultingInstruction(context);
        int first = 0;
        while (first < count && pc && uintptr_t(frames[first]) != pc)
            ++first;
        if (first == count) {
            first = 0;
            if (pc)
                out.text("frame ").hex(pc).text("\n");
        }
        writeFrames(out, frames + first, count - first);
        writeModules(out);
        out.text("end\n");
    }
    ::fsync(fd);
    ::close(fd);
    g_recordWritten = true;
}

void dieAsBefore(int signal) {
    struct sigaction previous = g_previous[signal];
    if (previous.sa_handler == SIG_IGN)
        previous.sa_handler = SIG_DFL; // an ignored fault would only fault again
    sigaction(signal, &previous, nullptr);
    // Delivered once this handler returns (the signal is blocked until then).
    raise(signal);
}

void onSignal(int signal, siginfo_t* info, void* context) {
    if (claimRecord() && !g_recordWritten)
        writeSignalRecord(signal, info, context);
    dieAsBefore(signal);
}

// Not a signal handler: the exception's type and message may be looked at
// with ordinary calls, but the record is written the same safe way.
void onTerminate() {
    if (claimRecord() && !g_recordWritten) {
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
        if (const int fd = openRecord(); fd >= 0) {
            {
                SafeWriter out(fd);
                out.text(g_header, g_headerLength);
                writeTime(out);
                out.text("exception ").line(type.c_str()).text("\n");
                out.text("reason ").line(reason.c_str()).text("\n");
                void* frames[kMaxFrames];
                writeFrames(out, frames, backtrace(frames, kMaxFrames));
                writeModules(out);
                out.text("end\n");
            }
            ::fsync(fd);
            ::close(fd);
            g_recordWritten = true;
        }
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

bool TLMCrashCapture::install(const QString& crashFolder, const TLMCrashIdentity& identity) {
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

    // The first stack walk loads the unwinder, which is not safe in a handler.
    void* frames[4];
    backtrace(frames, 4);

    stack_t altStack{};
    altStack.ss_sp = g_altStack;
    altStack.ss_size = sizeof g_altStack;
    if (sigaltstack(&altStack, nullptr) != 0)
        qCWarning(lcTelemetryCrashes,
                  "No alternate signal stack; a stack overflow is not recorded.");

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
