#pragma once

#include <QWidget>

namespace qrv {

class BWToolTipManager;
class QRVShortcutView;
class QRVWarningView;
struct KSCShortcutViewServices;

// The "shortcut" cell of one row of the shortcut table: the warning mark,
// shown while the record has a warning (its tool tip is the warning), and the
// row's recorder.
class QRVShortcutsViewTableCellView : public QWidget {
    Q_OBJECT
  public:
    QRVShortcutsViewTableCellView(const KSCShortcutViewServices& services,
                                  BWToolTipManager& toolTips, QWidget* parent = nullptr);

    QRVShortcutView* shortcutView() const { return m_shortcutView; }
    QRVWarningView* warningView() const { return m_warningView; }
    // Empty hides the mark.
    void setWarningMessage(const QString& message);

    // Before the cell shows another row: it must never report a change for
    // the row it showed before.
    void prepareForReuse();

  private:
    QRVShortcutView* m_shortcutView = nullptr; // children of the cell
    QRVWarningView* m_warningView = nullptr;
};

} // namespace qrv
