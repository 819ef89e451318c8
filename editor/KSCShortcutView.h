#pragma once

#include "editor/BWRuntime.h"
#include "editor/KSCButtonCell.h"
#include "model/KSCShortcut.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QKeyEvent;

namespace qrv {

class AlertPresenter;
class HotKeys;
class KeyboardLayout;
class KSCShortcutView;

// Asked before a click on the recorder begins (or ends) recording. A delegate
// is a QObject that implements this interface (Q_INTERFACES).
class KSCShortcutViewDelegate {
  public:
    virtual ~KSCShortcutViewDelegate() = default;
    virtual bool shortcutViewShouldBeginRecording(KSCShortcutView* view) = 0;
};

// What a recorder works with: the alert presenter (the refusing beep and the
// alert about a taken combination), the keyboard layout (key events to key
// codes, key names), the system-wide hot keys, and this application's main
// menu bar, which may not exist yet.
struct KSCShortcutViewServices {
    AlertPresenter& alerts;
    const KeyboardLayout& keyboardLayout;
    const HotKeys& hotKeys;
    std::function<const QWidget*()> mainMenu;
};

namespace kscshortcutview {
// The replaceable operation behind setRecording().
inline constexpr BWSelector<void(KSCShortcutView&, bool)> setRecording{"setRecording:"};
} // namespace kscshortcutview

// The shortcut recorder: shows a key combination; a click starts recording,
// the next valid combination typed becomes the value. While it records, every
// key goes to it first (Tab, Return and the menus' shortcuts included).
// Delete clears the value, Escape cancels; the small button at the right end
// (the hint area) cancels or, when allowed, clears. Only one recorder in the
// application records at a time. Main thread only.
class KSCShortcutView : public QWidget {
    Q_OBJECT
  public:
    explicit KSCShortcutView(KSCShortcutViewServices services, QWidget* parent = nullptr);
    ~KSCShortcutView() override;

    KSCShortcutPtr shortcutValue() const { return m_shortcutValue; }
    // Every assignment, the same value or null included, calls shortcutValueChange.
    void setShortcutValue(KSCShortcutPtr value);

    QString shortcutPlaceholder() const { return m_shortcutPlaceholder; }
    void setShortcutPlaceholder(const QString& placeholder);

    bool isRecording() const { return m_recording; }
    // Through the class table, so the program's replacement sees every change.
    void setRecording(bool recording);

    bool isHinting() const { return m_hinting; }
    void setHinting(bool hinting);

    // Whether a click outside the shortcut area clears the value (off at first).
    bool canClear() const { return m_canClear; }
    void setCanClear(bool canClear);

    // 0 rounded rectangle, 1 textured rounded, 2 rounded push button, 3 borderless.
    int appearance() const { return m_appearance; }
    void setAppearance(int appearance);

    std::function<void(KSCShortcutView*)> shortcutValueChange;

    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    // The shortcut area and the hint area (the right end), in view coordinates.
    void getShortcutRect(QRectF* shortcutRect, QRectF* hintRect) const;
    bool locationInShortcutRect(QPointF point) const;
    bool locationInHintRect(QPointF point) const;

    const KSCShortcutViewServices& services() const { return m_services; }
    KSCButtonCell& shortcutCell() { return m_shortcutCell; }
    // The hint area follows the mouse only while the view is enabled.
    bool tracksHintArea() const { return m_tracksHintArea; }

    // What the two tool-tip areas say; empty outside them or when none is shown.
    QString toolTipAt(QPointF point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // What paintEvent draws in the current state: the action glyph in the
    // hint area (none when empty), the title, where and in which cell state.
    struct DrawingPlan {
        QString actionGlyph;
        QString title;
        QRectF titleRect;
        bool state = false;
    };
    DrawingPlan drawingPlan() const;

    // The accessibility children's texts (also drawn as titles).
    QString accessibilityShortcutButtonLabel() const;
    QString accessibilityActionButtonLabel() const;
    bool accessibilityPressShortcutButton();
    bool accessibilityPressActionButton();

  protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    friend class KSCRecorderKeyMonitor;
    friend class KSCResignObserver;

    // Runs once, when the first recorder is made.
    static void initializeClass();
    static void originalSetRecording(KSCShortcutView& view, bool recording);

    void resetShortcutCellStyle();
    void updateTrackingAreas();
    void resetToolTips();
    void activateEventMonitoring(bool active);
    void activateResignObserver(bool active);
    // A key press or a modifier change seen by the key monitor while recording.
    void handleRecordingKeyEvent(const QKeyEvent& event);

    void drawInRect(QPainter& painter, const QRectF& rect, const QString& title,
                    Qt::Alignment alignment, bool state, bool bordered);
    void drawActionButtonWithGlyph(QPainter& painter, const QString& glyph);

    KSCShortcutViewServices m_services;
    KSCButtonCell m_shortcutCell;
    int m_shortcutToolTipTag = 0;
    int m_hintToolTipTag = 0;
    bool m_tracksHintArea = false;
    bool m_hinting = false;
    bool m_recording = false;
    bool m_canClear = false;
    int m_appearance = 0;
    KSCShortcutPtr m_shortcutValue;
    QString m_shortcutPlaceholder;
    QPointer<QObject> m_delegate;
};

} // namespace qrv

Q_DECLARE_INTERFACE(qrv::KSCShortcutViewDelegate, "com.brackwyn.Quorvane.KSCShortcutViewDelegate")
