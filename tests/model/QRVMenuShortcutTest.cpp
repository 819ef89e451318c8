#include "model/QRVMenuShortcut.h"

#include "platform/plist/PlistCodec.h"
#include "platform/qt/ClipboardPasteboard.h"
#include "platform/testing/MemoryPasteboard.h"
#include "support/QtPrinters.h"

#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

const QString kPath = QStringLiteral(u"\u001BFile\u001BOpen Recent\u001BClear Menu");

TEST(QRVMenuShortcut, DisplayTitlesOfPlainTitlesAndPaths) {
    auto record = QRVMenuShortcut::create("com.example.App", "Save", QString("@s"));
    EXPECT_EQ(record->displayTitle(), QString("Save"));
    EXPECT_EQ(record->beautifiedTitle(), QString("Save"));

    record->setTitle(kPath);
    EXPECT_EQ(record->displayTitle(), QStringLiteral(u"File\u001BOpen Recent\u001BClear Menu"));
    EXPECT_EQ(record->beautifiedTitle(), QStringLiteral(u"File\u2192Open Recent\u2192Clear Menu"));
    record->setDisplayTitle(record->displayTitle());
    EXPECT_EQ(record->title(), kPath);

    record->setTitle(QStringLiteral(u"\u001BFile"));
    EXPECT_EQ(record->displayTitle(), QString("File"));
    record->setDisplayTitle(record->displayTitle());
    EXPECT_EQ(record->title(), QString("File")); // a one-level path comes back plain

    record->setDisplayTitle(QStringLiteral(u"\u001BView\u001BZoom")); // already a path
    EXPECT_EQ(record->title(), QStringLiteral(u"\u001BView\u001BZoom"));
    record->setDisplayTitle(QString());
    EXPECT_TRUE(record->title().isNull());
    EXPECT_TRUE(record->displayTitle().isNull());
}

TEST(QRVMenuShortcut, PlaceholderLastsWhileEverythingStaysEmpty) {
    auto record = QRVMenuShortcut::create(QString(), QString(), QString());
    record->setIsPlaceholder(true);
    record->setTitle("");
    record->setShortcut(nullptr);
    EXPECT_TRUE(record->isPlaceholder());
    record->setKeyEquivalent("@k");
    EXPECT_FALSE(record->isPlaceholder());
}

// The shortcut is computed from the key equivalent each time, never cached.
TEST(QRVMenuShortcut, ShortcutViewOfTheKeyEquivalent) {
    auto record = QRVMenuShortcut::create(QString(), "Copy", QString("@$c"));
    ASSERT_TRUE(record->shortcut());
    EXPECT_EQ(record->shortcut()->keyCode(), 8u);
    const KSCShortcut optionF(3, KSCShortcut::Option);
    record->setShortcut(&optionF);
    EXPECT_EQ(record->keyEquivalent(), QString("~f"));
    record->setShortcut(nullptr);
    EXPECT_TRUE(record->keyEquivalent().isNull());
    record->setKeyEquivalent("@\u00E6"); // a key the table does not know
    EXPECT_FALSE(record->shortcut());
    const KSCShortcut keyWithoutText(52, 0); // no key there: cannot be written
    EXPECT_TRUE(QRVMenuShortcut::create(QString(), "x", &keyWithoutText)->keyEquivalent().isNull());
}

TEST(QRVMenuShortcut, RecordsWithEqualFieldsAreStillDistinct) {
    auto a = QRVMenuShortcut::create("com.example.App", "Copy", QString("@c"));
    auto b = QRVMenuShortcut::create("com.example.App", "Copy", QString("@c"));
    QList<QRVMenuShortcutPtr> records{a, b};
    records.removeAll(a);
    EXPECT_EQ(records, QList<QRVMenuShortcutPtr>{b});
    EXPECT_EQ(a->hash(), b->hash());
}

