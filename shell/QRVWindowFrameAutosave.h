#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <optional>

class QWidget;

namespace qrv {

class Scheduler;
class UserDefaults;

// Keeps a window's size and position in the program's user defaults, under
// "NSWindow Frame <name>", so the window opens where the user left it. The
// value is "x y width height" of the window (position of its frame, size of
// its content) followed by the available area of the screen it was on.
// A remembered frame that no longer fits any screen (a monitor unplugged,
// a smaller resolution) is pulled back onto the screen rather than opening
// the window out of reach.
class QRVWindowFrameAutosave : public QObject {
    Q_OBJECT
  public:
    static QString keyForName(const QString& name) {
        return QStringLiteral("NSWindow Frame ") + name;
    }

    // Restores the remembered frame (if any) at once, then watches the window.
    QRVWindowFrameAutosave(QWidget& window, QString name, UserDefaults& defaults,
                           Scheduler& scheduler);
    ~QRVWindowFrameAutosave() override;

    // Writes the frame now (at quit, and when the window is hidden).
    void saveFrame();

    // The frame stored in `value`, if it can be read.
    static std::optional<QRect> parseFrame(const QString& value);
    // Where a remembered frame goes on screens with these available areas:
    // the size is limited to the screen it is on (the first one when it is on
    // none) and the frame is moved so that it lies on that screen.
    static QRect fittedFrame(const QRect& frame, const QList<QRect>& availableAreas);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void restoreFrame();

    QPointer<QWidget> m_window;
    QString m_name;
    UserDefaults& m_defaults;
    Scheduler& m_scheduler;
    bool m_restoring = false;
};

} // namespace qrv
