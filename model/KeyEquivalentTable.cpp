#include "model/KeyEquivalentTable.h"

#include "model/KSCShortcut.h"
#include "model/KeyCodes.h"
#include "platform/KeyboardLayout.h"
#include "platform/Platform.h"
#include "platform/Scheduler.h"

#include <QMutex>
#include <atomic>

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
    for (quint16 keyCode = 0; keyCode < KeyboardLayout::kKeyCodeCount; ++keyCode) {
        const QString text = layout->translate(keyCode);
        if (!text.isEmpty() && typesItsOwnName(keyCode, text))
            entries.insert(text.toLower(), keyCode);
    }
    return entries;
}

KeyEquivalentTable KeyEquivalentTable::withLayoutHalf(const Entries& layoutHalf) {
    Entries entries = fixedEntries();
    entries.insert(layoutHalf); // the layout wins a clash
    return KeyEquivalentTable(std::move(entries));
}

KeyEquivalentTable KeyEquivalentTable::build(const KeyboardLayout* layout) {
    return withLayoutHalf(layoutEntries(layout));
}

const KeyEquivalentTable& KeyEquivalentTable::shared() {
    static std::atomic<const KeyEquivalentTable*> published{nullptr};
    if (const KeyEquivalentTable* table = published.load(std::memory_order_acquire))
        return *table;

    // The layout services belong to the main thread. The layout half is
    // computed there without holding any lock, so a main thread that asks
    // at the same moment cannot deadlock with a waiting background thread.
    Entries layoutHalf;
    auto computeLayoutHalf = [&layoutHalf] {
        layoutHalf = layoutEntries(platform().keyboardLayout);
    };
    if (Scheduler* scheduler = platform().scheduler; scheduler && !scheduler->isMainThread())
        scheduler->syncMain(computeLayoutHalf);
    else
        computeLayoutHalf();

    static QMutex publishing;
    QMutexLocker lock(&publishing);
    if (!published.load(std::memory_order_relaxed)) // kept for the life of the process
        published.store(new KeyEquivalentTable(withLayoutHalf(layoutHalf)),
                        std::memory_order_release);
    return *published.load(std::memory_order_acquire);
}

std::optional<quint16> KeyEquivalentTable::keyCode(const QString& text) const {
    const auto it = m_entries.constFind(text);
    if (it == m_entries.constEnd())
        return std::nullopt;
    return *it;
}

} // namespace qrv
