#pragma once

#include "editor/AccessibleWidgetPart.h"

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
class KSCShortcutViewAccessibilityButton final : public AccessibleWidgetPart,
                                                 public QAccessibleActionInterface {
  public:
    enum class Kind { Shortcut, Action };
    KSCShortcutViewAccessibilityButton(KSCShortcutView* view, Kind kind);

    KSCShortcutView* shortcutView() const;
    Kind kind() const { return m_kind; }

    QString text(QAccessible::Text type) const override;
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
    Kind m_kind;
};

} // namespace qrv
