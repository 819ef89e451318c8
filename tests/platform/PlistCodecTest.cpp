#include "platform/plist/PlistCodec.h"

#include "FileHelpers.h"
#include "support/QtPrinters.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSize>
#include <QTimeZone>
#include <gtest/gtest.h>

using namespace qrv;
using qrv::testing::readFile;

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

TEST(PlistCodec, RejectsWhatIsNotAPropertyListEitherWay) {
    EXPECT_FALSE(plist::decode(QByteArray()).ok());
    EXPECT_FALSE(plist::decode(QByteArray("hello, world")).ok());
    EXPECT_FALSE(plist::decode(QByteArray("bplist00\x01\x02", 10)).ok());
    EXPECT_FALSE(
        plist::decode(QByteArray("<?xml version=\"1.0\"?><plist><dict><key>a</key>")).ok());

    EXPECT_FALSE(plist::encode(QVariant::fromValue(QSize(1, 2))).ok());
    EXPECT_FALSE(plist::isPlistValue(
        QVariantMap{{QStringLiteral("bad"), QVariant::fromValue(QSize(1, 2))}}));
    EXPECT_TRUE(plist::isPlistValue(everyType()));
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

const QString kData = QStringLiteral(":/data");

// A file written by Python's plistlib with what other writers round or wrap.
TEST(PlistCodec, KeepsEveryAwkwardValueExactly) {
    const QByteArray original = readFile(kData + "/awkward-values.plist");
    ASSERT_FALSE(original.isEmpty());
    const auto decoded = plist::decode(original);
    ASSERT_TRUE(decoded.ok()) << decoded.error().toStdString();
    const QVariantMap map = decoded->toMap();
    const auto utc = [](int y, int mo, int d, int h, int mi) {
        return QVariant(QDateTime(QDate(y, mo, d), QTime(h, mi), QTimeZone::utc()));
    };
    EXPECT_EQ(map.value("year 1"), utc(1, 1, 1, 0, 0));
    EXPECT_EQ(map.value("year 4001"), utc(4001, 1, 1, 12, 0));
    EXPECT_EQ(map.value("before 1932"), utc(1900, 6, 1, 8, 30));
    EXPECT_EQ(map.value("after 2069"), utc(2100, 1, 1, 0, 0));
    EXPECT_EQ(map.value("microseconds").toDateTime(),
              QDateTime(QDate(2024, 2, 29), QTime(13, 14, 15, 123), QTimeZone::utc()));
    EXPECT_EQ(map.value("largest unsigned"), QVariant(~quint64(0)));
    EXPECT_EQ(map.value("above signed"), QVariant(quint64(1) << 63));
    EXPECT_EQ(map.value("smallest signed"), QVariant(std::numeric_limits<qint64>::min()));
    EXPECT_EQ(map.value("nul"), QVariant(QString::fromUtf8("x\0y", 3)));
    EXPECT_EQ(map.value(QString::fromUtf8("k\0ey", 4)), QVariant("value under a key with U+0000"));

    for (auto format : {plist::Format::Binary, plist::Format::Xml}) {
        const auto again = plist::decode(plist::encode(*decoded, format).value());
        ASSERT_TRUE(again.ok()) << again.error().toStdString();
        if (format == plist::Format::Binary) // XML dates have whole seconds
            EXPECT_EQ(*again, *decoded);
        else
            EXPECT_EQ(again->toMap().value("nul"), map.value("nul"));
    }
}

// Inputs that once crashed or hung a reader, kept as files, plus the shapes
// that exhaust a recursive reader's stack or memory.
TEST(PlistCodec, HostileInputsAreErrorsOrValuesNeverCrashes) {
    const QDir hostile(kData + "/hostile");
    const QStringList files = hostile.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files)
        (void)plist::decode(readFile(hostile.filePath(name))); // must return

    const auto nul = plist::decode(readFile(hostile.filePath("nul-in-string.xml")));
    ASSERT_TRUE(nul.ok()) << nul.error().toStdString();
    EXPECT_EQ(nul->toMap().value("a"), QVariant(QString::fromUtf8("x\0y", 3)));
    EXPECT_FALSE(plist::decode(readFile(hostile.filePath("truncated.bplist"))).ok());

    const int levels = 50000;
    const auto deepXml = plist::decode("<plist>" + QByteArray("<array>").repeated(levels) +
                                       QByteArray("</array>").repeated(levels) + "</plist>");
    ASSERT_FALSE(deepXml.ok());
    EXPECT_TRUE(deepXml.error().contains("levels deep")) << deepXml.error().toStdString();

    // Binary: object n is an array holding object n + 1.
    QByteArray deepBinary("bplist00");
    QByteArray offsets;
    for (int i = 0; i < levels; ++i) {
        offsets +=
            QByteArray::fromHex(QByteArray::number(deepBinary.size(), 16).rightJustified(8, '0'));
        deepBinary += QByteArray::fromHex("a1") +
                      QByteArray::fromHex(
                          QByteArray::number(qMin(i + 1, levels - 1), 16).rightJustified(4, '0'));
    }
    const qint64 table = deepBinary.size();
    deepBinary += offsets;
    deepBinary += QByteArray(6, '\0') + QByteArray::fromHex("0402") +
                  QByteArray::fromHex(QByteArray::number(levels, 16).rightJustified(16, '0')) +
                  QByteArray(8, '\0') +
                  QByteArray::fromHex(QByteArray::number(table, 16).rightJustified(16, '0'));
    const auto deep = plist::decode(deepBinary);
    ASSERT_FALSE(deep.ok());
    EXPECT_TRUE(deep.error().contains("levels deep")) << deep.error().toStdString();

    // Shared arrays: each of 40 levels holds the next one twice, 2^40 values
    // from a few hundred bytes.
    QByteArray shared("bplist00");
    QByteArray sharedOffsets;
    for (int i = 0; i < 41; ++i) {
        sharedOffsets += char(shared.size());
        shared += i < 40 ? QByteArray::fromHex("a2") + char(i + 1) + char(i + 1)
                         : QByteArray::fromHex("09");
    }
    const char sharedTable = char(shared.size());
    shared += sharedOffsets + QByteArray(6, '\0') + QByteArray::fromHex("0101") +
              QByteArray::fromHex("0000000000000029") + QByteArray(8, '\0') + QByteArray(7, '\0') +
              sharedTable;
    EXPECT_FALSE(plist::decode(shared).ok());
}

} // namespace
