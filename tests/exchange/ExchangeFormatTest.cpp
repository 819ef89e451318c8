#include "exchange/EditRequest.h"
#include "exchange/ExchangeFileReader.h"
#include "exchange/ExchangeWriter.h"
#include "exchange/ImportPreview.h"
#include "platform/UserDefaults.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace qrv;
using namespace qrv::exchange;
using Kind = ImportPreview::Row::Kind;

namespace {

const QString kApp = QStringLiteral("com.example.Mail");
const QChar kEsc = QRVMenuShortcut::kPathSeparator;

WritingContext context() {
    return {QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7, 890), QTimeZone::utc()),
            QStringLiteral("com.brackwyn.Quorvane"),
            {QStringLiteral("org.freedesktop.xkb.de"), QStringLiteral("German"),
             QStringLiteral("de_DE")}};
}

TEST(ExchangeWriter, ExportWritesEveryMemberAndSplitsPathTitles) {
    const QString path = QString(kEsc) + "File" + kEsc + "Save";
    auto document =
        exportDocument({QRVMenuShortcut::create(kApp, path, QStringLiteral(u"@~\uF704")),
                        QRVMenuShortcut::create("com.other.App", "Other", "@o"),
                        QRVMenuShortcut::create(kApp, "Plain", QString()),
                        QRVMenuShortcut::create(kApp, "", QString()),
                        QRVMenuShortcut::create(kApp, "", QLatin1String(""))},
                       kApp, "Mail", context());
    ASSERT_TRUE(document);
    document->author = "Ann";
    // Read back from the bytes as written: indented, slashes however escaped.
    const QByteArray bytes = document->serialize();
    EXPECT_TRUE(bytes.contains("\n    \"kind\": \"export\""));
    const QJsonObject file = QJsonDocument::fromJson(bytes).object();
    EXPECT_EQ(file["version"].toInt(), 1);
    EXPECT_EQ(file["dateCreated"].toString(), QString("2026-03-04T05:06:07Z"));
    EXPECT_EQ(file["creator"].toString(), QString("com.brackwyn.Quorvane"));
    EXPECT_EQ(file["inputSource"].toString(), QString("org.freedesktop.xkb.de"));
    EXPECT_EQ(file["inputSourceName"].toString(), QString("German"));
    EXPECT_EQ(file["locale"].toString(), QString("de_DE"));
    EXPECT_EQ(file["author"].toString(), QString("Ann"));
    EXPECT_FALSE(file.contains("title")); // never written as null
    EXPECT_FALSE(file.contains("description"));
    const QJsonObject app = file["applications"][0].toObject();
    EXPECT_EQ(app["bundleIdentifier"].toString(), kApp);
    EXPECT_EQ(app["localizedName"].toString(), QString("Mail"));
    const QJsonArray shortcuts = app["shortcuts"].toArray();
    ASSERT_EQ(shortcuts.size(), 3); // the other application's and the empty row are left out
    // The path's empty first piece is left out, so readers lead back to File.
    EXPECT_EQ(shortcuts[0]["parents"].toArray(), QJsonArray{"File"});
    EXPECT_EQ(shortcuts[0]["title"].toString(), QString("Save"));
    EXPECT_EQ(shortcuts[0]["keyEquivalent"].toString(), QStringLiteral(u"@~\uF704"));
    EXPECT_EQ(shortcuts[0]["shortcut"].toString(), QStringLiteral(u"\u2325\u2318F1"));
    EXPECT_FALSE(shortcuts[1].toObject().contains("parents"));
    EXPECT_FALSE(shortcuts[1].toObject().contains("keyEquivalent"));
    EXPECT_EQ(shortcuts[1]["shortcut"].toString(), QString(""));
    EXPECT_EQ(shortcuts[2]["title"].toString(), QString(""));
    EXPECT_EQ(shortcuts[2]["keyEquivalent"].toString(), QString(""));
}

