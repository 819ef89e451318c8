// The offer to move into the Applications folder, decided and carried out
// against a machine that exists only in memory.
#include "platform/UserDefaults.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/qt/QtScheduler.h"
#include "platform/testing/FakeBundleMoveSystem.h"
#include "platform/testing/ScriptedAlertPresenter.h"
#include "platform/testing/VirtualScheduler.h"
#include "shell/BWMoveApplication.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QGuiApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

using namespace qrv;
using ::testing::ElementsAre;
using Outcome = BWMoveApplication::Outcome;

namespace {

// The lines the move logs, in order.
class MoveLog {
  public:
    MoveLog() {
        s_lines = &m_lines;
        m_previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext& context, const QString& message) {
                if (qstrcmp(context.category, "qrv.move") == 0)
                    s_lines->append(message);
            });
    }
    ~MoveLog() {
        qInstallMessageHandler(m_previous);
        s_lines = nullptr;
    }
    const QStringList& lines() const { return m_lines; }

  private:
    static inline QStringList* s_lines = nullptr;
    QStringList m_lines;
    QtMessageHandler m_previous;
};

// Notes, when the offer shows, whether the move counted as in progress.
class ObservingAlerts final : public AlertPresenter {
  public:
    AlertResponse runModal(const Alert& alert) override {
        inProgressWhenShown.append(BWMoveApplication::isMoveInProgress());
        quitOnLastWindowClosedWhenShown.append(QGuiApplication::quitOnLastWindowClosed());
        return scripted.runModal(alert);
    }
    void beep() override { scripted.beep(); }

    qrv::testing::ScriptedAlertPresenter scripted;
    QList<bool> inProgressWhenShown;
    QList<bool> quitOnLastWindowClosedWhenShown;
};

const QString kSource = QStringLiteral("/home/me/Downloads/Quorvane.app");
const QString kDestination = QStringLiteral("/opt/Applications/Quorvane.app");
const QString kCopy = QStringLiteral("copy ") + kSource + QStringLiteral(" -> ") + kDestination;
const QString kRemoveSource = QStringLiteral("remove ") + kSource;
const QString kMoving = QStringLiteral("INFO -- Moving myself to the Applications folder");

class MoveApplication : public ::testing::Test {
  protected:
    enum Answer { Move = 0, DoNotMove = 1 };

    Outcome launch() {
        BWMoveApplication move({system, defaults, alerts, scheduler});
        const Outcome outcome = move.moveToApplicationsFolderIfNecessary();
        EXPECT_FALSE(BWMoveApplication::isMoveInProgress()) << "the flag outlived the check";
        EXPECT_TRUE(QGuiApplication::quitOnLastWindowClosed());
        return outcome;
    }
    Outcome answerAndLaunch(Answer answer, bool suppress = false) {
        alerts.scripted.answer(answer, suppress);
        return launch();
    }
    QString relaunch(const QString& destination = kDestination) const {
        return QStringLiteral("relaunch %1 after %2")
            .arg(destination)
            .arg(QCoreApplication::applicationPid());
    }
    const QList<Alert>& shown() const { return alerts.scripted.shown; }

    qrv::testing::TempHome home;
    PlistFilePreferenceStore store{home.path()};
    UserDefaults defaults{store, QStringLiteral("com.brackwyn.Quorvane")};
    qrv::testing::VirtualScheduler scheduler;
    ObservingAlerts alerts;
    qrv::testing::FakeBundleMoveSystem system;
    MoveLog log;
};

TEST_F(MoveApplication, OffersOnlyOutsideApplicationsFoldersWhereSomethingCanMove) {
    const QList<std::pair<QString, bool>> cases{
        {QStringLiteral("/opt/Applications/Quorvane.app"), false},
        {QStringLiteral("/home/me/Applications/Tools/Quorvane.app"), false},
        // Any folder named Applications counts, listed or not; only a whole name matches.
        {QStringLiteral("/media/backup/Applications/Quorvane.app"), false},
        {QStringLiteral("/opt/Applications2/Quorvane.app"), true},
        {QString(), false}, // not started from an application folder (a bin/ folder)
        // A helper inside the very copy it would replace, or inside another application.
        {QStringLiteral("/opt/Applications/Quorvane.app/Contents/Helpers/Quorvane.app"), false},
        {QStringLiteral("/opt/Applications/Other.app/Contents/Helpers/Quorvane.app"), true},
        {kSource, true},
    };
    for (const auto& [path, offered] : cases) {
        system.bundle.path = path;
        const qsizetype before = shown().size();
        EXPECT_EQ(answerAndLaunch(DoNotMove), Outcome::Continue) << path.toStdString();
        EXPECT_EQ(shown().size(), before + (offered ? 1 : 0)) << path.toStdString();
    }
    EXPECT_THAT(alerts.inProgressWhenShown, ElementsAre(true, true, true));
    EXPECT_THAT(alerts.quitOnLastWindowClosedWhenShown, ElementsAre(false, false, false));
    EXPECT_TRUE(system.calls.isEmpty());
}

