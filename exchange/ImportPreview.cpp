#include "exchange/ImportPreview.h"

#include "exchange/ExchangeFormat.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

namespace qrv {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ImportPreview", text);
}

Result<QJsonObject> exportedApplication(const QJsonObject& file) {
    using namespace exchange;
    const auto kind = stringMember(file, key::kind);
    if (kind == kKindRequest)
        return makeError(tr("This is a request for one shortcut, not an export of shortcuts."));
    if (kind != kKindExport)
        return makeError(tr("This is not an export of shortcuts (its kind is not “export”)."));
    if (!isKindOfVersion1(file, kKindExport))
        return makeError(tr("The file has another format version than 1; it may have been "
                            "created by a newer version of this application."));
    const auto application = firstObjectOf(file, key::applications);
    if (!application)
        return makeError(tr("The file names no application."));
    const auto shortcuts = arrayMember(*application, key::shortcuts);
    if (!shortcuts)
        return makeError(tr("The file holds no list of shortcuts."));
    if (shortcuts->size() > kMaxShortcuts)
        return makeError(tr("The file holds %1 shortcuts; at most %2 are imported.")
                             .arg(shortcuts->size())
                             .arg(kMaxShortcuts));
    return *application;
}

} // namespace

Result<ImportPreview> ImportPreview::make(const QJsonObject& file, const QString& bundleIdentifier,
                                          const QList<QRVMenuShortcutPtr>& existing) {
    using namespace exchange;
    auto application = exportedApplication(file);
    if (!application)
        return Error{application.error()};
    ImportPreview preview;
    preview.m_bundleIdentifier = bundleIdentifier;
    preview.m_sourceBundleIdentifier =
        stringMember(*application, key::bundleIdentifier).value_or(QString());
    preview.m_sourceName = stringMember(*application, key::localizedName).value_or(QString());

    // The first record of a title is the one the store writes.
    QHash<QString, QString> keyOfTitle;
    for (const QRVMenuShortcutPtr& record : existing)
        if (!record->isPlaceholder() && !record->title().isEmpty() &&
            !keyOfTitle.contains(record->title()))
            keyOfTitle.insert(record->title(), record->keyEquivalent());

    QSet<QString> seen;
    const QJsonArray shortcuts = arrayMember(*application, key::shortcuts).value();
    for (const QJsonValue& element : shortcuts) {
        const QJsonObject object = element.toObject();
        const auto title = stringMember(object, key::title);
        const QString stored =
            title ? storedTitle(stringListMember(object, key::parents), *title) : QString();
        if (stored.isEmpty() || seen.contains(stored)) {
            ++preview.m_skipped;
            continue;
        }
        seen.insert(stored);
        Row row;
        row.title = stored;
        row.keyEquivalent = stringMember(object, key::keyEquivalent).value_or(QString());
        const auto existingKey = keyOfTitle.constFind(stored);
        if (existingKey == keyOfTitle.cend()) {
            row.kind = Row::Kind::Added;
        } else {
            row.existingKeyEquivalent =
                existingKey->isNull() ? QString(QLatin1String("")) : *existingKey;
            row.kind = *row.existingKeyEquivalent == row.keyEquivalent ? Row::Kind::Unchanged
                                                                       : Row::Kind::Changed;
        }
        preview.m_rows.append(std::move(row));
    }

    // A key the import gives that another title keeps afterwards is a conflict.
    QHash<QString, QString> keyAfterImport = keyOfTitle;
    for (const Row& row : std::as_const(preview.m_rows))
        keyAfterImport.insert(row.title, row.keyEquivalent);
    QHash<QString, QStringList> titlesOfKey;
    for (auto it = keyOfTitle.cbegin(); it != keyOfTitle.cend(); ++it)
        if (!it->isEmpty() && keyAfterImport.value(it.key()) == *it)
            titlesOfKey[*it].append(it.key());
    for (Row& row : preview.m_rows) {
        if (row.kind == Row::Kind::Unchanged || row.keyEquivalent.isEmpty())
            continue;
        QStringList others = titlesOfKey.value(row.keyEquivalent);
        others.removeAll(row.title);
        if (others.isEmpty())
            continue;
        std::sort(others.begin(), others.end());
        row.conflictingTitles = others;
        row.kind = Row::Kind::Conflict;
    }
    return preview;
}

QList<QRVMenuShortcutPtr>
ImportPreview::apply(const QList<QRVMenuShortcutPtr>& existing,
                     const std::optional<QList<qsizetype>>& rowIndexes) const {
    QList<QRVMenuShortcutPtr> shortcuts;
    QHash<QString, QRVMenuShortcutPtr> recordOfTitle;
    for (const QRVMenuShortcutPtr& record : existing) {
        if (record->isPlaceholder())
            continue;
        shortcuts.append(record);
        if (!recordOfTitle.contains(record->title()))
            recordOfTitle.insert(record->title(), record);
    }
    const auto applyRow = [&](const Row& row) {
        if (row.kind == Row::Kind::Unchanged)
            return;
        if (const QRVMenuShortcutPtr record = recordOfTitle.value(row.title)) {
            record->setKeyEquivalent(row.keyEquivalent);
            return;
        }
        const QRVMenuShortcutPtr added =
            QRVMenuShortcut::create(m_bundleIdentifier, row.title, row.keyEquivalent);
        recordOfTitle.insert(row.title, added);
        shortcuts.append(added);
    };
    if (!rowIndexes) {
        for (const Row& row : m_rows)
            applyRow(row);
    } else {
        for (const qsizetype index : *rowIndexes)
            if (index >= 0 && index < m_rows.size())
                applyRow(m_rows.at(index));
    }
    return shortcuts;
}

} // namespace qrv
