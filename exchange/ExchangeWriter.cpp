#include "exchange/ExchangeWriter.h"

#include "platform/AppInfo.h"
#include "platform/KeyboardLayout.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSaveFile>

namespace qrv::exchange {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ExchangeFile", text);
}

const QString kAuthorDefault = QStringLiteral("author");

ExchangeDocument header(QLatin1StringView kind, const WritingContext& context) {
    ExchangeDocument document;
    document.kind = kind;
    document.dateCreated = context.now;
    document.creator = context.creator;
    document.environment = context.environment;
    return document;
}

std::optional<QString> presentUnlessEmpty(const QString& text) {
    return text.isEmpty() ? std::nullopt : std::optional(text);
}

} // namespace

ExchangeEnvironment currentEnvironment(const KeyboardLayout& layout) {
    return {layout.inputSourceId(), layout.localizedName(), QLocale::system().name()};
}

WritingContext currentWritingContext(const QDateTime& now, const KeyboardLayout& layout) {
    return {now, QString::fromLatin1(appinfo::kBundleIdentifier), currentEnvironment(layout)};
}

std::optional<ExchangeDocument> exportDocument(const QList<QRVMenuShortcutPtr>& records,
                                               const QString& bundleIdentifier,
                                               const QString& localizedName,
                                               const WritingContext& context) {
    ExchangeApplication application{bundleIdentifier, presentUnlessEmpty(localizedName), {}};
    for (const QRVMenuShortcutPtr& record : records) {
        // Null and empty both stand for all applications (and compare equal).
        if (record->bundleIdentifier() != bundleIdentifier)
            continue;
        // An empty but present key is still written: it says "no key" on purpose.
        if (record->title().isEmpty() && record->keyEquivalent().isNull())
            continue;
        application.shortcuts.append(ExchangeShortcut::fromRecord(*record));
    }
    if (application.shortcuts.isEmpty())
        return std::nullopt;
    ExchangeDocument document = header(kKindExport, context);
    document.applications.append(std::move(application));
    return document;
}

ExchangeDocument requestDocument(const QRVMenuShortcut& record, const QString& localizedName,
                                 const WritingContext& context) {
    ExchangeDocument document = header(kKindRequest, context);
    document.applications.append({record.bundleIdentifier(),
                                  presentUnlessEmpty(localizedName),
                                  {ExchangeShortcut::fromRecord(record)}});
    return document;
}

ExportPanelFields exportPanelFields(const UserDefaults& defaults, const QString& localizedName) {
    return {defaults.stringForKey(kAuthorDefault), localizedName, QString()};
}

void confirmExportPanel(ExchangeDocument& document, const ExportPanelFields& fields,
                        UserDefaults& defaults) {
    document.author = presentUnlessEmpty(fields.author);
    document.title = presentUnlessEmpty(fields.label);
    document.description = presentUnlessEmpty(fields.longLabel);
    if (fields.author.isEmpty())
        defaults.removeObject(kAuthorDefault);
    else
        defaults.setObject(kAuthorDefault, fields.author);
}

QString requestFileName(const QString& localizedName) {
    return tr("%1 - Request").arg(localizedName);
}

Result<void> writeExchangeFile(const QString& path, const ExchangeDocument& document) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return makeError(
            tr("The file “%1” could not be written: %2").arg(path, file.errorString()));
    const QByteArray bytes = document.serialize();
    if (file.write(bytes) != bytes.size() || !file.commit())
        return makeError(
            tr("The file “%1” could not be written: %2").arg(path, file.errorString()));
    return success();
}

} // namespace qrv::exchange
