// Reading, changing and writing back a 1,000-entry key-equivalent table.
#include "platform/linux/PlistFilePreferenceStore.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QVariantMap table(int size) {
    QVariantMap map;
    for (int i = 0; i < size; ++i)
        map.insert(QStringLiteral("\x1b"
                                  "Menu %1\x1b"
                                  "Item %2")
                       .arg(i / 20)
                       .arg(i),
                   QStringLiteral("@~%1").arg(QChar(u'a' + i % 26)));
    return map;
}

void BM_PreferenceTableReadModifyWrite(benchmark::State& state) {
    QTemporaryDir home;
    qrv::PlistFilePreferenceStore store(home.path());
    const QString domain = QStringLiteral("com.example.Bench");
    const QString key = QStringLiteral("NSUserKeyEquivalents");
    if (!store.setValue(key, table(int(state.range(0))), domain)) {
        state.SkipWithError("setup failed");
        return;
    }
    int round = 0;
    for (auto _ : state) {
        // A fresh store each time, as another process would be: no warm cache.
        qrv::PlistFilePreferenceStore reader(home.path());
        QVariantMap values = reader.copyValue(key, domain).toMap();
        values.insert(QStringLiteral("Item %1").arg(round++), QStringLiteral("@$k"));
        values.remove(QStringLiteral("Item %1").arg(round - 1));
        if (!reader.setValue(key, values, domain))
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_PreferenceTableReadModifyWrite)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
