#include "model/QRVMenuShortcut.h"
#include "platform/Services.h"
#include "platform/UserDefaults.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/plist/PlistCodec.h"
#include "platform/testing/RecordingNotifications.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

const QString kApp = QStringLiteral("com.example.App");
const QString kKey = QStringLiteral("NSUserKeyEquivalents");

class Store : public ::testing::Test {
  protected:
    Store()
        : prefs(world.preferences)
        , defaults(world.defaults)
        , notifications(world.notifications)
        , home(world.home) {}

    // Files are checked with the property-list reader, not through the store.
    QVariant file(const QString& path) const {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        auto decoded = plist::decode(f.readAll());
        return decoded ? *decoded : QVariant();
    }
    QVariant table(const QString& domain) const {
        return file(home.preferencesFile(domain)).toMap().value(kKey);
    }
    QVariant registration() const {
        return file(home.preferencesFile("com.apple.universalaccess"))
            .toMap()
            .value("com.apple.custommenu.apps");
    }
    qint64 operations() const { return defaults.integerForKey("usageOperations"); }
    void store(const QString& domain, const QString& key, const QVariant& value) {
        ASSERT_TRUE(prefs.setValue(key, value, domain));
    }
    bool save(const QList<QRVMenuShortcutPtr>& shortcuts, const QString& bundleIdentifier,
              QString* problem = nullptr) {
        return QRVMenuShortcut::saveMenuShortcuts(world.services, shortcuts, bundleIdentifier,
                                                  problem);
    }
    QList<QRVMenuShortcutPtr> read(const QString& bundleIdentifier, QVariant* asRead = nullptr) {
        return QRVMenuShortcut::menuShortcutsWithApplication(world.services, bundleIdentifier,
                                                             asRead);
    }
    static QRVMenuShortcutPtr record(const QString& app, const QString& title, const QString& key) {
        return QRVMenuShortcut::create(app, title, key);
    }

    qrv::testing::FakePlatform world;
    PlistFilePreferenceStore& prefs;
    UserDefaults& defaults;
    qrv::testing::RecordingNotifications& notifications;
    const qrv::testing::TempHome& home;
    const QString app = kApp;
    const QString all; // all applications
};

TEST_F(Store, ListsSortedRecordsAndHandsOutTheTableAsRead) {
    const QVariantMap stored{{"item 10", "@a"}, {"Item 2", "@b"}, {"Zoom", ""}, {"alpha", "^c"}};
    store(kApp, kKey, stored);
    QVariant asRead;
    const auto shortcuts = read(app, &asRead);
    QStringList titles;
    for (const auto& s : shortcuts)
        titles << s->title();
    EXPECT_EQ(titles, QStringList({"alpha", "Item 2", "item 10", "Zoom"}));
    EXPECT_EQ(shortcuts.first()->bundleIdentifier(), kApp);
    EXPECT_EQ(asRead, QVariant(stored));

    store(kApp, kKey, QStringLiteral("not a table"));
    EXPECT_TRUE(read(app, &asRead).isEmpty());
    EXPECT_EQ(asRead, QVariant("not a table"));
    EXPECT_TRUE(read(all).isEmpty());
}

TEST_F(Store, NothingIsWrittenWhenNothingChanged) {
    store(kApp, kKey, QVariantMap{{"Save", "@s"}, {"Copy", ""}});
    store("com.apple.universalaccess", "com.apple.custommenu.apps", QVariantList{kApp});
    QFile tableFile(home.preferencesFile(kApp));
    ASSERT_TRUE(tableFile.open(QIODevice::ReadOnly));
    const QByteArray before = tableFile.readAll();
    const auto modified = QFileInfo(tableFile).lastModified();

    EXPECT_TRUE(save(read(app), app));
    EXPECT_EQ(QFileInfo(home.preferencesFile(kApp)).lastModified(), modified);
    tableFile.seek(0);
    EXPECT_EQ(tableFile.readAll(), before);
    EXPECT_TRUE(notifications.posted.isEmpty());
    EXPECT_EQ(registration(), QVariant(QVariantList{kApp}));
    EXPECT_EQ(operations(), 0);
}

TEST_F(Store, RemovingEveryEntryWritesAnEmptyTableAndUnregisters) {
    store(kApp, kKey, QVariantMap{{"Save", "@s"}, {"Copy", "@c"}});
    store("com.apple.universalaccess", "com.apple.custommenu.apps",
          QVariantList{kApp, "com.other", kApp});
    EXPECT_TRUE(save({}, app));
    EXPECT_EQ(table(kApp), QVariant(QVariantMap()));
    EXPECT_EQ(registration(), QVariant(QVariantList{"com.other"}));
    ASSERT_EQ(notifications.posted.size(), 1);
    EXPECT_EQ(notifications.posted[0].name, QString("com.apple.userkeyequivalentsdidchange"));
    EXPECT_EQ(operations(), 0);
}

