#pragma once

#include "shell/UPDAppcast.h"

#include <QDialog>

class QTextBrowser;
class QPushButton;

namespace qrv {

// Offers a new version: what it is, its release notes, and the choice to
// skip it, be reminded later, or download it.
class UPDUpdateAlert : public QDialog {
    Q_OBJECT
  public:
    enum Choice { RemindLater = 0, Download = 1, SkipVersion = 2 };

    UPDUpdateAlert(const QString& applicationName, const QString& installedVersion,
                   const UPDAppcastItem& item, const QString& notes, const QIcon& icon,
                   QWidget* parent = nullptr);

    QTextBrowser* notesView() const { return m_notes; }
    QPushButton* button(Choice choice) const;

  private:
    QTextBrowser* m_notes;
    QPushButton* m_skip;
    QPushButton* m_later;
    QPushButton* m_download;
};

} // namespace qrv
