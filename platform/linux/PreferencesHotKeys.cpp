#include "platform/linux/PreferencesHotKeys.h"

#include "platform/Logging.h"
#include "platform/PreferenceStore.h"

#include <QCoreApplication>
#include <algorithm>

namespace qrv {

namespace {

constexpr quint32 kCarbonMask = 0x100 | 0x200 | 0x800 | 0x1000;
// The platform writes 65535 where a parameter has no value.
constexpr qint64 kNoParameter = 0xFFFF;

std::optional<qint64> integerOf(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toLongLong();
    case QMetaType::Double: // some writers store whole numbers as reals
        return qint64(value.toDouble());
    default:
        return std::nullopt;
    }
}

// "enabled" is a boolean, though integers 0 and 1 are seen in the wild.
bool isEnabled(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const auto number = integerOf(value);
    return number && *number != 0;
}

std::optional<SymbolicHotKey> hotKeyOfEntry(const QVariant& entryValue) {
    const QVariantMap entry = entryValue.toMap();
    const QVariantList parameters =
        entry.value(QStringLiteral("value")).toMap().value(QStringLiteral("parameters")).toList();
    if (parameters.size() != 3)
        return std::nullopt;
    const auto character = integerOf(parameters.at(0));
    const auto keyCode = integerOf(parameters.at(1));
    const auto modifiers = integerOf(parameters.at(2));
    if (!character || !keyCode || !modifiers || *keyCode < 0 || *keyCode >= kNoParameter ||
        *modifiers < 0)
        return std::nullopt;
    SymbolicHotKey hotKey;
    if (*character > 0 && *character < kNoParameter)
        hotKey.character = QChar(char16_t(*character));
    hotKey.keyCode = quint16(*keyCode);
    hotKey.carbonModifiers = PreferencesHotKeys::carbonModifiersOfStoredFlags(quint64(*modifiers));
    hotKey.enabled = isEnabled(entry.value(QStringLiteral("enabled")));
    return hotKey;
}

} // namespace

quint32 PreferencesHotKeys::carbonModifiersOfStoredFlags(quint64 stored) {
    quint32 carbon = quint32(stored) & kCarbonMask;
    if (stored & 0x20000)
        carbon |= 0x200; // Shift
    if (stored & 0x40000)
        carbon |= 0x1000; // Control
    if (stored & 0x80000)
        carbon |= 0x800; // Option
    if (stored & 0x100000)
        carbon |= 0x100; // Command
    return carbon;
}

Result<QList<SymbolicHotKey>> PreferencesHotKeys::copySymbolicHotKeys() const {
    const QVariant table = m_preferences.copyValue(QStringLiteral("AppleSymbolicHotKeys"),
                                                   QStringLiteral("com.apple.symbolichotkeys"));
    if (!table.isValid())
        return QList<SymbolicHotKey>{};
    if (table.typeId() != QMetaType::QVariantMap)
        return makeError(QCoreApplication::translate(
            "HotKeys", "The system-wide keyboard shortcuts are not stored as a dictionary."));
    const QVariantMap entries = table.toMap();
    // The platform orders its table by hot-key number; the keys are numbers written as text.
    QStringList numbers = entries.keys();
    std::stable_sort(numbers.begin(), numbers.end(), [](const QString& a, const QString& b) {
        return a.toLongLong() < b.toLongLong();
    });
    QList<SymbolicHotKey> hotKeys;
    for (const QString& number : numbers) {
        if (auto hotKey = hotKeyOfEntry(entries.value(number)))
            hotKeys.append(*hotKey);
        else
            qCDebug(lcPlatform, "Skipping symbolic hot key %s: no key", qPrintable(number));
    }
    return hotKeys;
}

} // namespace qrv