TEST_F(MoveApplication, TheOfferSaysWhyAndWhatItTakes) {
    const QString base =
        QStringLiteral("I can move myself to the Applications folder if you’d like.");
    const QString admin = QStringLiteral(" Note that this will require an administrator password.");
    const QString downloads = QStringLiteral(" This will keep your Downloads folder uncluttered.");

    EXPECT_EQ(answerAndLaunch(DoNotMove), Outcome::Continue);
    system.bundle.path = QStringLiteral("/tmp/Quorvane.app");
    EXPECT_EQ(answerAndLaunch(DoNotMove), Outcome::Continue);
    // An existing copy this user may not replace.
    system.bundle.path = kSource;
    system.items.insert(kDestination);
    system.readOnly.insert(kDestination);
    EXPECT_EQ(answerAndLaunch(DoNotMove), Outcome::Continue);
    // An Applications folder this user may not write to.
    system.items.clear();
    system.readOnly = {QStringLiteral("/opt/Applications")};
    EXPECT_EQ(answerAndLaunch(DoNotMove), Outcome::Continue);

    ASSERT_EQ(shown().size(), 4);
    EXPECT_EQ(shown()[0].informativeText, base + downloads);
    EXPECT_EQ(shown()[1].informativeText, base);
    EXPECT_EQ(shown()[2].informativeText, base + admin);
    EXPECT_EQ(shown()[3].informativeText, base + admin);

    const Alert& offer = shown().first();
    EXPECT_EQ(offer.messageText, "Move to Applications folder?");
    ASSERT_EQ(offer.buttons.size(), 2);
    EXPECT_EQ(offer.buttons[0].title, "Move to Applications Folder");
    EXPECT_EQ(offer.buttons[1].title, "Do Not Move");
    EXPECT_EQ(offer.buttons[1].keyEquivalent, "\x1b");
    EXPECT_TRUE(offer.showsSuppressionButton);
    EXPECT_TRUE(system.calls.isEmpty());
}

TEST_F(MoveApplication, DoNotMoveAsksAgainNextTimeUnlessTheBoxWasChecked) {
    EXPECT_EQ(answerAndLaunch(DoNotMove, false), Outcome::Continue);
    EXPECT_EQ(answerAndLaunch(DoNotMove, true), Outcome::Continue);
    EXPECT_TRUE(defaults.boolForKey("moveToApplicationsFolderAlertSuppress"));
    EXPECT_EQ(launch(), Outcome::Continue);
    EXPECT_EQ(shown().size(), 2);
    EXPECT_TRUE(system.calls.isEmpty());

    // Checking the box and then moving does not silence later offers.
    defaults.removeObject("moveToApplicationsFolderAlertSuppress");
    system.bundle.path = QStringLiteral("/tmp/Quorvane.app");
    EXPECT_EQ(answerAndLaunch(Move, true), Outcome::Quit);
    EXPECT_FALSE(defaults.boolForKey("moveToApplicationsFolderAlertSuppress"));
}

TEST_F(MoveApplication, BetaVersionsGetTheirOwnNameAndANamelessBundleKeepsItsFolderName) {
    system.bundle.shortVersion = QStringLiteral("3.1b2");
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Quit);
    system.bundle = {QStringLiteral("/tmp/Renamed By User.app"), QString(), QStringLiteral("3.1")};
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Quit);
    // A name that would lead out of the Applications folder is not used either.
    system.bundle.name = QStringLiteral("../../etc");
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Quit);
    EXPECT_THAT(system.calls, ::testing::IsSupersetOf(
                                  {kCopy.chopped(4) + " Beta.app",
                                   QStringLiteral("copy /tmp/Renamed By User.app -> "
                                                  "/opt/Applications/Renamed By User.app"),
                                   QStringLiteral("trash /opt/Applications/Renamed By User.app")}));
    EXPECT_FALSE(system.calls.join('\n').contains("etc"));
}

TEST_F(MoveApplication, FromADiskImageOrAnotherApplicationTheSourceIsLeftAlone) {
    system.diskImage = DiskImage{DiskImage::Kind::Loop, QStringLiteral("/dev/loop3"),
                                 QStringLiteral("/media/me/Quorvane"),
                                 QStringLiteral("/home/me/Downloads/Quorvane.img")};
    system.bundle.path = QStringLiteral("/media/me/Quorvane/Quorvane.app");
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Quit);
    EXPECT_THAT(system.calls, ElementsAre("copy /media/me/Quorvane/Quorvane.app -> " + kDestination,
                                          relaunch(), "detach /dev/loop3"));

    // Nested inside another application (on an image or not): neither removed nor detached.
    system.calls.clear();
    system.items.clear();
    system.bundle.path = QStringLiteral("/media/me/Quorvane/Suite.app/Contents/Quorvane.app");
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Quit);
    EXPECT_THAT(system.calls,
                ElementsAre("copy " + system.bundle.path + " -> " + kDestination, relaunch()));
}