TEST(ExchangeWriter, NothingToExportAndAllApplications) {
    for (const auto& record : {QRVMenuShortcut::create(kApp, "", QString()),
                               QRVMenuShortcut::create("com.other.App", "Save", "@s")})
        EXPECT_FALSE(exportDocument({record}, kApp, "Mail", context()));
    const auto all = exportDocument({QRVMenuShortcut::create(QString(), "Save", "@s")}, QString(),
                                    "All Applications", context());
    ASSERT_TRUE(all);
    const QJsonValue identifier = all->toJson()["applications"][0]["bundleIdentifier"];
    EXPECT_EQ(identifier, QJsonValue(""));
    EXPECT_EQ(requestFileName("Mail"), QString("Mail - Request"));
}

TEST(ExchangeWriter, RequestLeadsBackToTheSameTitle) {
    for (const QString& title : {QString(kEsc) + "File" + kEsc + "Open Recent" + kEsc + "Clear",
                                 QString("Save As…"), QString("a") + kEsc + "b"}) {
        const auto record = QRVMenuShortcut::create(kApp, title, "@s");
        const QJsonObject file = requestDocument(*record, "Mail", context()).toJson();
        EXPECT_FALSE(file.contains("author"));
        const EditRequest request = EditRequest::fromUserInfo(file);
        EXPECT_TRUE(request.isRequestOfVersion1);
        EXPECT_EQ(request.bundleIdentifier, kApp);
        EXPECT_EQ(request.localizedName, std::optional<QString>("Mail"));
        EXPECT_EQ(request.pathTitle(), title);
    }
}

TEST(ExchangeReader, IgnoresLayoutOrderAndEscapingAndTreatsWrongTypesAsAbsent) {
    const auto parsed = parseExchangeJson(
        R"({"applications":[{"shortcuts":[{"title":"Save","parents":["","File\/Disk"]}],)"
        R"("bundleIdentifier":"com.example.Mail"}],"version":1.0,"kind":"request"})");
    ASSERT_TRUE(parsed);
    const EditRequest request = EditRequest::fromUserInfo(*parsed);
    EXPECT_TRUE(request.isRequestOfVersion1);
    // A writer that kept the empty first piece leads to the same item.
    EXPECT_EQ(request.pathTitle(), QString(kEsc) + "File/Disk" + kEsc + "Save");

    const auto wrong = parseExchangeJson(
        R"({"kind":"request","version":"1","applications":[{"bundleIdentifier":7,)"
        R"("localizedName":[],"shortcuts":[{"title":true,"parents":["File",3]}]}]})");
    const EditRequest odd = EditRequest::fromUserInfo(*wrong);
    EXPECT_FALSE(odd.isRequestOfVersion1);
    EXPECT_EQ(odd.bundleIdentifier, QString());
    EXPECT_FALSE(odd.localizedName);
    EXPECT_FALSE(odd.title);
    EXPECT_TRUE(odd.parents.isEmpty());
    EXPECT_FALSE(EditRequest::fromUserInfo(
                     *parseExchangeJson(R"({"kind":"request","version":1,"applications":{}})"))
                     .title);
}

TEST(ExchangeReader, RefusesHostileText) {
    EXPECT_FALSE(parseExchangeJson("[1]"));
    EXPECT_FALSE(parseExchangeJson("{\"kind\": "));
    const auto nested = [](int depth) {
        return "{\"a\":" + QByteArray(depth - 1, '[') + QByteArray(depth - 1, ']') + "}";
    };
    EXPECT_TRUE(parseExchangeJson(nested(32)));
    EXPECT_FALSE(parseExchangeJson(nested(33)));
    EXPECT_FALSE(parseExchangeJson(nested(100000)));
    // Brackets inside strings are text, not nesting.
    EXPECT_TRUE(parseExchangeJson("{\"a\":\"" + QByteArray(100, '[') + "\\\"\"}"));
    QByteArray large = "{\"a\":\"" + QByteArray(kMaxFileSize, 'x') + "\"}";
    EXPECT_FALSE(parseExchangeJson(large));
}

