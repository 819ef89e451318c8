// Installs the crash handlers in a process of its own and then crashes the
// way it is told, so the tests can look at what the handlers left behind.
// Usage: quorvane-crash-helper FOLDER MODE, where MODE is segv, exception,
// abort, chained (a handler of someone else's was there first),
// smashed-stack, overflow-on-queue, overflow-in-pool, two-threads, or
// overflow-on-logs-queue (the handlers come from starting the crash service
// as the program does; FOLDER is then the "Crashes" folder of its data folder).
#include "platform/UserDefaults.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/qt/QtScheduler.h"
#include "telemetry/TLMCrashCapture.h"
#include "telemetry/TLMCrashes.h"
#include "telemetry/TLMTelemetry.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

// Exit statuses of the "chained" mode's own handler.
constexpr int kSawTheRealFault = 42;
constexpr int kSawSomethingElse = 43;
constexpr uintptr_t kBadAddress = 24;

[[gnu::noinline]] void writeThroughBadPointer(uintptr_t address) {
    // Laundered, so the compiler cannot see a constant null-page pointer.
    volatile uintptr_t laundered = address;
    *reinterpret_cast<volatile int*>(laundered) = 42;
}

[[gnu::noinline]] void throwNobodyCatches() {
    throw std::runtime_error("the helper's unhandled failure");
}

// Faults with both stack registers pointing nowhere, so that walking the
// stack from the fault faults too.
[[gnu::noinline]] void faultWithASmashedStack() {
#if defined(__x86_64__)
    asm volatile("mov $0x10, %%rsp\n\tmov $0x10, %%rbp\n\tmovl $0, (%%rsp)" ::: "memory");
#else
    writeThroughBadPointer(kBadAddress);
#endif
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winfinite-recursion"
[[gnu::noinline]] int recurseForever(volatile char* caller) {
    volatile char frame[1024];
    frame[0] = caller ? caller[0] : 1;
    return recurseForever(frame) + frame[0];
}
#pragma GCC diagnostic pop

// Stands for a handler some library installed before us.
void earlierHandler(int, siginfo_t* info, void*) {
    const bool real =
        info->si_code == SEGV_MAPERR && reinterpret_cast<uintptr_t>(info->si_addr) == kBadAddress;
    _exit(real ? kSawTheRealFault : kSawSomethingElse);
}

void installEarlierHandler() {
    struct sigaction action {};
    action.sa_sigaction = earlierHandler;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGSEGV, &action, nullptr);
}

[[noreturn]] void waitForTheEnd() {
    for (;;)
        QThread::sleep(1);
}

void faultOnTwoThreadsAtOnce() {
    std::atomic<int> ready{0};
    auto fault = [&ready] {
        ++ready;
        while (ready < 2) {
        }
        writeThroughBadPointer(kBadAddress);
    };
    std::thread first(fault);
    std::thread second(fault);
    first.join();
    second.join();
}

// Starts telemetry with the crash service on the given data folder, as the
// program does, and overflows the stack of the library's own queue.
[[noreturn]] void overflowOnTheLogsQueue(qrv::Scheduler& scheduler, const QString& dataFolder) {
    qrv::PlistFilePreferenceStore preferences(dataFolder);
    qrv::UserDefaults defaults(preferences, QStringLiteral("com.brackwyn.Quorvane"));
    qrv::TLMTelemetry::start(qrv::TLMContext{scheduler, defaults, dataFolder},
                             qrv::TLMTelemetryOptions{}, {&qrv::TLMCrashes::service});
    qrv::TLMTelemetry::channelGroup()->logsDispatchQueue()->async([] { recurseForever(nullptr); });
    waitForTheEnd();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    // A core file would only slow the test down.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("crash-helper"));
    const char* mode = argv[2];
    if (strcmp(mode, "chained") == 0)
        installEarlierHandler();
    qrv::QtScheduler scheduler;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (strcmp(mode, "overflow-on-logs-queue") == 0)
        overflowOnTheLogsQueue(scheduler, QFileInfo(folder).path());
    if (!qrv::TLMCrashCapture::install(folder, scheduler))
        return 3;

    if (strcmp(mode, "segv") == 0 || strcmp(mode, "chained") == 0) {
        writeThroughBadPointer(kBadAddress);
    } else if (strcmp(mode, "exception") == 0) {
        throwNobodyCatches();
    } else if (strcmp(mode, "abort") == 0) {
        std::abort();
    } else if (strcmp(mode, "smashed-stack") == 0) {
        faultWithASmashedStack();
    } else if (strcmp(mode, "overflow-on-queue") == 0) {
        auto queue = scheduler.createSerialQueue(QStringLiteral("overflowing"));
        queue->async([] { recurseForever(nullptr); });
        waitForTheEnd();
    } else if (strcmp(mode, "overflow-in-pool") == 0) {
        scheduler.asyncGlobal([] { recurseForever(nullptr); });
        waitForTheEnd();
    } else if (strcmp(mode, "two-threads") == 0) {
        faultOnTwoThreadsAtOnce();
    }
    return 4;
}
