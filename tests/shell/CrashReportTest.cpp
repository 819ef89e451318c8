#include "SupportFixture.h"
#include "shell/BWCrashReporterWindowController.h"
#include "shell/QRVConsoleLog.h"
#include "shell/QRVCrashReportConfirmation.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace qrv;
using namespace qrv::testing;

namespace {

// The handler with a log that arrives when the test says and a dialog that
// answers as the test says.
struct Handler {
    std::function<void(const QString&)> pendingLog;
    bool userSends = true;
    QList<TLMUserConfirmation> notified;
    QRVCrashReportConfirmation confirmation{
        [this](std::function<void(const QString&)> completion) { pendingLog = completion; },
        [this](QString* name, QString* email, QString* details) {
            if (!userSends)
                return false;
            *name = QStringLiteral("Ada");
            *email = QStringLiteral("ada@example.org");
            *details = QStringLiteral("Pasted a shortcut.");
            return true;
        },
        [this](TLMUserConfirmation answer) {
            notified << answer;
        }};

    void logArrives(const QString& text) {
        ASSERT_TRUE(pendingLog);
        auto completion = std::exchange(pendingLog, nullptr);
        completion(text);
    }
};

TEST(CrashReportConfirmation, SendsOnceWhetherTheLogComesBeforeOrAfterTheAnswer) {
    {
        SCOPED_TRACE("log after the answer: the send waits for it");
        Handler h;
        // The dialog answers before the log is in: nothing may be sent yet.
        EXPECT_TRUE(h.confirmation.handleReports({}));
        EXPECT_TRUE(h.notified.isEmpty());
        h.logArrives(QStringLiteral("line\n"));
        EXPECT_EQ(h.notified, QList<TLMUserConfirmation>{TLMUserConfirmationSend});
        EXPECT_EQ(h.confirmation.crashReporterName(), "Ada");
        EXPECT_EQ(h.confirmation.crashReporterEmail(), "ada@example.org");
        EXPECT_EQ(h.confirmation.crashReporterDetails(), "Pasted a shortcut.");
        EXPECT_EQ(h.confirmation.crashReporterLogContent(), "line\n");
    }
    {
        SCOPED_TRACE("log before the answer: sent at the answer");
        Handler h;
        QRVCrashReportConfirmation confirmation(
            [](std::function<void(const QString&)> completion) { completion(QString()); },
            [](QString*, QString*, QString*) { return true; },
            [&h](TLMUserConfirmation a) { h.notified << a; });
        EXPECT_TRUE(confirmation.handleReports({}));
        EXPECT_EQ(h.notified, QList<TLMUserConfirmation>{TLMUserConfirmationSend});
        // An empty log still gives content.
        EXPECT_EQ(confirmation.crashReporterLogContent(), QRVConsoleLog::noEntriesText());
    }
}

TEST(CrashReportConfirmation, DecliningSaysSoAtOnceAndTheLogLaterChangesNothing) {
    for (const bool logFirst : {true, false}) {
        SCOPED_TRACE(logFirst ? "log before the answer" : "log after the answer");
        Handler h;
        h.userSends = false;
        QRVCrashReportConfirmation confirmation(
            [&h, logFirst](std::function<void(const QString&)> completion) {
                if (logFirst)
                    completion(QStringLiteral("early"));
                else
                    h.pendingLog = completion;
            },
            [](QString*, QString*, QString*) { return false; },
            [&h](TLMUserConfirmation a) { h.notified << a; });
        EXPECT_TRUE(confirmation.handleReports({}));
        EXPECT_EQ(h.notified, QList<TLMUserConfirmation>{TLMUserConfirmationDontSend});
        if (!logFirst)
            h.logArrives(QStringLiteral("late"));
        EXPECT_EQ(h.notified.size(), 1);
        EXPECT_EQ(confirmation.crashReporterLogContent(), logFirst ? "early" : "late");
        EXPECT_TRUE(confirmation.crashReporterName().isNull());
    }
}

TEST(CrashReporterDialog, PrefillsTheSenderAndRemembersWhatWasSent) {
    SupportFixture f;
    f.defaults.setObject(BWCrashReporterWindowController::kSenderNameKey, QStringLiteral("Grace"));
    f.defaults.setObject(BWCrashReporterWindowController::kSenderEmailKey, 42); // not a string
    f.modal.answer([](QDialog& dialog) {
        auto& window = dynamic_cast<BWCrashReporterWindowController&>(dialog);
        EXPECT_EQ(window.nameField()->text(), "Grace");
        EXPECT_EQ(window.emailField()->text(), "");
        window.emailField()->setText(QStringLiteral("grace@example.org"));
        window.detailsTextView()->setPlainText(QStringLiteral("It froze."));
        window.sendButton()->click();
        return window.result();
    });
    QString name, email, details;
    EXPECT_TRUE(BWCrashReporterWindowController::requestReportName(f.defaults, f.modal, &name,
                                                                   &email, &details));
    EXPECT_EQ(f.modal.shown, QStringList{"BWCrashReporterWindowController"});
    EXPECT_EQ(name, "Grace");
    EXPECT_EQ(email, "grace@example.org");
    EXPECT_EQ(details, "It froze.");
    EXPECT_EQ(f.defaults.stringForKey(BWCrashReporterWindowController::kSenderEmailKey),
              "grace@example.org");

    // "Don't Send" changes nothing, whatever was typed.
    f.modal.answer([](QDialog& dialog) {
        auto& window = dynamic_cast<BWCrashReporterWindowController&>(dialog);
        EXPECT_EQ(window.emailField()->text(), "grace@example.org");
        window.nameField()->setText(QStringLiteral("Someone Else"));
        window.dontSendButton()->click();
        return window.result();
    });
    QString untouched = QStringLiteral("kept");
    EXPECT_FALSE(BWCrashReporterWindowController::requestReportName(f.defaults, f.modal, &untouched,
                                                                    nullptr, nullptr));
    EXPECT_EQ(untouched, "kept");
    EXPECT_EQ(f.defaults.stringForKey(BWCrashReporterWindowController::kSenderNameKey), "Grace");
}

TEST(CrashReporterDialog, RunsFromTheConfirmationHandlerWithTheCollectedLog) {
    SupportFixture f;
    f.scheduler.setBackgroundRunsAutomatically(false);
    f.systemLog.stored = {{QDateTime(), QStringLiteral("12:00"), QStringLiteral("started")}};
    auto support = f.makeSupport();
    QList<TLMUserConfirmation> notified;
    support->setCrashNotifier([&notified](TLMUserConfirmation a) { notified << a; });
    f.modal.answer(BWCrashReporterWindowController::kSendTag);

    EXPECT_TRUE(support->handleCrashReports({}));
    EXPECT_TRUE(notified.isEmpty()); // the log is still being read
    EXPECT_EQ(f.scheduler.runBackground(), 1);
    f.scheduler.runPending();
    EXPECT_EQ(notified, QList<TLMUserConfirmation>{TLMUserConfirmationSend});
    EXPECT_EQ(support->crashReporterLogContent(), "12:00 started\n");
    EXPECT_EQ(f.modal.shown, QStringList{"BWCrashReporterWindowController"});
}

} // namespace
