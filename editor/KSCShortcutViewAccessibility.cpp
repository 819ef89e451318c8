#include "editor/KSCShortcutViewAccessibility.h"

#include "editor/KSCShortcutView.h"

namespace qrv {

namespace {

// The children's split does not follow the appearance.
constexpr int kActionButtonWidth = 23;

QAccessibleInterface* shortcutViewFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(KSCShortcutView::staticMetaObject.className()))
        if (auto* view = qobject_cast<KSCShortcutView*>(object))
            return new KSCShortcutViewAccessible(view);
    return nullptr;
}

} // namespace

void installShortcutViewAccessibility() {
    QAccessible::installFactory(&shortcutViewFactory);
}

void announceShortcutViewChange(KSCShortcutView* view) {
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* recorder = QAccessible::queryAccessibleInterface(view);
    if (!recorder)
        return;
    for (int i = 0; i < recorder->childCount(); ++i) {
        QAccessibleEvent event(recorder->child(i), QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

KSCShortcutViewAccessible::KSCShortcutViewAccessible(KSCShortcutView* view)
    : QAccessibleWidget(view, QAccessible::Grouping) {}

KSCShortcutViewAccessible::~KSCShortcutViewAccessible() {
    for (const QAccessible::Id id : m_children)
        if (id)
            QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* KSCShortcutViewAccessible::child(int index) const {
    if (index < 0 || index > 1)
        return nullptr;
    if (!m_children[index]) {
        auto* view = static_cast<KSCShortcutView*>(widget());
        using Kind = KSCShortcutViewAccessibilityButton::Kind;
        m_children[index] =
            QAccessible::registerAccessibleInterface(new KSCShortcutViewAccessibilityButton(
                view, index == 0 ? Kind::Shortcut : Kind::Action));
    }
    return QAccessible::accessibleInterface(m_children[index]);
}

int KSCShortcutViewAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (int i = 0; i < 2; ++i)
        if (m_children[i] && QAccessible::accessibleInterface(m_children[i]) == child)
            return i;
    return -1;
}

QAccessibleInterface* KSCShortcutViewAccessible::childAt(int x, int y) const {
    for (int i = 0; i < 2; ++i)
        if (QAccessibleInterface* button = child(i); button->rect().contains(x, y))
            return button;
    return nullptr;
}

KSCShortcutViewAccessibilityButton::KSCShortcutViewAccessibilityButton(KSCShortcutView* view,
                                                                       Kind kind)
    : AccessibleWidgetPart(view)
    , m_kind(kind) {}

KSCShortcutView* KSCShortcutViewAccessibilityButton::shortcutView() const {
    return static_cast<KSCShortcutView*>(owner());
}

QString KSCShortcutViewAccessibilityButton::text(QAccessible::Text type) const {
    if (!shortcutView() || type != QAccessible::Name)
        return {};
    return m_kind == Kind::Shortcut ? shortcutView()->accessibilityShortcutButtonLabel()
                                    : shortcutView()->accessibilityActionButtonLabel();
}

QRect KSCShortcutViewAccessibilityButton::rect() const {
    if (!shortcutView())
        return {};
    const QRect bounds = shortcutView()->rect();
    const int split = qMax(0, bounds.width() - kActionButtonWidth);
    const QRect local = m_kind == Kind::Shortcut
                            ? QRect(0, 0, split, bounds.height())
                            : QRect(split, 0, bounds.width() - split, bounds.height());
    return local.translated(shortcutView()->mapToGlobal(QPoint(0, 0)));
}

QAccessible::State KSCShortcutViewAccessibilityButton::state() const {
    QAccessible::State state;
    if (!shortcutView()) {
        state.invalid = true;
        return state;
    }
    state.disabled = !shortcutView()->isEnabled();
    state.invisible = !shortcutView()->isVisible();
    state.pressed = m_kind == Kind::Shortcut && shortcutView()->isRecording();
    return state;
}

void* KSCShortcutViewAccessibilityButton::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

void KSCShortcutViewAccessibilityButton::doAction(const QString& actionName) {
    if (actionName == pressAction())
        (void)press();
}

bool KSCShortcutViewAccessibilityButton::press() {
    if (!shortcutView())
        return false;
    return m_kind == Kind::Shortcut ? shortcutView()->accessibilityPressShortcutButton()
                                    : shortcutView()->accessibilityPressActionButton();
}

} // namespace qrv
