#include "editor/BWToolTipManager.h"
#include "editor/QRVWarningView.h"
#include "platform/testing/VirtualScheduler.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QToolTip>
#include <gtest/gtest.h>

using namespace qrv;
using namespace Qt::StringLiterals;

namespace {

void enter(QWidget* widget) {
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(widget, &event);
}

void leave(QWidget* widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

TEST(QRVWarningView, ItsToolTipShowsAtOnceWhileOthersWaitTheUsualDelay) {
    qrv::testing::VirtualScheduler scheduler;
    BWToolTipManager toolTips(scheduler);
    QWidget window;
    auto* warning = new QRVWarningView(toolTips, &window);
    warning->setToolTip(QStringLiteral("Two shortcuts for one title"));
    auto* label = new QLabel(QStringLiteral("Label"), &window);
    label->move(40, 0);
    label->setToolTip(QStringLiteral("Other"));
    window.show();

    // Leaving before the usual delay shows nothing.
    toolTips.mouseEnteredView(label);
    toolTips.mouseExitedView(label);
    scheduler.advance(std::chrono::seconds(5));
    EXPECT_FALSE(QToolTip::isVisible());

    enter(warning);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), u"Two shortcuts for one title"_s);
    leave(warning);

    // Another widget handed to the same manager keeps the usual delay.
    const Millis usual(qRound64(BWToolTipManager::usualDelay() * 1000));
    ASSERT_GT(usual.count(), 1);
    toolTips.mouseEnteredView(label);
    scheduler.advance(usual - Millis(1));
    EXPECT_NE(QToolTip::text(), u"Other"_s);
    scheduler.advance(Millis(1));
    EXPECT_EQ(QToolTip::text(), u"Other"_s);
    toolTips.mouseExitedView(label);
}

} // namespace
