#pragma once

#include "platform/Result.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace qrv {

class QRVMenuShortcut;

// Exchange files: one JSON object per file, of the kind "export" (some or all
// shortcuts of one application, to share) or "request" (one menu item that
// somebody wants a shortcut for). Readers take members by name only, so
// layout, key order and slash escaping never matter, and a member of the
// wrong JSON type reads as absent.
namespace exchange {

inline constexpr int kVersion = 1;
// The file-name extension, compared without regard to case.
inline constexpr QLatin1StringView kExtension("menuShortcuts");
// The shared-MIME-info type of packaging/com.brackwyn.Quorvane.mime.xml.
inline constexpr QLatin1StringView kMimeType("application/x-quorvane-menushortcuts");
inline constexpr QLatin1StringView kKindExport("export");
inline constexpr QLatin1StringView kKindRequest("request");

// Hostile files stay harmless: nothing larger, deeper or longer is read.
inline constexpr qint64 kMaxFileSize = 1024 * 1024;
inline constexpr int kMaxDepth = 32;
inline constexpr int kMaxShortcuts = 10000;

namespace key {
inline constexpr QLatin1StringView kind("kind");
inline constexpr QLatin1StringView version("version");
inline constexpr QLatin1StringView dateCreated("dateCreated");
inline constexpr QLatin1StringView creator("creator");
inline constexpr QLatin1StringView applications("applications");
inline constexpr QLatin1StringView inputSource("inputSource");
inline constexpr QLatin1StringView inputSourceName("inputSourceName");
inline constexpr QLatin1StringView locale("locale");
inline constexpr QLatin1StringView author("author");
inline constexpr QLatin1StringView title("title");
inline constexpr QLatin1StringView description("description");
inline constexpr QLatin1StringView bundleIdentifier("bundleIdentifier");
inline constexpr QLatin1StringView localizedName("localizedName");
inline constexpr QLatin1StringView shortcuts("shortcuts");
inline constexpr QLatin1StringView parents("parents");
inline constexpr QLatin1StringView keyEquivalent("keyEquivalent");
inline constexpr QLatin1StringView shortcut("shortcut");
} // namespace key

// A stored title taken apart: a menu path (ESC, then the titles from the
// top-level menu down, joined with ESC) has "parents", the menus above the
// item, outermost first; any other title has none.
struct TitlePieces {
    std::optional<QStringList> parents;
    QString title;
};
TitlePieces splitStoredTitle(const QString& storedTitle);
// The stored title again. A leading empty parent, as writers that keep the
// path's empty first piece put it, is skipped, so both forms lead to the item.
QString storedTitle(const std::optional<QStringList>& parents, const QString& title);

struct ExchangeShortcut {
    std::optional<QStringList> parents;
    QString title;
    std::optional<QString> keyEquivalent;
    QString shortcut; // the key as people read it, e.g. ⌥⌘S; empty without a key

    static ExchangeShortcut fromRecord(const QRVMenuShortcut& record);
    QJsonObject toJson() const;
};

struct ExchangeApplication {
    QString bundleIdentifier; // empty for all applications
    std::optional<QString> localizedName;
    QList<ExchangeShortcut> shortcuts;

    QJsonObject toJson() const;
};

// What the writer's machine was set to when the file was written.
struct ExchangeEnvironment {
    QString inputSource;
    QString inputSourceName;
    QString locale;
};

struct ExchangeDocument {
    QString kind;
    QDateTime dateCreated;
    QString creator;
    QList<ExchangeApplication> applications;
    ExchangeEnvironment environment;
    std::optional<QString> author;
    std::optional<QString> title;
    std::optional<QString> description;

    QJsonObject toJson() const;
    // Indented UTF-8 JSON, as files are written.
    QByteArray serialize() const;
};

// Reading. The text is refused before it is parsed when it is larger than
// kMaxFileSize or nested deeper than kMaxDepth.
Result<QJsonObject> parseExchangeJson(const QByteArray& text);

// Members by type; anything of another type is absent.
std::optional<QString> stringMember(const QJsonObject& object, QLatin1StringView name);
std::optional<QJsonArray> arrayMember(const QJsonObject& object, QLatin1StringView name);
// An array whose elements are all strings; anything else is absent.
std::optional<QStringList> stringListMember(const QJsonObject& object, QLatin1StringView name);
// The first element of an array member when it is an object.
std::optional<QJsonObject> firstObjectOf(const QJsonObject& object, QLatin1StringView name);
// "kind" is the given string and "version" the number 1.
bool isKindOfVersion1(const QJsonObject& object, QLatin1StringView kind);

} // namespace exchange
} // namespace qrv