TEST(PasteboardRoundTrip, NilFieldsAreLeftOutAndSeveralRecordsTravelTogether) {
    auto noKey = QRVMenuShortcut::create("com.example.App", kPath, QString());
    EXPECT_EQ(noKey->pasteboardPropertyList().keys(), QStringList({"bundleIdentifier", "title"}));

    ClipboardPasteboard clipboard; // the real clipboard of the offscreen platform
    auto global = QRVMenuShortcut::create(QString(), "Paste", QString("@v"));
    ASSERT_TRUE(QRVMenuShortcut::writeToPasteboard(clipboard, {noKey, global}));
    const auto pasted = QRVMenuShortcut::readFromPasteboard(clipboard);
    ASSERT_EQ(pasted.size(), 2);
    EXPECT_EQ(pasted[0]->title(), kPath);
    EXPECT_TRUE(pasted[0]->keyEquivalent().isNull());
    EXPECT_TRUE(pasted[1]->bundleIdentifier().isNull());
    EXPECT_EQ(pasted[1]->keyEquivalent(), QString("@v"));
    EXPECT_FALSE(pasted[1]->isPlaceholder());

    ASSERT_TRUE(QRVMenuShortcut::writeToPasteboard(clipboard, {global}));
    EXPECT_EQ(plist::decode(clipboard.data(QRVMenuShortcut::kPasteboardType))->typeId(),
              QMetaType::QVariantMap); // one record is one dictionary
    EXPECT_EQ(QRVMenuShortcut::readFromPasteboard(clipboard).size(), 1);
}

// Each item as Python's plistlib reads it, in JSON.
QString readWithPlistlib(const QByteArray& item) {
    QProcess python;
    python.start("python3", {"-c", "import json, plistlib, sys\n"
                                   "print(json.dumps(plistlib.loads(sys.stdin.buffer.read()), "
                                   "sort_keys=True))"});
    python.write(item);
    python.closeWriteChannel();
    python.waitForFinished(60000);
    return QString::fromUtf8(python.readAllStandardOutput() + python.readAllStandardError())
        .trimmed();
}

TEST(PasteboardRoundTrip, AnOutsideReaderTakesEveryRecordAsOneItem) {
    if (QStandardPaths::findExecutable("python3").isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    qrv::testing::MemoryPasteboard memory;
    ASSERT_TRUE(QRVMenuShortcut::writeToPasteboard(
        memory, {QRVMenuShortcut::create("com.example.App", kPath, "@~s"),
                 QRVMenuShortcut::create(QString(), "Paste", QString())}));
    const QList<QByteArray> items = memory.items(QRVMenuShortcut::kPasteboardType);
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(readWithPlistlib(items[0]),
              QString(R"({"bundleIdentifier": "com.example.App", "keyEquivalent": "@~s", )"
                      R"("title": "\u001bFile\u001bOpen Recent\u001bClear Menu"})"));
    EXPECT_EQ(readWithPlistlib(items[1]), QString(R"({"title": "Paste"})"));
}

TEST(PasteboardRoundTrip, ValuesAreTakenAsTheyAre) {
    qrv::testing::MemoryPasteboard memory;
    const QVariantList items{
        QVariantMap{
            {"title", "Copy"}, {"keyEquivalent", qint64(3)}, {"bundleIdentifier", QVariantList{}}},
        QString("not a record"),
    };
    memory.setData(QRVMenuShortcut::kPasteboardType, *plist::encode(items));
    const auto pasted = QRVMenuShortcut::readFromPasteboard(memory);
    ASSERT_EQ(pasted.size(), 1);
    EXPECT_EQ(pasted[0]->title(), QString("Copy"));
    EXPECT_EQ(pasted[0]->keyEquivalent(), QString("3"));
    EXPECT_TRUE(pasted[0]->bundleIdentifier().isEmpty());

    memory.setData(QRVMenuShortcut::kPasteboardType, "garbage");
    EXPECT_TRUE(QRVMenuShortcut::readFromPasteboard(memory).isEmpty());
    EXPECT_FALSE(QRVMenuShortcut::writeToPasteboard(memory, {})); // nothing to write
}

} // namespace