TEST_F(Store, GlobalDomainIsRegisteredOnceAsNSGlobalDomain) {
    EXPECT_TRUE(save({record(QString(), "Copy", "@c")}, all));
    EXPECT_EQ(file(home.preferencesFile(".GlobalPreferences")).toMap().value(kKey),
              QVariant(QVariantMap{{"Copy", "@c"}}));
    EXPECT_EQ(notifications.posted.value(0).userInfo,
              (QVariantMap{{"NSGlobalDomain", QVariantMap{{"Copy", "@c"}}}}));
    EXPECT_EQ(operations(), 1);
    const qint64 sessions = defaults.integerForKey("usageSessions");
    EXPECT_GE(sessions, 1);

    EXPECT_TRUE(save({record(QString(), "Copy", "@c"), record("com.other", "Paste", "@v")}, all));
    EXPECT_EQ(registration(), QVariant(QVariantList{"NSGlobalDomain"}));
    EXPECT_EQ(operations(), 2); // the other application's record counts for all applications
    EXPECT_EQ(defaults.integerForKey("usageSessions"), sessions); // once per run
}

TEST_F(Store, EmptyAndRepeatedTitlesAreLeftOutAndNotCounted) {
    QString problem;
    EXPECT_FALSE(save({record(kApp, "Copy", "@c"), record(kApp, "Copy", "@x"),
                       record(kApp, "", "@e"), record(kApp, "Paste", QString()),
                       record("com.other", "Cut", "@t"), record(QString(), "Undo", "@z")},
                      app, &problem));
    EXPECT_EQ(table(kApp), QVariant(QVariantMap{{"Copy", "@c"}, {"Paste", ""}}));
    EXPECT_TRUE(problem.contains("without a title")) << problem.toStdString();
    EXPECT_TRUE(problem.contains("“Copy”")) << problem.toStdString();
    EXPECT_EQ(operations(), 0);
    EXPECT_EQ(registration(), QVariant(QVariantList{kApp}));
    EXPECT_EQ(notifications.posted.size(), 1);
}

TEST_F(Store, SandboxCopiesGoToEachContainerOnly) {
    const QString container = home.file("Library/Containers/" + kApp + "/Data/Library/Preferences");
    const QString otherContainer =
        home.file("Library/Containers/com.other/Data/Library/Preferences");
    ASSERT_TRUE(QDir().mkpath(container) && QDir().mkpath(otherContainer));
    EXPECT_TRUE(save({record(kApp, "Save", "@s")}, app));
    EXPECT_EQ(file(container + "/" + kApp + ".plist").toMap().value(kKey),
              QVariant(QVariantMap{{"Save", "@s"}}));
    EXPECT_TRUE(QDir(otherContainer).isEmpty());
    EXPECT_TRUE(save({record(QString(), "Save", "@s")}, all));
    EXPECT_FALSE(QFile::exists(container + "/.GlobalPreferences.plist"));
}

TEST_F(Store, ChangeSetHoldsNewValuesAndTheOldValuesOfRemovedTitles) {
    store(kApp, kKey, QVariantMap{{"Keep", "@k"}, {"Change", "@c"}, {"Drop", "@d"}});
    EXPECT_TRUE(save(
        {record(kApp, "Keep", "@k"), record(kApp, "Change", "@$c"), record(kApp, "New", "")}, app));
    EXPECT_EQ(notifications.posted.value(0).userInfo,
              (QVariantMap{{kApp, QVariantMap{{"Change", "@$c"}, {"Drop", "@d"}, {"New", ""}}}}));
    EXPECT_EQ(operations(), 2);
}

TEST_F(Store, ValuesThatAreNotStringsSurviveASaveThatDoesNotTouchThem) {
    const QVariantMap odd{{"Number", qint64(7)}, {"Nested", QVariantMap{{"a", "b"}}}};
    store(kApp, kKey, odd);
    auto shortcuts = read(app);
    ASSERT_EQ(shortcuts.size(), 2);
    EXPECT_TRUE(shortcuts[0]->keyEquivalent().isNull());
    EXPECT_FALSE(shortcuts[0]->shortcut());
    shortcuts.append(record(kApp, "Save", "@s"));
    EXPECT_TRUE(save(shortcuts, app));
    QVariantMap expected = odd;
    expected.insert("Save", "@s");
    EXPECT_EQ(table(kApp), QVariant(expected));

    shortcuts[1]->setKeyEquivalent("@n"); // "Number": the user gave it a key
    EXPECT_TRUE(save(shortcuts, app));
    EXPECT_EQ(table(kApp).toMap().value("Number"), QVariant("@n"));
}

