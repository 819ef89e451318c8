#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace qrv {

class QRVWindowFrameAutosave;
class Scheduler;
class UserDefaults;

// A window the application delegate creates on first use and keeps for the
// rest of the run: showing it again brings the same window to the front.
// Its size and position are remembered between runs under its name.
class QRVWindowController : public QObject {
    Q_OBJECT
  public:
    ~QRVWindowController() override;

    QWidget* window() const { return m_window; }
    // Shows the window (restoring it when minimised) and brings it to the front.
    void showWindow();
    // Remembers the window's frame now (the delegate calls it at quit).
    void saveWindowFrame();

  protected:
    // Takes the window; it is kept until the controller goes. Closing the
    // window only hides it, so the next show finds it as it was.
    QRVWindowController(QWidget* window, QObject* parent = nullptr);
    // Call once the window's content is in place, so its minimum size is known.
    void rememberFrame(const QString& name, UserDefaults& defaults, Scheduler& scheduler);

  private:
    QPointer<QWidget> m_window;
    QRVWindowFrameAutosave* m_frame = nullptr;
};

} // namespace qrv
