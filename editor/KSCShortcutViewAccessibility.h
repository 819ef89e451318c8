#pragma once

#include <QAccessibleWidget>
#include <QPointer>

namespace qrv {

class KSCShortcutView;

// Makes recorders (and their subclasses) accessible with two children: the
// shortcut button and the action button at the right end. Installed once.
void installShortcutViewAccessibility();

// Tells assistive technology that the children's labels may have changed.
void announceShortcutViewChange(KSCShortcutView* view);

// The recorder as assistive technology sees it: a group of two buttons.
class KSCShortcutViewAccessible final : public QAccessibleWidget {
  public:
    explicit KSCShortcutViewAccessible(KSCShortcutView* view);
    ~KSCShortcutViewAccessible() override;

    int childCount() const override { return 2; }
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

  private:
    mutable QAccessible::Id m_children[2] = {0, 0};
};

// One of the recorder's two buttons. It has no widget of its own; its area is
// the recorder less the right-most 23 points (shortcut button) or those
// 23 points (action button).
class KSCShortcutViewAccessibilityButton final : public QAccessibleInterface,
                                                 public QAccessibleActionInterface {
  public:
    enum class Kind { Shortcut, Action };
    KSCShortcutViewAccessibilityButton(KSCShortcutView* view, Kind kind)
        : m_shortcutView(view)
        , m_kind(kind) {}

    KSCShortcutView* shortcutView() const { return m_shortcutView; }
    Kind kind() const { return m_kind; }

    bool isValid() const override { return !m_shortcutView.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // Presses the button; false when it did nothing.
    bool press();

  private:
    QPointer<KSCShortcutView> m_shortcutView;
    Kind m_kind;
};

} // namespace qrv
