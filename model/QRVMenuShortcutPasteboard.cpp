#include "model/ModelLogging.h"
#include "model/QRVMenuShortcut.h"
#include "platform/AppInfo.h"
#include "platform/Pasteboard.h"
#include "platform/plist/PlistCodec.h"

namespace qrv {

namespace {

const QString kBundleIdentifierKey = QStringLiteral("bundleIdentifier");
const QString kTitleKey = QStringLiteral("title");
const QString kKeyEquivalentKey = QStringLiteral("keyEquivalent");

// Another program may put anything under our type: take strings only.
QString stringField(const QVariantMap& map, const QString& key) {
    const QVariant value = map.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
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
    return create(stringField(map, kBundleIdentifierKey), stringField(map, kTitleKey),
                  stringField(map, kKeyEquivalentKey));
}

bool QRVMenuShortcut::writeToPasteboard(Pasteboard& pasteboard,
                                        const QList<QRVMenuShortcutPtr>& shortcuts) {
    if (shortcuts.isEmpty())
        return false;
    QVariantList items;
    for (const QRVMenuShortcutPtr& shortcut : shortcuts)
        items.append(shortcut->pasteboardPropertyList());
    const QVariant content = items.size() == 1 ? items.first() : QVariant(items);
    const auto encoded = plist::encode(content, plist::Format::Xml);
    if (!encoded) {
        qCWarning(lcModel, "Shortcuts could not be put on the pasteboard: %s",
                  qPrintable(encoded.error()));
        return false;
    }
    pasteboard.setData(kPasteboardType, *encoded);
    return true;
}

QList<QRVMenuShortcutPtr> QRVMenuShortcut::readFromPasteboard(const Pasteboard& pasteboard) {
    QList<QRVMenuShortcutPtr> shortcuts;
    const QByteArray data = pasteboard.data(kPasteboardType);
    if (data.isEmpty())
        return shortcuts;
    const auto decoded = plist::decode(data);
    if (!decoded)
        return shortcuts;
    const QVariantList items =
        decoded->typeId() == QMetaType::QVariantList ? decoded->toList() : QVariantList{*decoded};
    for (const QVariant& item : items)
        if (QRVMenuShortcutPtr shortcut = fromPasteboardPropertyList(item))
            shortcuts.append(shortcut);
    return shortcuts;
}

} // namespace qrv
