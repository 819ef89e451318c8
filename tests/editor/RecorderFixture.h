#pragma once

#include "editor/QRVShortcutView.h"
#include "model/KeyCodes.h"
#include "platform/testing/FixedKeyboardLayout.h"
#include "platform/testing/ScriptedAlertPresenter.h"
#include "platform/testing/ScriptedHotKeys.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

namespace qrv::testing {

// Key codes of the platform's keyboard the tests type.
inline constexpr quint16 kA = 0, kB = 11, kG = 5, kK = 40, kL = 37, kF5 = 96;
inline constexpr quint16 kCommandKey = 55, kOptionKey = 58, kControlKey = 59;

// A main window with a menu bar and two recorders, on the U.S. layout, with
// scripted alerts and hot keys. Key events carry the native scan code the
// layout maps (key code + 8), as the window system delivers them.
class RecorderFixture : public ::testing::Test {
  protected:
    RecorderFixture() {
        QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
        closeAction = file->addAction(QStringLiteral("&Close"));
        closeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
        quitAction = file->addAction(QStringLiteral("&Quit"));
        quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

        auto* content = new QWidget;
        auto* row = new QHBoxLayout(content);
        first = new QRVShortcutView(services(), content);
        second = new QRVShortcutView(services(), content);
        row->addWidget(first);
        row->addWidget(second);
        window.setCentralWidget(content);
        window.show();
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
        first->setFixedSize(150, 22);
        second->setFixedSize(150, 22);
        first->shortcutValueChange = [this](KSCShortcutView* v) {
            changes << (v->shortcutValue() ? v->shortcutValue()->description()
                                           : QStringLiteral("nil"));
        };
    }

    ~RecorderFixture() override {
        first->setRecording(false);
        second->setRecording(false);
    }

    KSCShortcutViewServices services() {
        return {alerts, layout, hotKeys, [this] {
                    return window.menuBar();
                }};
    }

    static KSCShortcutPtr shortcut(quint16 keyCode, quint64 flags) {
        return std::make_shared<KSCShortcut>(keyCode, flags);
    }

    // A key pressed and released with the modifiers held, to the focus widget.
    void type(quint16 keyCode, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              int qtKey = Qt::Key_unknown) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
        QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, keyCode + 8u, 0, 0, QString());
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers, keyCode + 8u, 0, 0, QString());
        QApplication::sendEvent(target, &release);
    }

    // A modifier key going down or up; `held` is the state before the event,
    // as the window system reports it.
    void modifierKey(QEvent::Type type, int qtKey, quint16 keyCode, Qt::KeyboardModifiers held) {
        QKeyEvent event(type, qtKey, held, keyCode + 8u, 0, 0, QString());
        QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : &window,
                                &event);
    }

    QString value() const {
        return first->shortcutValue() ? first->shortcutValue()->description() : QString();
    }

    static QPoint inShortcutArea() { return {40, 11}; }
    static QPoint inHintArea() { return {140, 11}; }

    static void click(KSCShortcutView* view, QPoint at) {
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at);
    }

    FixedKeyboardLayout layout = FixedKeyboardLayout::us();
    ScriptedAlertPresenter alerts;
    ScriptedHotKeys hotKeys;
    QMainWindow window;
    QAction* closeAction = nullptr;
    QAction* quitAction = nullptr;
    QRVShortcutView* first = nullptr;
    QRVShortcutView* second = nullptr;
    QStringList changes; // the first view's descriptions at each change callback
};

} // namespace qrv::testing
