#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace qrv {

class KSCShortcutView;

// The recorder's key monitor: while a recorder records, an application-wide
// event filter that sees every key press and modifier change before any
// window, shortcut or menu does, hands it to the recorder and consumes it.
// One for the whole application; it holds its recorder weakly.
class KSCRecorderKeyMonitor final : public QObject {
  public:
    using QObject::QObject;
    static KSCRecorderKeyMonitor& shared();

    void start(KSCShortcutView* view);
    void stop();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<KSCShortcutView> m_view;
};

// Stops the recording when the recorder's window stops being the active one.
class KSCResignObserver final : public QObject {
  public:
    using QObject::QObject;
    static KSCResignObserver& shared();

    void start(KSCShortcutView* view);
    void stop();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<KSCShortcutView> m_view;
    QPointer<QWidget> m_window;
};

} // namespace qrv
