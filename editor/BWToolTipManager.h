#pragma once

#include "editor/BWRuntime.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace qrv {

class Scheduler;
class BWToolTipManager;

// What a tool-tip request is about.
struct BWToolTipUserInfo {
    QPointer<QWidget> view;
};

namespace bwtooltipmanager {
// The replaceable operation that times a tool tip: delay in seconds.
inline constexpr BWSelector<void(BWToolTipManager&, double, const BWToolTipUserInfo&)> startTimer{
    "startTimer:userInfo:"};
} // namespace bwtooltipmanager

// Shows the tool tips of the widgets that hand theirs over to it (the
// warning views), after the usual delay or, when the timer's replacement
// says so, at once. Delays run on the scheduler. Main thread only.
class BWToolTipManager : public QObject {
    Q_OBJECT
  public:
    explicit BWToolTipManager(Scheduler& scheduler, QObject* parent = nullptr);
    ~BWToolTipManager() override;

    // The pointer entered the view: its tool tip shows after the timer.
    void mouseEnteredView(QWidget* view);
    // The pointer left it, or it went away: nothing more shows.
    void mouseExitedView(QWidget* view);

    // The platform's usual wait before a tool tip, in seconds.
    static double usualDelay();

  private:
    static void originalStartTimer(BWToolTipManager& manager, double delay,
                                   const BWToolTipUserInfo& userInfo);
    void show(QWidget* view);

    Scheduler& m_scheduler;
    QPointer<QWidget> m_pendingView;
    QPointer<QWidget> m_shownView;
};

} // namespace qrv
