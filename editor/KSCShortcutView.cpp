#include "editor/KSCShortcutView.h"

#include "editor/EditorThread.h"
#include "editor/KSCKeyEvents.h"
#include "editor/KSCRecorderMonitors.h"
#include "editor/KSCShortcutConflicts.h"
#include "editor/KSCShortcutViewAccessibility.h"
#include "editor/QRVRecorderReplacements.h"
#include "model/KeyCodes.h"
#include "platform/AlertPresenter.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <mutex>

namespace qrv {

namespace {

// One of each for the whole application.
struct SharedRecorderState {
    // The last view that asked to record; only it may be recording.
    QPointer<KSCShortcutView> activeRecorder;
    bool eventMonitoring = false;
    bool resignObserving = false;
};

SharedRecorderState& shared() {
    static SharedRecorderState state;
    return state;
}

// The key monitor and the resign observer are shared and switched by flags,
// so switching on twice or off twice does nothing.
template <typename Watcher> void switchShared(bool& flag, bool active, KSCShortcutView* view) {
    if (active == flag)
        return;
    flag = active;
    if (active)
        Watcher::shared().start(view);
    else
        Watcher::shared().stop();
}

// Tokens of the two tool-tip areas.
constexpr int kShortcutToolTipTag = 1;
constexpr int kHintToolTipTag = 2;

} // namespace

void KSCShortcutView::initializeClass() {
    // The switches every time: a reset of the process state (between tests)
    // puts them back off while the class stays set up.
    KSCShortcut::setAllowsAnyHotkeyWithOptionModifier(true);
    KSCShortcut::setAllowsSpaceAndEscapeWithNoModifiers(true);
    static std::once_flag once;
    std::call_once(once, [] {
        BWClass& viewClass = BWClass::forMetaObject(staticMetaObject);
        viewClass.addMethod(kscshortcutview::setRecording, &KSCShortcutView::originalSetRecording);
        installShortcutViewReplacements(viewClass);
        installShortcutViewAccessibility();
    });
}

KSCShortcutView::KSCShortcutView(KSCShortcutViewServices services, QWidget* parent)
    : QWidget(parent)
    , m_services(std::move(services)) {
    assertEditorMainThread();
    initializeClass();
    QFont font = m_shortcutCell.font();
    font.setPixelSize(11);
    m_shortcutCell.setFont(font);
    setFocusPolicy(Qt::ClickFocus);
    resetShortcutCellStyle();
    updateTrackingAreas();
}

KSCShortcutView::~KSCShortcutView() {
    // Only the recording view owns the shared monitor and observer: another
    // recorder going away must not leave this one deaf while it records.
    if (m_recording) {
        activateEventMonitoring(false);
        activateResignObserver(false);
    }
}

void KSCShortcutView::setShortcutValue(KSCShortcutPtr value) {
    assertEditorMainThread();
    m_shortcutValue = std::move(value);
    resetToolTips();
    update();
    announceShortcutViewChange(this);
    if (shortcutValueChange)
        shortcutValueChange(this);
}

void KSCShortcutView::setShortcutPlaceholder(const QString& placeholder) {
    m_shortcutPlaceholder = placeholder;
    update();
    announceShortcutViewChange(this);
}

void KSCShortcutView::setRecording(bool recording) {
    assertEditorMainThread();
    BWClass::forMetaObject(*metaObject()).send(kscshortcutview::setRecording, *this, recording);
}

void KSCShortcutView::originalSetRecording(KSCShortcutView& view, bool recording) {
    SharedRecorderState& state = shared();
    if (recording) {
        // Before the enabled test: a disabled view that asks still stops the other one.
        if (state.activeRecorder && state.activeRecorder != &view)
            state.activeRecorder->setRecording(false);
        state.activeRecorder = &view;
        if (!view.isEnabled())
            return;
    }
    if (recording == view.m_recording)
        return;
    view.m_recording = recording;
    view.m_shortcutCell.setHighlighted(recording);
    view.m_shortcutPlaceholder.clear();
    view.resetToolTips();
    view.activateEventMonitoring(recording);
    view.activateResignObserver(recording);
    view.update();
    announceShortcutViewChange(&view);
}

void KSCShortcutView::setHinting(bool hinting) {
    if (hinting == m_hinting)
        return;
    m_hinting = hinting;
    update();
    announceShortcutViewChange(this);
}

void KSCShortcutView::setCanClear(bool canClear) {
    m_canClear = canClear;
    resetToolTips();
    update();
}

void KSCShortcutView::setAppearance(int appearance) {
    if (appearance == m_appearance)
        return;
    m_appearance = appearance;
    resetShortcutCellStyle();
    update();
}

void KSCShortcutView::resetShortcutCellStyle() {
    auto bordered = [this](KSCButtonCell::BezelStyle style) {
        m_shortcutCell.setBezelStyle(style);
        // Coming back from the borderless appearance.
        m_shortcutCell.setBordered(true);
        m_shortcutCell.setDrawsBackground(true);
    };
    switch (m_appearance) {
    case 0:
        bordered(KSCButtonCell::BezelStyle::RoundRect);
        break;
    case 1:
        bordered(KSCButtonCell::BezelStyle::TexturedRounded);
        break;
    case 2:
        bordered(KSCButtonCell::BezelStyle::Rounded);
        break;
    case 3:
        m_shortcutCell.setDrawsBackground(false);
        m_shortcutCell.setBordered(false);
        break;
    default:
        break;
    }
}

void KSCShortcutView::getShortcutRect(QRectF* shortcutRect, QRectF* hintRect) const {
    qreal hintWidth = 23;
    switch (m_appearance) {
    case 1:
        hintWidth = 25;
        break;
    case 2:
        hintWidth = 26;
        break;
    case 3:
        hintWidth = m_shortcutCell.font().pixelSize() - 11 - 8 + 23;
        break;
    default:
        break;
    }
    const QRectF bounds(rect());
    hintWidth = qMin(hintWidth, bounds.width());
    if (hintRect)
        *hintRect = QRectF(bounds.right() - hintWidth, bounds.top(), hintWidth, bounds.height());
    if (shortcutRect)
        *shortcutRect =
            QRectF(bounds.left(), bounds.top(), bounds.width() - hintWidth, bounds.height());
}

bool KSCShortcutView::locationInShortcutRect(QPointF point) const {
    QRectF shortcutRect;
    getShortcutRect(&shortcutRect, nullptr);
    return shortcutRect.contains(point);
}

bool KSCShortcutView::locationInHintRect(QPointF point) const {
    QRectF hintRect;
    getShortcutRect(nullptr, &hintRect);
    return hintRect.contains(point);
}

void KSCShortcutView::updateTrackingAreas() {
    m_tracksHintArea = isEnabled();
    setMouseTracking(m_tracksHintArea);
}

void KSCShortcutView::resetToolTips() {
    m_shortcutToolTipTag = 0;
    m_hintToolTipTag = 0;
    if (m_shortcutValue && !m_recording && isEnabled()) {
        m_shortcutToolTipTag = kShortcutToolTipTag;
        // Only where a click there does clear.
        if (m_canClear)
            m_hintToolTipTag = kHintToolTipTag;
    }
}

QString KSCShortcutView::toolTipAt(QPointF point) const {
    if (m_hintToolTipTag && locationInHintRect(point))
        return tr("Delete shortcut");
    if (m_shortcutToolTipTag && locationInShortcutRect(point))
        return tr("Click to record new shortcut");
    return {};
}

bool KSCShortcutView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        QRectF area;
        if (locationInHintRect(help->pos()))
            getShortcutRect(nullptr, &area);
        else
            getShortcutRect(&area, nullptr);
        QToolTip::showText(help->globalPos(), text, this, area.toRect());
        return true;
    }
    return QWidget::event(event);
}

