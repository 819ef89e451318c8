#include "exchange/ExchangeFormat.h"

#include "model/QRVMenuShortcut.h"

#include <QCoreApplication>
#include <QJsonDocument>

namespace qrv::exchange {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ExchangeFile", text);
}

void insertIfPresent(QJsonObject& object, QLatin1StringView name,
                     const std::optional<QString>& value) {
    if (value)
        object.insert(name, *value);
}

// The deepest nesting of objects and arrays, counted without parsing, so a
// file of a million brackets never reaches the parser's recursion.
bool nestsDeeperThan(const QByteArray& text, int limit) {
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > limit)
                return true;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return false;
}

} // namespace

TitlePieces splitStoredTitle(const QString& storedTitle) {
    // Only a path is taken apart: a title with an ESC further in is no path
    // and goes as it is, so that it comes back unchanged.
    if (!storedTitle.startsWith(QRVMenuShortcut::kPathSeparator))
        return {std::nullopt, storedTitle};
    QStringList pieces = storedTitle.mid(1).split(QRVMenuShortcut::kPathSeparator);
    QString title = pieces.takeLast();
    return {std::move(pieces), std::move(title)};
}

QString storedTitle(const std::optional<QStringList>& parents, const QString& title) {
    if (!parents)
        return title;
    QStringList pieces = *parents;
    if (!pieces.isEmpty() && pieces.first().isEmpty())
        pieces.removeFirst();
    pieces.append(title);
    return QRVMenuShortcut::kPathSeparator + pieces.join(QRVMenuShortcut::kPathSeparator);
}

ExchangeShortcut ExchangeShortcut::fromRecord(const QRVMenuShortcut& record) {
    TitlePieces pieces = splitStoredTitle(record.title());
    ExchangeShortcut shortcut{std::move(pieces.parents), std::move(pieces.title), std::nullopt,
                              QString()};
    if (!record.keyEquivalent().isNull())
        shortcut.keyEquivalent = record.keyEquivalent();
    if (const KSCShortcutPtr key = record.shortcut())
        shortcut.shortcut = key->modifierFlagsString() + key->keyCodeString();
    return shortcut;
}

QJsonObject ExchangeShortcut::toJson() const {
    QJsonObject object{{key::title, title}, {key::shortcut, shortcut}};
    if (parents)
        object.insert(key::parents, QJsonArray::fromStringList(*parents));
    insertIfPresent(object, key::keyEquivalent, keyEquivalent);
    return object;
}

QJsonObject ExchangeApplication::toJson() const {
    QJsonArray objects;
    for (const ExchangeShortcut& shortcut : shortcuts)
        objects.append(shortcut.toJson());
    QJsonObject object{{key::bundleIdentifier, bundleIdentifier}, {key::shortcuts, objects}};
    insertIfPresent(object, key::localizedName, localizedName);
    return object;
}

QJsonObject ExchangeDocument::toJson() const {
    QJsonArray apps;
    for (const ExchangeApplication& application : applications)
        apps.append(application.toJson());
    QJsonObject object{
        {key::kind, kind},
        {key::version, kVersion},
        {key::dateCreated, dateCreated.toUTC().toString(Qt::ISODate)},
        {key::creator, creator},
        {key::applications, apps},
        {key::inputSource, environment.inputSource},
        {key::inputSourceName, environment.inputSourceName},
        {key::locale, environment.locale},
    };
    insertIfPresent(object, key::author, author);
    insertIfPresent(object, key::title, title);
    insertIfPresent(object, key::description, description);
    return object;
}

QByteArray ExchangeDocument::serialize() const {
    return QJsonDocument(toJson()).toJson(QJsonDocument::Indented);
}

Result<QJsonObject> parseExchangeJson(const QByteArray& text) {
    if (text.size() > kMaxFileSize)
        return makeError(tr("The file is larger than %1 KiB.").arg(kMaxFileSize / 1024));
    if (nestsDeeperThan(text, kMaxDepth))
        return makeError(tr("The file is nested deeper than %1 levels.").arg(kMaxDepth));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        return makeError(tr("The file is not valid JSON (%1 at byte %2).")
                             .arg(error.errorString())
                             .arg(error.offset));
    if (!document.isObject())
        return makeError(tr("The file holds no JSON object."));
    return document.object();
}

std::optional<QString> stringMember(const QJsonObject& object, QLatin1StringView name) {
    const QJsonValue value = object.value(name);
    return value.isString() ? std::optional(value.toString()) : std::nullopt;
}

std::optional<QJsonArray> arrayMember(const QJsonObject& object, QLatin1StringView name) {
    const QJsonValue value = object.value(name);
    return value.isArray() ? std::optional(value.toArray()) : std::nullopt;
}

std::optional<QStringList> stringListMember(const QJsonObject& object, QLatin1StringView name) {
    const auto array = arrayMember(object, name);
    if (!array)
        return std::nullopt;
    QStringList strings;
    strings.reserve(array->size());
    for (const QJsonValue& element : *array) {
        if (!element.isString())
            return std::nullopt;
        strings.append(element.toString());
    }
    return strings;
}

std::optional<QJsonObject> firstObjectOf(const QJsonObject& object, QLatin1StringView name) {
    const auto array = arrayMember(object, name);
    if (!array || array->isEmpty() || !array->first().isObject())
        return std::nullopt;
    return array->first().toObject();
}

bool isKindOfVersion1(const QJsonObject& object, QLatin1StringView kind) {
    const QJsonValue version = object.value(key::version);
    return stringMember(object, key::kind) == kind && version.isDouble() &&
           version.toDouble() == kVersion;
}

} // namespace qrv::exchange
