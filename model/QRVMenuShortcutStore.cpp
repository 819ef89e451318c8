// The user key-equivalent store. It keeps no shortcut state: every read goes to
// the preferences and every save writes the application's whole table.
#include "model/LocalizedStandardCompare.h"
#include "model/ModelLogging.h"
#include "model/QRVAplication.h"
#include "model/QRVMenuShortcut.h"
#include "model/UsageCounters.h"
#include "platform/DistributedNotifications.h"
#include "platform/Platform.h"
#include "platform/PreferenceStore.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <functional>

namespace qrv {

const QString QRVMenuShortcut::kUserKeyEquivalentsKey = QStringLiteral("NSUserKeyEquivalents");
const QString QRVMenuShortcut::kChangeNotificationName =
    QStringLiteral("com.apple.userkeyequivalentsdidchange");
const QString QRVMenuShortcut::kRegistrationDomain = QStringLiteral("com.apple.universalaccess");
const QString QRVMenuShortcut::kRegistrationKey = QStringLiteral("com.apple.custommenu.apps");

namespace {
const QString kGlobalDomainName = QStringLiteral("NSGlobalDomain");

QString tr(const char* text) {
    return QCoreApplication::translate("QRVMenuShortcut", text);
}

// Why the application names no domain we may edit; null when it names one.
// The separator entry (no identifier, not All Applications) names none.
QString applicationProblem(const QRVAplication& application) {
    return application.isAllApplications()
               ? QString()
               : QRVMenuShortcut::bundleIdentifierProblem(application.bundleIdentifier());
}

QString applicationIdentifier(const QRVAplication& application) {
    return application.isAllApplications() ? PreferenceStore::kAnyApplication
                                           : application.bundleIdentifier();
}

QString domainName(const QRVAplication& application) {
    return application.isAllApplications() ? kGlobalDomainName : application.bundleIdentifier();
}

// A stored value that is not a dictionary counts as an empty table.
QVariantMap asTable(const QVariant& stored) {
    return stored.typeId() == QMetaType::QVariantMap ? stored.toMap() : QVariantMap();
}

QList<QRVMenuShortcutPtr> recordsFromTable(const QVariant& stored,
                                           const QRVAplication& application) {
    QList<QRVMenuShortcutPtr> shortcuts;
    const QVariantMap table = asTable(stored);
    const QString bundleIdentifier =
        application.isAllApplications() ? QString() : application.bundleIdentifier();
    for (auto it = table.constBegin(); it != table.constEnd(); ++it) {
        const bool isString = it.value().typeId() == QMetaType::QString;
        auto shortcut = QRVMenuShortcut::create(bundleIdentifier, it.key(),
                                                isString ? it.value().toString() : QString());
        if (!isString)
            shortcut->setStoredValue(it.value());
        shortcuts.append(shortcut);
    }
    sortByLocalizedStandard(shortcuts, [](const QRVMenuShortcutPtr& s) { return s->title(); });
    return shortcuts;
}

struct NewTable {
    QVariantMap entries;
    QStringList problems;
};

NewTable buildTable(const QList<QRVMenuShortcutPtr>& shortcuts, const QRVAplication& application) {
    NewTable table;
    bool untitled = false;
    for (const QRVMenuShortcutPtr& shortcut : shortcuts) {
        if (!application.isAllApplications() &&
            shortcut->bundleIdentifier() != application.bundleIdentifier())
            continue;
        if (shortcut->title().isEmpty()) {
            untitled = true;
            continue;
        }
        if (table.entries.contains(shortcut->title())) { // the first record with a title wins
            table.problems.append(
                tr("The title “%1” appears more than once; only its first shortcut was saved.")
                    .arg(shortcut->beautifiedTitle()));
            continue;
        }
        QVariant value = shortcut->keyEquivalent();
        if (shortcut->keyEquivalent().isNull())
            value = shortcut->storedValue().isValid() ? shortcut->storedValue()
                                                      : QVariant(QStringLiteral(""));
        table.entries.insert(shortcut->title(), value);
    }
    if (untitled)
        table.problems.prepend(tr("A shortcut without a title was left out."));
    return table;
}

// Titles removed (with their old values) and titles added or changed (with
// their new values); `edits` counts the latter.
QVariantMap changeSet(const QVariantMap& oldTable, const QVariantMap& newTable, qint64* edits) {
    QVariantMap changes;
    for (auto it = oldTable.constBegin(); it != oldTable.constEnd(); ++it)
        if (!newTable.contains(it.key()))
            changes.insert(it.key(), it.value());
    for (auto it = newTable.constBegin(); it != newTable.constEnd(); ++it) {
        const auto old = oldTable.constFind(it.key());
        if (old == oldTable.constEnd() || *old != it.value()) {
            changes.insert(it.key(), it.value());
            ++*edits;
        }
    }
    return changes;
}

// Brings a sandbox copy in line with the table, judged by what is on disk, so
// that a copy an earlier save failed to write is written by the next one.
Result<void> updateCopy(PreferenceStore& store, const QString& copyIdentifier,
                        const QVariantMap& entries, bool* wrote) {
    bool writing = false;
    auto written =
        store.updateValue(QRVMenuShortcut::kUserKeyEquivalentsKey, copyIdentifier,
                          [&](const QVariant& current) -> std::optional<QVariant> {
                              writing = asTable(current) != entries;
                              return writing ? std::optional<QVariant>(entries) : std::nullopt;
                          });
    *wrote = *wrote || (written && writing);
    return written;
}

// The platform's list of applications with custom menu shortcuts: the domain
// is in it exactly while its table has entries.
Result<void> updateRegistration(PreferenceStore& store, const QString& domain, bool hasEntries,
                                bool* wrote) {
    bool writing = false;
    auto written =
        store.updateValue(QRVMenuShortcut::kRegistrationKey, QRVMenuShortcut::kRegistrationDomain,
                          [&](const QVariant& current) -> std::optional<QVariant> {
                              QVariantList list = current.typeId() == QMetaType::QVariantList
                                                      ? current.toList()
                                                      : QVariantList();
                              const QVariant entry(domain);
                              if (hasEntries && !list.contains(entry))
                                  list.append(entry);
                              else if (!hasEntries && list.contains(entry))
                                  list.removeAll(entry);
                              else
                                  return std::nullopt;
                              writing = true;
                              return list;
                          });
    *wrote = *wrote || (written && writing);
    return written;
}

} // namespace

QString QRVMenuShortcut::bundleIdentifierProblem(const QString& bundleIdentifier) {
    // Other names of the global domain: editing through them would change the
    // table of all applications and register it as if it were one application.
    for (const char* global :
         {".GlobalPreferences", "NSGlobalDomain", "kCFPreferencesAnyApplication"})
        if (bundleIdentifier.compare(QLatin1String(global), Qt::CaseInsensitive) == 0)
            return tr("“%1” names the table of all applications, not an application; choose All "
                      "Applications to edit it.")
                .arg(bundleIdentifier);
    // A slash would name a file outside the preference folders; control
    // characters and empty components name no application either.
    const bool malformed =
        bundleIdentifier.contains(QLatin1Char('/')) || bundleIdentifier == QLatin1String("-") ||
        bundleIdentifier.split(QLatin1Char('.')).contains(QString()) ||
        std::any_of(bundleIdentifier.cbegin(), bundleIdentifier.cend(),
                    [](QChar c) { return c.category() == QChar::Other_Control; });
    if (malformed)
        return tr("“%1” is not a bundle identifier.").arg(bundleIdentifier);
    return QString();
}

QVariant QRVMenuShortcut::userKeyEquivalentsForApplication(const QRVAplication& application) {
    PreferenceStore* store = platform().preferences;
    return store && applicationProblem(application).isNull()
               ? store->copyValue(kUserKeyEquivalentsKey, applicationIdentifier(application))
               : QVariant();
}

Result<QList<QRVMenuShortcutPtr>>
QRVMenuShortcut::readMenuShortcuts(const QRVAplication& application, QVariant* tableAsRead) {
    if (tableAsRead)
        *tableAsRead = QVariant();
    PreferenceStore* store = platform().preferences;
    if (!store)
        return makeError(tr("There is no preference store to read from."));
    if (const QString problem = applicationProblem(application); !problem.isNull())
        return makeError(problem);
    auto stored = store->readValue(kUserKeyEquivalentsKey, applicationIdentifier(application));
    if (!stored)
        return makeError(stored.error());
    if (tableAsRead)
        *tableAsRead = *stored;
    return recordsFromTable(*stored, application);
}

QList<QRVMenuShortcutPtr>
QRVMenuShortcut::menuShortcutsWithApplication(const QRVAplication& application,
                                              QVariant* tableAsRead) {
    auto shortcuts = readMenuShortcuts(application, tableAsRead);
    if (!shortcuts)
        qCWarning(lcModel, "%s", qPrintable(shortcuts.error()));
    return shortcuts.valueOr({});
}

bool QRVMenuShortcut::saveMenuShortcuts(const QList<QRVMenuShortcutPtr>& shortcuts,
                                        const QRVAplication& application, QString* problem,
                                        QString* writeError) {
    return updateMenuShortcuts(
        application, [&](QList<QRVMenuShortcutPtr>& records) { records = shortcuts; }, problem,
        writeError);
}

bool QRVMenuShortcut::updateMenuShortcuts(
    const QRVAplication& application, const std::function<void(QList<QRVMenuShortcutPtr>&)>& edit,
    QString* problem, QString* writeError) {
    auto refuse = [&](const QString& reason) {
        if (problem)
            *problem = reason;
        if (writeError)
            *writeError = reason;
        return false;
    };
    PreferenceStore* store = platform().preferences;
    if (!store)
        return refuse(tr("There is no preference store to save to."));
    if (const QString refused = applicationProblem(application); !refused.isNull())
        return refuse(refused);
    NewTable table;
    QVariantMap changes;
    qint64 edits = 0;
    QStringList writeErrors;
    auto answer = [&](bool result) {
        if (problem)
            *problem = table.problems.join(QLatin1Char('\n'));
        if (writeError)
            *writeError = writeErrors.join(QLatin1Char('\n'));
        return result;
    };
    auto note = [&](const Result<void>& written) {
        if (written)
            return true;
        qCWarning(lcModel, "%s", qPrintable(written.error()));
        table.problems.append(written.error());
        writeErrors.append(written.error());
        return false;
    };
    // The table is read, edited and written under its lock, so that a save of
    // another process between the read and the write cannot be lost.
    const QString domain = domainName(application);
    const auto tableWritten = store->updateValue(
        kUserKeyEquivalentsKey, applicationIdentifier(application),
        [&](const QVariant& current) -> std::optional<QVariant> {
            QList<QRVMenuShortcutPtr> records = recordsFromTable(current, application);
            edit(records);
            table = buildTable(records, application);
            edits = 0;
            changes = changeSet(asTable(current), table.entries, &edits);
            return changes.isEmpty() ? std::nullopt : std::optional<QVariant>(table.entries);
        });
    // Nothing is announced or counted for a table that did not reach the disk.
    if (!note(tableWritten))
        return answer(false);

    // The copies and the registration are compared with what is on disk, not
    // with this save's changes: an earlier save may have been cut short.
    bool repaired = false;
    if (!application.isAllApplications()) {
        const auto folders = store->copyApplicationMap().value(application.bundleIdentifier());
        for (const QUrl& folder : folders)
            if (folder.isLocalFile())
                note(updateCopy(*store,
                                QDir::cleanPath(folder.toLocalFile()) + QLatin1Char('/') +
                                    application.bundleIdentifier(),
                                table.entries, &repaired));
    }
    note(updateRegistration(*store, domain, !table.entries.isEmpty(), &repaired));
    // After a repair alone the interrupted save's changes are unknown: every
    // title may have changed.
    if (!changes.isEmpty() || repaired)
        if (DistributedNotifications* notifications = platform().notifications)
            notifications->post(kChangeNotificationName,
                                {{domain, changes.isEmpty() ? table.entries : changes}});
    const bool saved = table.problems.isEmpty();
    if (saved)
        usage::countEdits(edits);
    return answer(saved);
}

} // namespace qrv
