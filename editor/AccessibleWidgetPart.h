#pragma once

#include <QAccessible>
#include <QPointer>
#include <QWidget>

namespace qrv {

// An element assistive technology sees inside a widget that draws it itself
// (a button of the recorder, a cell or header of the table): no object of its
// own, a child of its widget, no children unless it lists some, and valid
// while its widget lives.
class AccessibleWidgetPart : public QAccessibleInterface {
  public:
    explicit AccessibleWidgetPart(QWidget* owner)
        : m_owner(owner) {}

    QWidget* owner() const { return m_owner; }

    bool isValid() const override { return !m_owner.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_owner ? m_owner->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return m_owner ? QAccessible::queryAccessibleInterface(m_owner) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

  private:
    QPointer<QWidget> m_owner;
};

} // namespace qrv