TEST(ExchangeFiles, WrittenAtomicallyAndReadOnlyFromRegularFilesWithinTheLimit) {
    QTemporaryDir dir;
    const auto document =
        requestDocument(*QRVMenuShortcut::create(kApp, "Save", "@s"), "Mail", context());
    const QString good = dir.filePath("Mail - Request.menuShortcuts");
    ASSERT_TRUE(writeExchangeFile(good, document));
    EXPECT_EQ(readExchangeFile(good, Links::Refuse).value(), document.toJson());
    const auto failed = writeExchangeFile(dir.filePath("missing/x.menuShortcuts"), document);
    ASSERT_FALSE(failed);
    EXPECT_TRUE(failed.error().contains("missing/x.menuShortcuts"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Mail - Request.menuShortcuts"});

    const QString link = dir.filePath("link.menuShortcuts");
    ASSERT_TRUE(QFile::link(good, link));
    EXPECT_TRUE(readExchangeFile(link, Links::Follow));
    EXPECT_FALSE(readExchangeFile(link, Links::Refuse));
    const QString fifo = dir.filePath("fifo.menuShortcuts");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(readExchangeFile(fifo, Links::Follow)); // refused, not waited on
    EXPECT_FALSE(readExchangeFile(dir.path(), Links::Follow));
    QFile big(dir.filePath("big.menuShortcuts"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(kMaxFileSize + 1));
    big.close();
    const auto refused = readExchangeFile(big.fileName(), Links::Follow);
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.error().contains("1024 KiB"));
}

TEST(ExportPanel, RemembersTheConfirmedAuthorAndLeavesOutEmptyFields) {
    QTemporaryDir home;
    PlistFilePreferenceStore store(home.path());
    UserDefaults defaults(store, "com.brackwyn.Quorvane");
    ExportPanelFields fields = exportPanelFields(defaults, "Mail");
    EXPECT_EQ(fields.author, QString());
    EXPECT_EQ(fields.label, QString("Mail"));
    fields.author = "Ann";
    ExchangeDocument document;
    confirmExportPanel(document, fields, defaults);
    EXPECT_EQ(document.author, std::optional<QString>("Ann"));
    EXPECT_EQ(document.title, std::optional<QString>("Mail"));
    EXPECT_FALSE(document.toJson().contains("description"));
    EXPECT_EQ(exportPanelFields(defaults, "Notes").author, QString("Ann"));
    confirmExportPanel(document, {}, defaults);
    EXPECT_FALSE(document.author);
    EXPECT_TRUE(defaults.objectForKey("author").isNull());
}

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
    const QList<QRVMenuShortcutPtr> existing{QRVMenuShortcut::create(kApp, path, "@s"),
                                             QRVMenuShortcut::create(kApp, "Print", "@p"),
                                             QRVMenuShortcut::create(kApp, "Reply", "@r")};
    const auto preview = ImportPreview::make(file, kApp, existing);
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
    EXPECT_EQ(applied[3]->bundleIdentifier(), kApp);
}

TEST(ImportPreview, AKeyThatTheImportTakesAwayIsNoConflict) {
    const QJsonObject file = exportOf({QRVMenuShortcut::create(kApp, "Send", "@r"),
                                       QRVMenuShortcut::create(kApp, "Reply", "@$r")},
                                      kApp);
    const auto preview =
        ImportPreview::make(file, kApp, {QRVMenuShortcut::create(kApp, "Reply", "@r")});
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->rows()[0].kind, Kind::Added);
    EXPECT_EQ(preview->rows()[1].kind, Kind::Changed);
}

TEST(ImportPreview, RefusesWhatIsNotAnExportOfVersion1) {
    const auto record = QRVMenuShortcut::create(kApp, "Save", "@s");
    QJsonObject file = exchange::requestDocument(*record, "Mail", {}).toJson();
    EXPECT_TRUE(ImportPreview::make(file, kApp, {}).error().contains("request"));
    file = exportOf({record}, kApp);
    file["version"] = 2;
    EXPECT_TRUE(ImportPreview::make(file, kApp, {}).error().contains("newer version"));
    file["version"] = 1;
    QJsonArray many;
    for (int i = 0; i <= exchange::kMaxShortcuts; ++i)
        many.append(QJsonObject{{"title", QString::number(i)}});
    file["applications"] = QJsonArray{QJsonObject{{"shortcuts", many}}};
    EXPECT_FALSE(ImportPreview::make(file, kApp, {}));
    many.removeLast();
    file["applications"] = QJsonArray{QJsonObject{{"shortcuts", many}}};
    const auto tenThousand = ImportPreview::make(file, kApp, {});
    ASSERT_TRUE(tenThousand);
    EXPECT_EQ(tenThousand->apply({}).size(), exchange::kMaxShortcuts);
}

} // namespace
