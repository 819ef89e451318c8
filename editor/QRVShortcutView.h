#pragma once

#include "editor/KSCShortcutView.h"

namespace qrv {

// The recorder of the editor's rows, with switches for the two conflict
// tests: against the system-wide hot keys (shouldCheckForConflicts, which
// also gates the menu test) and against this application's main menu
// (shouldCheckMenuForConflicts). Both are on for a new view.
class QRVShortcutView : public KSCShortcutView {
    Q_OBJECT
  public:
    explicit QRVShortcutView(KSCShortcutViewServices services, QWidget* parent = nullptr);

    bool shouldCheckForConflicts() const { return m_shouldCheckForConflicts; }
    void setShouldCheckForConflicts(bool check) { m_shouldCheckForConflicts = check; }
    bool shouldCheckMenuForConflicts() const { return m_shouldCheckMenuForConflicts; }
    void setShouldCheckMenuForConflicts(bool check) { m_shouldCheckMenuForConflicts = check; }

  private:
    bool m_shouldCheckForConflicts = true;
    bool m_shouldCheckMenuForConflicts = true;
};

} // namespace qrv
