#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace qrv {

class KSCShortcutView;

// Something that watches events for the recording view while it records:
// one of each kind for the whole application, holding the view weakly.
class KSCRecorderWatcher : public QObject {
  public:
    using QObject::QObject;

    void start(KSCShortcutView* view) {
        m_view = view;
        watch(true);
    }
    void stop() {
        watch(false);
        m_view = nullptr;
    }

  protected:
    virtual void watch(bool on) = 0;
    QPointer<KSCShortcutView> m_view;
};

// The recorder's key monitor: an application-wide event filter that sees
// every key press and modifier change before any window, shortcut or menu
// does, hands it to the recorder and consumes it.
class KSCRecorderKeyMonitor final : public KSCRecorderWatcher {
  public:
    using KSCRecorderWatcher::KSCRecorderWatcher;
    static KSCRecorderKeyMonitor& shared();

  protected:
    void watch(bool on) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Stops the recording when the recorder's window stops being the active one.
class KSCResignObserver final : public KSCRecorderWatcher {
  public:
    using KSCRecorderWatcher::KSCRecorderWatcher;
    static KSCResignObserver& shared();

  protected:
    void watch(bool on) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QWidget> m_window;
};

} // namespace qrv
