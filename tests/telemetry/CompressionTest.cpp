#include "HttpTestSupport.h"
#include "support/QtPrinters.h"
#include "telemetry/TLMCompression.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

QByteArray logJson(int count) {
    QByteArray json = "{\"logs\":[";
    for (int i = 0; i < count; ++i)
        json += QByteArray(i ? "," : "") + R"({"type":"managedError","id":")" +
                QByteArray::number(i) +
                R"(","timestamp":"2025-01-01T12:00:00Z","process":"Quorvane"})";
    return json + "]}";
}

TEST(TLMCompression, GzipsSoThatInflatingGivesTheDataBack) {
    const QByteArray json = logJson(200);
    const auto compressed = TLMCompression::compressData(json);
    ASSERT_TRUE(compressed);
    EXPECT_TRUE(compressed->startsWith("\x1f\x8b")); // gzip wrapper, not zlib's
    EXPECT_LT(compressed->size(), json.size() / 4);
    EXPECT_EQ(qrv::testing::gunzip(*compressed), json);

    // Data that does not shrink still comes out whole.
    QByteArray noise(256 * 1024, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    EXPECT_EQ(qrv::testing::gunzip(TLMCompression::compressData(noise).value()), noise);
}

TEST(TLMCompression, EmptyDataGivesNothing) {
    EXPECT_FALSE(TLMCompression::compressData({}));
    EXPECT_FALSE(TLMCompression::compressData(QByteArray("")));
}

} // namespace