void KSCShortcutView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        updateTrackingAreas();
        setRecording(false);
        update();
    }
    QWidget::changeEvent(event);
}

void KSCShortcutView::mousePressEvent(QMouseEvent* event) {
    auto* delegateInterface = qobject_cast<KSCShortcutViewDelegate*>(m_delegate.data());
    if (!isEnabled() || event->button() != Qt::LeftButton ||
        (delegateInterface && !delegateInterface->shortcutViewShouldBeginRecording(this))) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF point = event->position();
    if (!m_recording) {
        if (!m_shortcutValue || locationInShortcutRect(point))
            setRecording(true);
        else if (m_canClear)
            setShortcutValue(nullptr);
    } else if (locationInHintRect(point)) {
        setRecording(false);
    }
}

void KSCShortcutView::mouseMoveEvent(QMouseEvent* event) {
    if (m_tracksHintArea)
        setHinting(locationInHintRect(event->position()));
    QWidget::mouseMoveEvent(event);
}

void KSCShortcutView::leaveEvent(QEvent* event) {
    if (m_tracksHintArea)
        setHinting(false);
    QWidget::leaveEvent(event);
}

void KSCShortcutView::activateEventMonitoring(bool active) {
    switchShared<KSCRecorderKeyMonitor>(shared().eventMonitoring, active, this);
}

void KSCShortcutView::activateResignObserver(bool active) {
    switchShared<KSCResignObserver>(shared().resignObserving, active, this);
}

void KSCShortcutView::handleRecordingKeyEvent(const QKeyEvent& event) {
    using namespace keycodes;
    const KSCShortcutPtr shortcut = shortcutWithKeyEvent(event, m_services.keyboardLayout);
    const quint64 keyCode = shortcut->keyCode();
    const bool alone = shortcut->modifierFlags() == 0;
    if ((keyCode == kDelete || keyCode == kForwardDelete) && alone) {
        setShortcutValue(nullptr);
        setRecording(false);
        return;
    }
    if (keyCode == kEscape && alone) {
        setRecording(false);
        return;
    }
    if (shortcut->keyCodeString().isEmpty()) {
        // A modifier pressed or released on its own: show what is held.
        setShortcutPlaceholder(shortcut->modifierFlagsString());
        return;
    }
    if (!shortcut->isValid()) {
        m_services.alerts.beep();
        return;
    }
    QString error;
    const QWidget* mainMenu = m_services.mainMenu ? m_services.mainMenu() : nullptr;
    if (isShortcutTaken(*shortcut, {m_services.hotKeys, mainMenu}, &error)) {
        // The alert takes the keys and the focus while it runs.
        activateResignObserver(false);
        activateEventMonitoring(false);
        const QPointer<KSCShortcutView> self(this);
        Alert alert;
        alert.style = Alert::Style::Critical;
        alert.messageText = error;
        alert.informativeText =
            tr("The key combination %1 cannot be used").arg(shortcut->description());
        alert.buttons = {{tr("OK"), QStringLiteral("\r")}};
        (void)m_services.alerts.runModal(alert);
        if (!self)
            return;
        setShortcutPlaceholder(QString());
        // Recording may have ended meanwhile; a monitor without a recorder
        // would swallow every key of the application.
        if (m_recording) {
            activateResignObserver(true);
            activateEventMonitoring(true);
        }
        return;
    }
    setShortcutValue(shortcut);
    setRecording(false);
}

QSize KSCShortcutView::sizeHint() const {
    return {150, 22};
}

QSize KSCShortcutView::minimumSizeHint() const {
    return {60, 19};
}

} // namespace qrv
