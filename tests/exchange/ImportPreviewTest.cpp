#include "exchange/ImportPreview.h"

#include "exchange/ExchangeWriter.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qrv;
using Kind = ImportPreview::Row::Kind;

namespace {

const QString kMail = QStringLiteral("com.example.Mail");
const QChar kEsc = QRVMenuShortcut::kPathSeparator;

QJsonObject exportOf(const QList<QRVMenuShortcutPtr>& records, const QString& bundleIdentifier) {
    return exchange::exportDocument(records, bundleIdentifier, "Source", {})->toJson();
}

TEST(ImportPreview, ShowsEveryKindOfRowAndRebindsToTheTarget) {
    const QString path = QString(kEsc) + "File" + kEsc + "Save";
    // Exported from another application: the rows go to Mail all the same.
    const QJsonObject file = exportOf({QRVMenuShortcut::create("com.other.App", "New", "@n"),
                                       QRVMenuShortcut::create("com.other.App", path, "@$s"),
                                       QRVMenuShortcut::create("com.other.App", "Print", "@p"),
                                       QRVMenuShortcut::create("com.other.App", "Send", "@r"),
                                       QRVMenuShortcut::create("com.other.App", "Print", "@x")},
                                      "com.other.App");
    const QList<QRVMenuShortcutPtr> existing{QRVMenuShortcut::create(kMail, path, "@s"),
                                             QRVMenuShortcut::create(kMail, "Print", "@p"),
                                             QRVMenuShortcut::create(kMail, "Reply", "@r")};
    const auto preview = ImportPreview::make(file, kMail, existing);
    ASSERT_TRUE(preview) << preview.error().toStdString();
    EXPECT_EQ(preview->sourceBundleIdentifier(), QString("com.other.App"));
    EXPECT_EQ(preview->skippedEntries(), 1); // the second "Print"
    const auto& rows = preview->rows();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].kind, Kind::Added);
    EXPECT_EQ(rows[1].kind, Kind::Changed);
    EXPECT_EQ(rows[1].title, path);
    EXPECT_EQ(rows[1].existingKeyEquivalent, std::optional<QString>("@s"));
    EXPECT_EQ(rows[1].keyEquivalent, QString("@$s"));
    EXPECT_EQ(rows[2].kind, Kind::Unchanged);
    EXPECT_EQ(rows[3].kind, Kind::Conflict);
    EXPECT_EQ(rows[3].conflictingTitles, QStringList{"Reply"});

    const auto applied = preview->apply(existing, QList<qsizetype>{0, 1});
    ASSERT_EQ(applied.size(), 4);
    EXPECT_EQ(applied[0], existing[0]); // the same record, with the new key
    EXPECT_EQ(applied[0]->keyEquivalent(), QString("@$s"));
    EXPECT_EQ(applied[3]->title(), QString("New"));
    EXPECT_EQ(applied[3]->bundleIdentifier(), kMail);
}

TEST(ImportPreview, AKeyThatTheImportTakesAwayIsNoConflict) {
    const QJsonObject file = exportOf({QRVMenuShortcut::create(kMail, "Send", "@r"),
                                       QRVMenuShortcut::create(kMail, "Reply", "@$r")},
                                      kMail);
    const auto preview =
        ImportPreview::make(file, kMail, {QRVMenuShortcut::create(kMail, "Reply", "@r")});
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->rows()[0].kind, Kind::Added);
    EXPECT_EQ(preview->rows()[1].kind, Kind::Changed);
}

TEST(ImportPreview, RefusesWhatIsNotAnExportOfVersion1) {
    const auto record = QRVMenuShortcut::create(kMail, "Save", "@s");
    QJsonObject file = exchange::requestDocument(*record, "Mail", {}).toJson();
    EXPECT_TRUE(ImportPreview::make(file, kMail, {}).error().contains("request"));
    file = exportOf({record}, kMail);
    file["version"] = 2;
    EXPECT_TRUE(ImportPreview::make(file, kMail, {}).error().contains("newer version"));
    file["version"] = 1;
    QJsonArray many;
    for (int i = 0; i <= exchange::kMaxShortcuts; ++i)
        many.append(QJsonObject{{"title", QString::number(i)}});
    file["applications"] = QJsonArray{QJsonObject{{"shortcuts", many}}};
    EXPECT_FALSE(ImportPreview::make(file, kMail, {}));
    many.removeLast();
    file["applications"] = QJsonArray{QJsonObject{{"shortcuts", many}}};
    const auto tenThousand = ImportPreview::make(file, kMail, {});
    ASSERT_TRUE(tenThousand);
    EXPECT_EQ(tenThousand->apply({}).size(), exchange::kMaxShortcuts);
}

} // namespace
