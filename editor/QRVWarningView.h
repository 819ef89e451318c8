#pragma once

#include <QToolButton>

namespace qrv {

class BWToolTipManager;

// The small warning mark of an editor row. Its tool tip (the warning) shows
// as soon as the pointer is over it, not after the usual delay.
class QRVWarningView : public QToolButton {
    Q_OBJECT
  public:
    explicit QRVWarningView(BWToolTipManager& toolTips, QWidget* parent = nullptr);
    ~QRVWarningView() override;

    QSize sizeHint() const override;

  protected:
    bool event(QEvent* event) override;

  private:
    BWToolTipManager& m_toolTips;
};

} // namespace qrv