TEST_F(Store, ABundleIdentifierThatIsAPathWritesNothingOutsideThePreferences) {
    const QString outside = home.file("outside");
    store(outside, kKey, QVariantMap{{"Copy", "@c"}});
    const QString pathLike = outside;
    EXPECT_TRUE(read(pathLike).isEmpty());
    QString problem;
    EXPECT_FALSE(save({record(outside, "Save", "@s")}, pathLike, &problem));
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_EQ(file(outside + ".plist").toMap().value(kKey), QVariant(QVariantMap{{"Copy", "@c"}}));
    EXPECT_TRUE(notifications.posted.isEmpty());
    EXPECT_FALSE(registration().isValid());
}

// A save killed between the table and the registration left a table whose
// application is not registered; the same save again finishes the work.
TEST_F(Store, AnInterruptedSaveIsFinishedByTheNext) {
    store(kApp, kKey, QVariantMap{{"Save", "@s"}});
    EXPECT_TRUE(save({record(kApp, "Save", "@s")}, app));
    EXPECT_EQ(registration(), QVariant(QVariantList{kApp}));
    ASSERT_EQ(notifications.posted.size(), 1);
    EXPECT_EQ(notifications.posted[0].userInfo, (QVariantMap{{kApp, QVariantMap{{"Save", "@s"}}}}));
    EXPECT_EQ(operations(), 0); // the edit itself was counted, or not, by the save that made it
}

TEST_F(Store, AFailedCopyIsWrittenByTheNextSaveAndNotCounted) {
    const QString container = home.file("Library/Containers/" + kApp + "/Data/Library/Preferences");
    const QString copy = container + "/" + kApp + ".plist";
    ASSERT_TRUE(QDir().mkpath(copy)); // a folder where the copy belongs: it cannot be written
    QString problem;
    EXPECT_FALSE(save({record(kApp, "Save", "@s")}, app, &problem));
    EXPECT_TRUE(problem.contains(copy)) << problem.toStdString();
    EXPECT_EQ(table(kApp), QVariant(QVariantMap{{"Save", "@s"}}));
    EXPECT_EQ(operations(), 0);

    ASSERT_TRUE(QDir(copy).removeRecursively());
    EXPECT_TRUE(save({record(kApp, "Save", "@s")}, app, &problem)) << problem.toStdString();
    EXPECT_EQ(file(copy).toMap().value(kKey), QVariant(QVariantMap{{"Save", "@s"}}));
    EXPECT_EQ(notifications.posted.size(), 2);
}

TEST_F(Store, IdentifiersThatNameTheGlobalTableAreRefused) {
    for (const char* raw : {".GlobalPreferences", "NSGlobalDomain", "nsglobaldomain",
                            "kCFPreferencesAnyApplication", "KCFPREFERENCESANYAPPLICATION", ".",
                            "..", "-", "com..example", ".com.example", "com.example.",
                            "com.ex\x01"
                            "ample",
                            "com.example\n"}) {
        const QString disguise = QString::fromUtf8(raw);
        const QString disguised = disguise;
        QString problem;
        EXPECT_FALSE(save({record(disguise, "Copy", "@c")}, disguised, &problem))
            << disguise.toStdString();
        EXPECT_TRUE(problem.contains(disguise)) << problem.toStdString();
        EXPECT_FALSE(QRVMenuShortcut::readMenuShortcuts(world.services, disguised).ok())
            << disguise.toStdString();
    }
    EXPECT_FALSE(QFile::exists(home.preferencesFile(".GlobalPreferences")));
    EXPECT_FALSE(registration().isValid());
    EXPECT_TRUE(notifications.posted.isEmpty());
    EXPECT_TRUE(save({record(kApp, "Copy", "@c")}, QString("com.example-app.Mail_2")));
}

TEST_F(Store, ATableThatCannotBeReadIsAnErrorNotAnEmptyList) {
    QFile truncated(home.preferencesFile(kApp));
    ASSERT_TRUE(QDir().mkpath(home.file("Library/Preferences")) &&
                truncated.open(QIODevice::WriteOnly));
    truncated.write("<plist><dict><key>NSUserKeyEquivalents</key><dict>");
    truncated.close();
    const auto read = QRVMenuShortcut::readMenuShortcuts(world.services, app);
    ASSERT_FALSE(read.ok());
    EXPECT_TRUE(read.error().contains("cannot be read")) << read.error().toStdString();
    EXPECT_TRUE(read.error().contains(home.preferencesFile(kApp))) << read.error().toStdString();
}

TEST_F(Store, WriteFailureIsReportedAndNothingIsAnnounced) {
    // The global domain's file is a folder: it cannot be replaced.
    ASSERT_TRUE(QDir().mkpath(home.preferencesFile(".GlobalPreferences")));
    QString problem;
    EXPECT_FALSE(save({record(QString(), "Copy", "@c")}, all, &problem));
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_TRUE(notifications.posted.isEmpty());
    EXPECT_FALSE(registration().isValid());
    EXPECT_EQ(operations(), 0);
}

} // namespace
