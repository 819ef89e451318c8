#include "platform/plist/PlistCodec.h"

#include "support/QtPrinters.h"

#include <QDateTime>
#include <QSize>
#include <QTimeZone>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

QVariantMap everyType() {
    return {
        {QStringLiteral("string"), QStringLiteral("⌘ Ünïcode \x1b"
                                                  "File")},
        {QStringLiteral("empty"), QString()},
        {QStringLiteral("integer"), qint64(42)},
        {QStringLiteral("negative"), qint64(-7)},
        {QStringLiteral("large"), qint64(1) << 40},
        {QStringLiteral("real"), 2.5},
        {QStringLiteral("true"), true},
        {QStringLiteral("false"), false},
        {QStringLiteral("date"),
         QDateTime(QDate(2024, 2, 29), QTime(13, 14, 15, 250), QTimeZone::utc())},
        {QStringLiteral("old date"),
         QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59), QTimeZone::utc())},
        {QStringLiteral("data"), QByteArray("\x00\x01\xff", 3)},
        {QStringLiteral("uid"), QVariant::fromValue(PlistUid{7})},
        {QStringLiteral("array"), QVariantList{qint64(1), QStringLiteral("two"), QVariantList{}}},
        {QStringLiteral("dict"), QVariantMap{{QStringLiteral("nested"), QVariantMap{}}}},
    };
}

class PlistRoundTrip : public ::testing::TestWithParam<plist::Format> {};

TEST_P(PlistRoundTrip, EveryTypeKeepsItsTypeAndValue) {
    QVariantMap original = everyType();
    if (GetParam() == plist::Format::Xml) {
        // The XML form has whole-second dates and spells a uid as a dictionary,
        // on the platform as here; we only ever write binary.
        original.remove(QStringLiteral("uid"));
        original.insert(QStringLiteral("date"),
                        QDateTime(QDate(2024, 2, 29), QTime(13, 14, 15), QTimeZone::utc()));
    }
    auto bytes = plist::encode(original, GetParam());
    ASSERT_TRUE(bytes.ok()) << bytes.error().toStdString();
    auto decoded = plist::decode(*bytes);
    ASSERT_TRUE(decoded.ok()) << decoded.error().toStdString();
    const QVariantMap map = decoded->toMap();
    ASSERT_EQ(map.keys(), original.keys());
    for (auto it = original.cbegin(); it != original.cend(); ++it) {
        const QVariant& got = map.value(it.key());
        // Integers all come back as 64-bit, the only integer type of a property list.
        const bool integer = it.value().metaType().id() == QMetaType::LongLong;
        EXPECT_EQ(got.metaType(), integer ? QMetaType::fromType<qint64>() : it.value().metaType())
            << it.key().toStdString();
        EXPECT_EQ(got, it.value()) << it.key().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PlistRoundTrip,
                         ::testing::Values(plist::Format::Binary, plist::Format::Xml),
                         [](const auto& parameter) {
                             return parameter.param == plist::Format::Binary ? "Binary" : "Xml";
                         });

TEST(PlistCodec, RejectsWhatIsNotAPropertyList) {
    EXPECT_FALSE(plist::decode(QByteArray()).ok());
    EXPECT_FALSE(plist::decode(QByteArray("hello, world")).ok());
    EXPECT_FALSE(plist::decode(QByteArray("bplist00\x01\x02", 10)).ok());
    EXPECT_FALSE(
        plist::decode(QByteArray("<?xml version=\"1.0\"?><plist><dict><key>a</key>")).ok());
}

TEST(PlistCodec, ReadsXmlWrittenByThePlatform) {
    const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict>
  <key>NSUserKeyEquivalents</key><dict><key>Save As…</key><string>@$s</string></dict>
  <key>count</key><integer>3</integer>
</dict></plist>)";
    auto decoded = plist::decode(xml);
    ASSERT_TRUE(decoded.ok());
    const QVariantMap map = decoded->toMap();
    EXPECT_EQ(map.value("NSUserKeyEquivalents").toMap().value(QStringLiteral("Save As…")),
              QStringLiteral("@$s"));
    EXPECT_EQ(map.value("count"), QVariant(qint64(3)));
}

TEST(PlistCodec, RefusesValuesWithoutAPropertyListForm) {
    EXPECT_FALSE(plist::encode(QVariant::fromValue(QSize(1, 2))).ok());
    EXPECT_FALSE(plist::isPlistValue(
        QVariantMap{{QStringLiteral("bad"), QVariant::fromValue(QSize(1, 2))}}));
    EXPECT_TRUE(plist::isPlistValue(everyType()));
}

} // namespace
