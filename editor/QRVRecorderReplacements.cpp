#include "editor/QRVRecorderReplacements.h"

#include "editor/KSCShortcutConflicts.h"
#include "editor/KSCShortcutView.h"
#include "editor/QRVShortcutView.h"

namespace qrv {

namespace {

inline constexpr BWSelector<void(KSCShortcutView&, bool)> qrv_setRecording{"qrv_setRecording:"};
inline constexpr BWSelector<bool(const KSCShortcut&, const KSCConflictSources&, QString*)>
    qrv_isTakenError{"qrv_isTakenError:"};
inline constexpr BWSelector<bool(const KSCShortcut&, const QString&, quint64, const QWidget*,
                                 QString*)>
    qrv_isKeyEquivalentTakenInMenu{"qrv_isKeyEquivalent:flags:takenInMenu:error:"};

QPointer<KSCShortcutView>& currentRecorder() {
    static QPointer<KSCShortcutView> recorder;
    return recorder;
}

// After the exchange, the qrv_ names reach the recorder's own implementations.
void replacementSetRecording(KSCShortcutView& view, bool recording) {
    BWClass::forMetaObject(*view.metaObject()).send(qrv_setRecording, view, recording);
    view.shortcutCell().setHighlighted(view.isRecording());
    if (view.isRecording())
        currentRecorder() = &view;
    else if (currentRecorder() == &view)
        currentRecorder() = nullptr;
}

const QRVShortcutView* currentQRVRecorder() {
    return qobject_cast<const QRVShortcutView*>(currentRecorder().data());
}

bool replacementIsTakenError(const KSCShortcut& shortcut, const KSCConflictSources& sources,
                             QString* error) {
    if (const auto* recorder = currentQRVRecorder();
        recorder && !recorder->shouldCheckForConflicts())
        return false;
    return kscShortcutClass().send(qrv_isTakenError, shortcut, sources, error);
}

bool replacementIsKeyEquivalentTakenInMenu(const KSCShortcut& shortcut, const QString& candidate,
                                           quint64 flags, const QWidget* menu, QString* error) {
    if (const auto* recorder = currentQRVRecorder();
        recorder && !recorder->shouldCheckMenuForConflicts())
        return false;
    return kscShortcutClass().send(qrv_isKeyEquivalentTakenInMenu, shortcut, candidate, flags, menu,
                                   error);
}

template <typename Sig>
void exchangeOrLog(BWClass& c, BWSelector<Sig> original, BWSelector<Sig> replacement) {
    QString error;
    if (!c.bw_swizzleMethod(original, replacement, &error))
        bw_logFailedSwizzle(original.name, error);
}

} // namespace

void installShortcutViewReplacements(BWClass& shortcutViewClass) {
    shortcutViewClass.addMethod(qrv_setRecording, &replacementSetRecording);
    exchangeOrLog(shortcutViewClass, kscshortcutview::setRecording, qrv_setRecording);
}

void installShortcutConflictReplacements(BWClass& shortcutClass) {
    shortcutClass.addMethod(qrv_isTakenError, &replacementIsTakenError);
    shortcutClass.addMethod(qrv_isKeyEquivalentTakenInMenu, &replacementIsKeyEquivalentTakenInMenu);
    exchangeOrLog(shortcutClass, kscshortcut::isTakenError, qrv_isTakenError);
    exchangeOrLog(shortcutClass, kscshortcut::isKeyEquivalentTakenInMenu,
                  qrv_isKeyEquivalentTakenInMenu);
}

KSCShortcutView* currentShortcutRecorder() {
    return currentRecorder();
}

} // namespace qrv
