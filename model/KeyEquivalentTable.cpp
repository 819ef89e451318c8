#include "model/KeyEquivalentTable.h"

#include "model/KSCShortcut.h"
#include "model/KeyCodes.h"
#include "platform/KeyboardLayout.h"
#include "platform/MainThread.h"

#include <QMutex>

namespace qrv {

KeyEquivalentTable::Entries KeyEquivalentTable::fixedEntries() {
    using namespace keycodes;
    Entries entries;
    for (std::size_t i = 0; i < kFunctionKeys.size(); ++i)
        entries.insert(QString(QChar(char16_t(kFunctionKeyCharacterF1 + i))), kFunctionKeys[i]);
    const std::pair<char16_t, quint16> glyphs[] = {
        {0x232B, kDelete},
        {0x2193, kDownArrow},
        {0x21F2, kEnd},
        {0x2913, kEnd},
        {0x238B, kEscape},
        {0x2326, kForwardDelete},
        {u'?', kHelp},
        {0x21F1, kHome},
        {0x2912, kHome},
        {0x2190, kLeftArrow},
        {0x21DF, kPageDown},
        {0x21DE, kPageUp},
        {0x2305, kReturn},
        {0x2192, kRightArrow},
        {0x0014, kSpace},
        {0x21E5, kTab},
        {0x2191, kUpArrow},
        {0x21A9, kReturn},
        // The texts the writer itself uses for these keys, so that they read
        // back as the same key.
        {0x2196, kHome},
        {0x2198, kEnd},
        {0x2327, kKeypadClear},
        {0x2013, kKeypadMinus},
    };
    for (const auto& [character, keyCode] : glyphs)
        entries.insert(QString(QChar(character)), keyCode);
    return entries;
}

// A keypad key is drawn with a fixed name. Where the layout makes it type
// something else (the German keypad's decimal key types ","), letting it win
// the text would show the main-row key's shortcut under the keypad's name.
static bool typesItsOwnName(quint16 keyCode, const QString& text) {
    return !keycodes::isKeypadKey(keyCode) || KSCShortcut(keyCode, 0).keyCodeString() == text;
}

KeyEquivalentTable::Entries KeyEquivalentTable::layoutEntries(const KeyboardLayout* layout) {
    Entries entries;
    if (!layout)
        return entries;
    for (quint16 keyCode = 0; keyCode < kKeyCodeCount; ++keyCode) {
        const QString text = layout->translate(keyCode);
        if (!text.isEmpty() && typesItsOwnName(keyCode, text))
            entries.insert(text.toLower(), keyCode);
    }
    return entries;
}

KeyEquivalentTable KeyEquivalentTable::build(const KeyboardLayout* layout) {
    Entries entries = fixedEntries();
    entries.insert(layoutEntries(layout)); // the layout wins a clash
    LayoutTexts texts;
    if (layout)
        for (quint16 keyCode = 0; keyCode < kKeyCodeCount; ++keyCode)
            texts[keyCode] = layout->translate(keyCode);
    return KeyEquivalentTable(std::move(entries), std::move(texts));
}

namespace {

// Readers copy the pointer under the lock and use the table without it; a
// replaced table lives on while a reader still holds it.
QMutex g_sharedLock;
std::shared_ptr<const KeyEquivalentTable> g_shared;

std::shared_ptr<const KeyEquivalentTable> fixedOnlyTable() {
    static const auto table =
        std::make_shared<const KeyEquivalentTable>(KeyEquivalentTable::fixedEntries());
    return table;
}

} // namespace

std::shared_ptr<const KeyEquivalentTable> KeyEquivalentTable::shared() {
    QMutexLocker lock(&g_sharedLock);
    return g_shared ? g_shared : fixedOnlyTable();
}

void KeyEquivalentTable::installShared(const KeyboardLayout& layout) {
    QRV_ASSERT_MAIN_THREAD();
    auto table = std::make_shared<const KeyEquivalentTable>(build(&layout));
    QMutexLocker lock(&g_sharedLock);
    g_shared = std::move(table);
}

void KeyEquivalentTable::resetShared() {
    QMutexLocker lock(&g_sharedLock);
    g_shared.reset();
}

std::optional<quint16> KeyEquivalentTable::keyCode(const QString& text) const {
    const auto it = m_entries.constFind(text);
    if (it == m_entries.constEnd())
        return std::nullopt;
    return *it;
}

} // namespace qrv
