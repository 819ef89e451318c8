#include "ShellFixture.h"
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

// The log may come before or after the user's answer: a report is sent once,
// and only when both are in; declining says so at once.
TEST(CrashReportConfirmation, AnswersOnceWhetherTheLogComesBeforeOrAfterTheUser) {
    for (const bool sends : {true, false})
        for (const bool logFirst : {true, false}) {
            SCOPED_TRACE(std::string(sends ? "send" : "decline") + (logFirst ? ", log first" : ""));
            std::function<void(const QString&)> pendingLog;
            QList<TLMUserConfirmation> notified;
            QRVCrashReportConfirmation confirmation(
                [&](std::function<void(const QString&)> completion) {
                    if (logFirst)
                        completion(QString()); // an empty log still gives content
                    else
                        pendingLog = completion;
                },
                [&](QString* name, QString* email, QString* details) {
                    *name = QStringLiteral("Ada");
                    *email = QStringLiteral("ada@example.org");
                    *details = QStringLiteral("Pasted a shortcut.");
                    return sends;
                },
                [&](TLMUserConfirmation answer) { notified << answer; });
            EXPECT_TRUE(confirmation.handleReports({}));
            if (!logFirst) {
                EXPECT_EQ(notified.size(), sends ? 0 : 1); // a send waits for the log
                ASSERT_TRUE(pendingLog);
                std::exchange(pendingLog, nullptr)(QStringLiteral("line\n"));
            }
            EXPECT_EQ(notified, QList<TLMUserConfirmation>{sends ? TLMUserConfirmationSend
                                                                 : TLMUserConfirmationDontSend});
            EXPECT_EQ(confirmation.crashReporterLogContent(),
                      logFirst ? QRVConsoleLog::noEntriesText() : QStringLiteral("line\n"));
            EXPECT_EQ(confirmation.crashReporterName(), sends ? "Ada" : QString());
            EXPECT_EQ(confirmation.crashReporterEmail(), sends ? "ada@example.org" : QString());
            EXPECT_EQ(confirmation.crashReporterDetails(),
                      sends ? "Pasted a shortcut." : QString());
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

TEST(ConsoleLog, OneLinePerEntryWithTheLogsOwnTimeElseTheEntrysTime) {
    const QDateTime time(QDate(2025, 3, 4), QTime(5, 6, 7, 89), Qt::LocalTime);
    const QString text = QRVConsoleLog::format({
        {time, QString(), QStringLiteral("first")},
        {time, QStringLiteral("Mar  4 05:06:07"), QStringLiteral("second")},
        {QDateTime(), QString(), QString()},
    });
    EXPECT_EQ(text, "2025-03-04 05:06:07.089 first\n"
                    "Mar  4 05:06:07 second\n"
                    "(no time) \n");
    EXPECT_EQ(QRVConsoleLog::format({}), "No entries in console log");
}

TEST(ConsoleLog, ReadsTheLastDayOfThisProcessOffTheMainThreadAndAnswersOnIt) {
    SupportFixture f;
    f.systemLog.stored = {{QDateTime(), QStringLiteral("t"), QStringLiteral("hello")}};
    f.scheduler.setBackgroundRunsAutomatically(false);
    QRVConsoleLog log(f.systemLog, f.scheduler, QStringLiteral("quorvane"));
    QStringList answers;
    log.gatherLogContent([&answers](const QString& text) { answers << text; });

    // Nothing is read on the caller's turn; the global queue does it.
    EXPECT_TRUE(f.systemLog.lastSender.isNull());
    EXPECT_EQ(f.scheduler.runBackground(), 1);
    EXPECT_EQ(f.systemLog.lastSender, "quorvane");
    EXPECT_EQ(f.systemLog.lastSince, f.scheduler.now().addSecs(-86400));
    EXPECT_EQ(f.systemLog.lastLimit, QRVConsoleLog::kMaximumEntries);
    EXPECT_TRUE(answers.isEmpty()); // the answer waits for the main queue
    f.scheduler.runPending();
    EXPECT_EQ(answers, QStringList{"t hello\n"});

    // No journal reads as no entries.
    f.systemLog.failure = QStringLiteral("The system journal could not be opened: denied");
    log.gatherLogContent([&answers](const QString& text) { answers << text; });
    f.scheduler.runBackground();
    f.scheduler.runPending();
    EXPECT_EQ(answers.last(), "No entries in console log");
}

} // namespace
