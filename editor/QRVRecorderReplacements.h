#pragma once

namespace qrv {

class BWClass;
class KSCShortcutView;

// The program's replacements in the recorder classes. qrv_setRecording:
// keeps track of the recorder that records now; the two conflict tests of
// KSCShortcut are switched off by that recorder's switches when it is a
// QRVShortcutView. Installed by the classes' initialisation; a failed
// exchange is logged and the recorder then works without that replacement.
void installShortcutViewReplacements(BWClass& shortcutViewClass);
void installShortcutConflictReplacements(BWClass& shortcutClass);

// The recorder that records now, or null.
KSCShortcutView* currentShortcutRecorder();

} // namespace qrv
