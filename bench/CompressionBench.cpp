// Gzipping an upload body: 1 MiB of crash-report logs as the service receives them.
#include "telemetry/TLMCompression.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray typicalLogJson(qsizetype size) {
    QByteArray json = R"({"logs":[)";
    for (int i = 0; json.size() < size; ++i) {
        QByteArray frames;
        for (int f = 0; f < 24; ++f)
            frames +=
                QByteArray(f ? "," : "") + R"({"address":"0x)" +
                QByteArray::number(0x7ff81c2a0000ull + quint64(i) * 977 + quint64(f) * 0x1f4, 16) +
                R"(","symbol":"qrv::QRVShortcutsViewController::)" +
                (f % 3 ? "tableView" : "saveMenuShortcuts") + R"(","offset":)" +
                QByteArray::number((i * 31 + f * 7) % 4096) + "}";
        json +=
            QByteArray(i ? "," : "") + R"({"type":"appleError","id":"6d3f0a1c-)" +
            QByteArray::number(100000 + i) + R"(","timestamp":"2025-01-01T12:00:)" +
            QByteArray::number(i % 60).rightJustified(2, '0') + R"(Z","processId":)" +
            QByteArray::number(4000 + i % 97) +
            R"(,"processName":"Quorvane","exceptionType":"EXC_BAD_ACCESS","exceptionCode":"SIGSEGV",)"
            R"("device":{"osName":"macOS","osVersion":"14.4.1","model":"MacBookPro18,3",)"
            R"("locale":"en_GB","appVersion":"0.1.0","appBuild":"20250101"},)"
            R"("threads":[{"id":0,"frames":[)" +
            frames + "]}]}";
    }
    return json + "]}";
}

void BM_GzipOneMebibyteOfLogs(benchmark::State& state) {
    const QByteArray json = typicalLogJson(1 << 20);
    qsizetype compressedSize = 0;
    for (auto _ : state) {
        auto compressed = qrv::TLMCompression::compressData(json);
        if (!compressed) {
            state.SkipWithError("compression failed");
            return;
        }
        compressedSize = compressed->size();
        benchmark::DoNotOptimize(compressed);
    }
    state.SetBytesProcessed(state.iterations() * json.size());
    state.counters["ratio"] = double(json.size()) / double(compressedSize);
}
BENCHMARK(BM_GzipOneMebibyteOfLogs)->Unit(benchmark::kMillisecond);

} // namespace
