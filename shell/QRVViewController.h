#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace qrv {

// The content of a window: its view is made on first use (loadView) and
// handed to the window, which owns it from then on; the controller hears when
// the view comes on screen and when it leaves it.
class QRVViewController : public QObject {
    Q_OBJECT
  public:
    ~QRVViewController() override;

    QWidget* view();

    virtual void viewWillAppear() {}
    virtual void viewDidAppear() {}
    virtual void viewDidDisappear() {}

  protected:
    QRVViewController(QString viewName, QObject* parent);
    // Fills the view just made.
    virtual void loadView(QWidget* view) = 0;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString m_viewName;
    QPointer<QWidget> m_view;
};

} // namespace qrv
