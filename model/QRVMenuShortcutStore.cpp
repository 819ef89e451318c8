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

namespace qrv {

const QString QRVMenuShortcut::kUserKeyEquivalentsKey = QStringLiteral("NSUserKeyEquivalents");
const QString QRVMenuShortcut::kChangeNotificationName =
    QStringLiteral("com.apple.userkeyequivalentsdidchange");
const QString QRVMenuShortcut::kRegistrationDomain = QStringLiteral("com.apple.universalaccess");
const QString QRVMenuShortcut::kRegistrationKey = QStringLiteral("com.apple.custommenu.apps");

namespace {
const QString kGlobalDomainName = QStringLiteral("NSGlobalDomain");

// A bundle identifier never holds a slash. One that does (from a hand-edited
// registration list, a request file or the command line) would name a file
// outside the preference folders, so it names no domain at all; nor does an
// entry without identifier other than All Applications (the separator).
bool namesADomain(const QRVAplication& application) {
    if (application.isAllApplications())
        return true;
    const QString& identifier = application.bundleIdentifier();
    return !identifier.isEmpty() && !identifier.contains(QLatin1Char('/'));
}

QString applicationIdentifier(const QRVAplication& application) {
    return application.isAllApplications() ? PreferenceStore::kAnyApplication
                                           : application.bundleIdentifier();
}

QString domainName(const QRVAplication& application) {
    return application.isAllApplications() ? kGlobalDomainName : application.bundleIdentifier();
}

QString tr(const char* text) {
    return QCoreApplication::translate("QRVMenuShortcut", text);
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

// The platform's list of applications with custom menu shortcuts: the domain
// is in it exactly while its table has entries.
Result<void> updateRegistration(PreferenceStore& store, const QString& domain, bool hasEntries) {
    const QString& kRegistrationKey = QRVMenuShortcut::kRegistrationKey;
    const QString& kRegistrationDomain = QRVMenuShortcut::kRegistrationDomain;
    const QVariant stored = store.copyValue(kRegistrationKey, kRegistrationDomain);
    QVariantList list =
        stored.typeId() == QMetaType::QVariantList ? stored.toList() : QVariantList();
    const QVariant entry(domain);
    if (hasEntries && !list.contains(entry))
        list.append(entry);
    else if (!hasEntries && list.contains(entry))
        list.removeAll(entry);
    else
        return success();
    return store.setValue(kRegistrationKey, list, kRegistrationDomain);
}

} // namespace

QVariant QRVMenuShortcut::userKeyEquivalentsForApplication(const QRVAplication& application) {
    PreferenceStore* store = platform().preferences;
    return store && namesADomain(application)
               ? store->copyValue(kUserKeyEquivalentsKey, applicationIdentifier(application))
               : QVariant();
}

QList<QRVMenuShortcutPtr>
QRVMenuShortcut::menuShortcutsWithApplication(const QRVAplication& application,
                                              QVariant* tableAsRead) {
    const QVariant stored = userKeyEquivalentsForApplication(application);
    if (tableAsRead)
        *tableAsRead = stored;
    QList<QRVMenuShortcutPtr> shortcuts;
    if (stored.typeId() != QMetaType::QVariantMap)
        return shortcuts;
    const QVariantMap table = stored.toMap();
    const QString bundleIdentifier =
        application.isAllApplications() ? QString() : application.bundleIdentifier();
    for (auto it = table.constBegin(); it != table.constEnd(); ++it) {
        const bool isString = it.value().typeId() == QMetaType::QString;
        auto shortcut =
            create(bundleIdentifier, it.key(), isString ? it.value().toString() : QString());
        if (!isString)
            shortcut->setStoredValue(it.value());
        shortcuts.append(shortcut);
    }
    sortByLocalizedStandard(shortcuts, [](const QRVMenuShortcutPtr& s) { return s->title(); });
    return shortcuts;
}

bool QRVMenuShortcut::saveMenuShortcuts(const QList<QRVMenuShortcutPtr>& shortcuts,
                                        const QRVAplication& application, QString* problem) {
    PreferenceStore* store = platform().preferences;
    if (!store) {
        if (problem)
            *problem = tr("There is no preference store to save to.");
        return false;
    }
    if (!namesADomain(application)) {
        if (problem)
            *problem = tr("“%1” is not a bundle identifier.").arg(application.bundleIdentifier());
        return false;
    }
    const QString identifier = applicationIdentifier(application);
    const QVariant stored = store->copyValue(kUserKeyEquivalentsKey, identifier);
    const QVariantMap oldTable =
        stored.typeId() == QMetaType::QVariantMap ? stored.toMap() : QVariantMap();
    NewTable table = buildTable(shortcuts, application);
    qint64 edits = 0;
    const QVariantMap changes = changeSet(oldTable, table.entries, &edits);
    const bool titlesSound = table.problems.isEmpty();
    auto answer = [&](bool result) {
        if (problem)
            *problem = table.problems.join(QLatin1Char('\n'));
        return result;
    };
    if (changes.isEmpty())
        return answer(titlesSound);

    auto note = [&](const Result<void>& written) {
        if (written)
            return true;
        qCWarning(lcModel, "%s", qPrintable(written.error()));
        table.problems.append(written.error());
        return false;
    };
    // The copies in the preference folders of a sandboxed application.
    if (!application.isAllApplications()) {
        const auto folders = store->copyApplicationMap().value(application.bundleIdentifier());
        for (const QUrl& folder : folders)
            if (folder.isLocalFile())
                note(store->setValue(kUserKeyEquivalentsKey, table.entries,
                                     QDir::cleanPath(folder.toLocalFile()) + QLatin1Char('/') +
                                         application.bundleIdentifier()));
    }
    // Nothing is announced or counted for a table that did not reach the disk.
    if (!note(store->setValue(kUserKeyEquivalentsKey, table.entries, identifier)))
        return answer(false);
    note(updateRegistration(*store, domainName(application), !table.entries.isEmpty()));
    if (DistributedNotifications* notifications = platform().notifications)
        notifications->post(kChangeNotificationName, {{domainName(application), changes}});
    if (titlesSound)
        usage::countEdits(edits);
    return answer(table.problems.isEmpty());
}

} // namespace qrv
