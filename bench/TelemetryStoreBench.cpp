// Saving 1 KiB telemetry logs: into an empty store, and into a full 10 MiB
// store where every save first has to evict older logs.
#include "telemetry/TLMLogDBStorage.h"
#include "telemetry/TLMLogSamples.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kLogs = 10000;
constexpr qint64 kLogSize = 1024;

qrv::TLMLogPtr sampleLog() {
    auto log = qrv::TLMLogSamples::crashReport();
    qrv::TLMLogSamples::padToEncodedSize(*log, kLogSize);
    return log;
}

void saveLogs(benchmark::State& state, qrv::TLMLogDBStorage& store, const qrv::TLMLogPtr& log) {
    for (int i = 0; i < kLogs; ++i)
        if (!store.saveLog(log, QStringLiteral("Crashes"), qrv::TLMFlagsNormal)) {
            state.SkipWithError("a save failed");
            return;
        }
}

void BM_TelemetrySaveIntoEmptyStore(benchmark::State& state) {
    const qrv::TLMLogPtr log = sampleLog();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        qrv::TLMLogDBStorage store(dir.filePath(QStringLiteral("Logs.sqlite")),
                                   qrv::TLMEncrypter::withNewKey());
        state.ResumeTiming();
        saveLogs(state, store, log);
    }
    state.SetItemsProcessed(state.iterations() * kLogs);
}
BENCHMARK(BM_TelemetrySaveIntoEmptyStore)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_TelemetrySaveIntoFullStore(benchmark::State& state) {
    const qrv::TLMLogPtr log = sampleLog();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        qrv::TLMLogDBStorage store(dir.filePath(QStringLiteral("Logs.sqlite")),
                                   qrv::TLMEncrypter::withNewKey());
        // More 1 KiB logs than 10 MiB can hold, so the store is full from here on.
        for (qint64 i = 0; i <= qrv::TLMDBStorage::kDefaultMaxSizeInBytes / kLogSize; ++i)
            store.saveLog(log, QStringLiteral("Crashes"), qrv::TLMFlagsNormal);
        const qint64 stored = store.countLogs();
        state.ResumeTiming();
        saveLogs(state, store, log);
        state.counters["stored_logs"] = double(stored);
    }
    state.SetItemsProcessed(state.iterations() * kLogs);
}
BENCHMARK(BM_TelemetrySaveIntoFullStore)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
