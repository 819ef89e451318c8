// Installs the crash handlers in a process of its own and then crashes the
// way it is told, so the tests can look at what the handlers left behind.
// Usage: quorvane-crash-helper FOLDER segv|exception|abort
#include "telemetry/TLMCrashCapture.h"

#include <QCoreApplication>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <sys/resource.h>

namespace {

[[gnu::noinline]] void writeThroughBadPointer(volatile int* pointer) {
    *pointer = 42;
}

[[gnu::noinline]] void throwNobodyCatches() {
    throw std::runtime_error("the helper's unhandled failure");
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
    if (!qrv::TLMCrashCapture::install(QString::fromLocal8Bit(argv[1])))
        return 3;
    const char* mode = argv[2];
    if (strcmp(mode, "segv") == 0)
        writeThroughBadPointer(reinterpret_cast<volatile int*>(argc * 8));
    else if (strcmp(mode, "exception") == 0)
        throwNobodyCatches();
    else if (strcmp(mode, "abort") == 0)
        std::abort();
    return 4;
}
