#pragma once

#include <QFrame>

class QLabel;

namespace qrv {

// A bar above the shortcut table that says why the last save did not reach
// the preference files. It does not block anything: the rows stay as typed
// and the next save that succeeds hides it.
class QRVSaveErrorBar : public QFrame {
    Q_OBJECT
  public:
    explicit QRVSaveErrorBar(QWidget* parent = nullptr);

    QString message() const;
    // Empty hides the bar.
    void setMessage(const QString& message);

  private:
    QLabel* m_label = nullptr;
};

} // namespace qrv