TEST_F(MoveApplication, MovesFromDownloadsAndAnExistingCopyGoesToTheTrashFirst) {
    const QString trash = QStringLiteral("trash ") + kDestination;
    system.items = {kSource, kDestination};
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Quit);
    EXPECT_THAT(system.calls, ElementsAre(trash, kCopy, kRemoveSource, relaunch()));
    EXPECT_THAT(log.lines(), ElementsAre(kMoving));
    EXPECT_TRUE(system.exists(kDestination));
    EXPECT_FALSE(system.exists(kSource));

    // A running one too; when the Trash refuses it, nothing is copied.
    system.calls.clear();
    system.runningFrom.insert(kDestination);
    system.refusesTrash.insert(kDestination);
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Continue);
    EXPECT_THAT(system.calls, ElementsAre(trash));
    EXPECT_THAT(log.lines(), ElementsAre(kMoving, kMoving, "Trash error: No trash on this volume",
                                         "ERROR -- Could not trash '" + kDestination + "'"));
    ASSERT_EQ(shown().size(), 3);
    EXPECT_EQ(shown().last().messageText, "Could not move to Applications folder");
    EXPECT_TRUE(shown().last().informativeText.isEmpty());
    EXPECT_TRUE(shown().last().buttons.isEmpty());
}

TEST_F(MoveApplication, AFailedCopyIsReportedAndTheProgramRunsOnFromWhereItIs) {
    system.copyFails = true;
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Continue);
    EXPECT_THAT(system.calls, ElementsAre(kCopy));
    EXPECT_THAT(log.lines(), ElementsAre(kMoving,
                                         "ERROR -- Could not copy '" + kSource + "' to '" +
                                             kDestination + "' (Disk full)",
                                         "ERROR -- Could not copy myself to " + kDestination));
    ASSERT_EQ(shown().size(), 2);
    EXPECT_EQ(shown().last().messageText, "Could not move to Applications folder");
}

TEST_F(MoveApplication, WithAdministratorRights) {
    const QString privileged =
        QStringLiteral("privileged copy ") + kSource + QStringLiteral(" -> ") + kDestination;
    system.readOnly.insert(QStringLiteral("/opt/Applications"));

    // Cancelling the password prompt: logged, nothing shown.
    system.privilegedCopy = {PrivilegedCopy::Status::Cancelled, {}};
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Continue);
    EXPECT_EQ(shown().size(), 1);
    EXPECT_THAT(log.lines(),
                ElementsAre(kMoving, "INFO -- Not moving because user canceled authorization"));

    system.privilegedCopy = {PrivilegedCopy::Status::Failed, QStringLiteral("No agent")};
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Continue);
    ASSERT_EQ(shown().size(), 3);
    EXPECT_EQ(shown().last().messageText, "Could not move to Applications folder");
    EXPECT_EQ(
        log.lines().mid(2),
        (QStringList{kMoving, "ERROR -- Could not copy myself to /Applications with authorization",
                     "ERROR -- No agent"}));

    system.privilegedCopy = {PrivilegedCopy::Status::Copied, {}};
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Quit);
    EXPECT_THAT(system.calls,
                ElementsAre(privileged, privileged, privileged, kRemoveSource, relaunch()));

    // A destination that is no application folder is never handed to the administrator.
    system.calls.clear();
    system.bundle.name.clear();
    system.bundle.path = QStringLiteral("/tmp/x");
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Continue);
    EXPECT_TRUE(system.calls.isEmpty());
}

TEST_F(MoveApplication, AfterTheCopyOnlyAMissingRelaunchKeepsTheProgramRunning) {
    // The source that cannot be removed or trashed is only logged.
    system.refusesRemoval.insert(kSource);
    system.refusesTrash.insert(kSource);
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Quit);
    EXPECT_THAT(log.lines(),
                ElementsAre(kMoving,
                            "WARNING -- Could not delete '" + kSource + "': Permission denied",
                            "Trash error: No trash on this volume",
                            "ERROR -- Could not trash '" + kSource + "'",
                            "WARNING -- Could not delete application after moving it to "
                            "Applications folder"));
    EXPECT_EQ(shown().size(), 1);

    system.items.clear();
    system.relaunchFails = true;
    EXPECT_EQ(answerAndLaunch(Move), Outcome::Continue);
    EXPECT_EQ(log.lines().last(),
              "ERROR -- Could not relaunch '" + kDestination + "' (/bin/sh could not be started)");
}

TEST_F(MoveApplication, FromAnotherThreadTheCheckWaitsForTheMainThread) {
    QtScheduler mainThread;
    std::optional<Outcome> outcome;
    std::thread([&] {
        outcome = BWMoveApplication({system, defaults, alerts, mainThread})
                      .moveToApplicationsFolderIfNecessary();
    }).join();
    EXPECT_EQ(outcome, Outcome::Continue);
    EXPECT_TRUE(shown().isEmpty());
    alerts.scripted.answer(DoNotMove);
    EXPECT_TRUE(qrv::testing::waitUntil([&] { return shown().size() == 1; }));
    EXPECT_THAT(alerts.inProgressWhenShown, ElementsAre(true));
}

} // namespace
