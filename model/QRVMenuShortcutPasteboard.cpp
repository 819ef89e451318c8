#include "model/ModelLogging.h"
#include "model/QRVMenuShortcut.h"
#include "platform/AppInfo.h"
#include "platform/Pasteboard.h"
#include "platform/Platform.h"
#include "platform/plist/PlistCodec.h"

namespace qrv {

namespace {

const QString kBundleIdentifierKey = QStringLiteral("bundleIdentifier");
const QString kTitleKey = QStringLiteral("title");
const QString kKeyEquivalentKey = QStringLiteral("keyEquivalent");

// Values are taken as they are: a field of another type reads as its text, if
// it has one. An absent field stays null.
QString field(const QVariantMap& map, const QString& key) {
    return map.value(key).toString();
}

} // namespace

const QString QRVMenuShortcut::kPasteboardType =
    QString::fromLatin1(appinfo::kBundleIdentifier) + QStringLiteral(".MenuShortcut.PLIST");

QVariantMap QRVMenuShortcut::pasteboardPropertyList() const {
    QVariantMap map;
    if (!m_bundleIdentifier.isNull())
        map.insert(kBundleIdentifierKey, m_bundleIdentifier);
    if (!m_title.isNull())
        map.insert(kTitleKey, m_title);
    if (!m_keyEquivalent.isNull())
        map.insert(kKeyEquivalentKey, m_keyEquivalent);
    return map;
}

QRVMenuShortcutPtr QRVMenuShortcut::fromPasteboardPropertyList(const QVariant& propertyList) {
    if (propertyList.typeId() != QMetaType::QVariantMap)
        return nullptr;
    const QVariantMap map = propertyList.toMap();
    return create(field(map, kBundleIdentifierKey), field(map, kTitleKey),
                  field(map, kKeyEquivalentKey));
}

bool QRVMenuShortcut::writeToPasteboard(const QList<QRVMenuShortcutPtr>& shortcuts) {
    Pasteboard* pasteboard = platform().pasteboard;
    if (!pasteboard || shortcuts.isEmpty())
        return false;
    // One binary property list per record: every standard reader takes it,
    // whatever control characters (ESC begins every menu path) the strings hold.
    QList<QByteArray> items;
    for (const QRVMenuShortcutPtr& shortcut : shortcuts) {
        const auto encoded = plist::encode(shortcut->pasteboardPropertyList());
        if (!encoded) {
            qCWarning(lcModel, "Shortcuts could not be put on the pasteboard: %s",
                      qPrintable(encoded.error()));
            return false;
        }
        items.append(*encoded);
    }
    pasteboard->setItems(kPasteboardType, items);
    return true;
}

QList<QRVMenuShortcutPtr> QRVMenuShortcut::readFromPasteboard() {
    QList<QRVMenuShortcutPtr> shortcuts;
    Pasteboard* pasteboard = platform().pasteboard;
    if (!pasteboard)
        return shortcuts;
    for (const QByteArray& item : pasteboard->items(kPasteboardType)) {
        const auto decoded = plist::decode(item);
        if (!decoded)
            continue;
        // Earlier versions put several records on the pasteboard as one array.
        const QVariantList records = decoded->typeId() == QMetaType::QVariantList
                                         ? decoded->toList()
                                         : QVariantList{*decoded};
        for (const QVariant& record : records)
            if (QRVMenuShortcutPtr shortcut = fromPasteboardPropertyList(record))
                shortcuts.append(shortcut);
    }
    return shortcuts;
}

} // namespace qrv
