// Passes in time: numbered passes on the global queue, results applied on the
// main thread only while current, and the placeholder leaving a longer list.
#include "editor/QRVTitleValidator.h"
#include "platform/testing/VirtualScheduler.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

QRVMenuShortcutPtr record(const QString& title, const QString& key) {
    return QRVMenuShortcut::create("com.example.notes", title, key);
}

QRVMenuShortcutPtr placeholder() {
    auto p = QRVMenuShortcut::create("com.example.notes", QString(), QString());
    p->setIsPlaceholder(true);
    return p;
}

class TitleValidatorTest : public ::testing::Test {
  protected:
    TitleValidatorTest() { scheduler.setBackgroundRunsAutomatically(false); }

    // Leaves of that title in the menus File and Edit (kept here: items hold
    // their parents weakly).
    QRVMenuItemList twoLeavesTitled(const QString& title) {
        QRVMenuItemList items;
        for (const char* menu : {"File", "Edit"}) {
            auto parent = std::make_shared<QRVMenuItem>();
            parent->setTitle(menu);
            auto item = std::make_shared<QRVMenuItem>();
            item->setTitle(title);
            item->setParent(parent);
            parent->setChildren({item});
            menuBar << parent;
            items << item;
        }
        return items;
    }

    // Runs a pass to its end and answers what applying it did.
    QRVTitleValidator::Result::Outcome validate(const QList<QRVMenuShortcutPtr>& list,
                                                std::optional<QRVMenuItemList> menus = {}) {
        QRVTitleValidator::Result::Outcome outcome;
        validator.validateShortcuts(list, menus, [&](const QRVTitleValidator::Result& result) {
            outcome = result.applyTo(list);
        });
        scheduler.runBackground();
        scheduler.runPending();
        return outcome;
    }

    qrv::testing::VirtualScheduler scheduler;
    QRVTitleValidator validator{scheduler};
    QRVMenuItemList menuBar;
};

} // namespace

TEST_F(TitleValidatorTest, WarningsReachTheRecordsAndReplaceEarlierOnes) {
    const QList<QRVMenuShortcutPtr> list{record("Save", "@s"), record("Save", "@~s"),
                                         record("Print", "@p")};
    list.at(2)->setWarningMessage("stale");
    const auto outcome = validate(list, twoLeavesTitled("Print"));
    EXPECT_TRUE(outcome.applied);
    EXPECT_FALSE(outcome.withoutPlaceholder);
    EXPECT_TRUE(list.at(0)->warningMessage().isNull());
    EXPECT_EQ(list.at(1)->warningMessage(), "You have configured two different shortcuts for the "
                                            "same menu item. Only one can be saved.");
    EXPECT_EQ(list.at(2)->warningMessage(),
              "This menu item title is ambiguous. Do you mean 'File→Print' or 'Edit→Print' ?");
    EXPECT_EQ(validator.validationRequest(), 1u);

    // Once the duplicate is gone, so is its warning.
    list.at(1)->setTitle("Save As");
    validate(list);
    EXPECT_TRUE(list.at(1)->warningMessage().isNull());
    EXPECT_TRUE(list.at(2)->warningMessage().isNull()); // menus not loaded now
}

TEST_F(TitleValidatorTest, OnlyTheLatestPassApplies) {
    const QList<QRVMenuShortcutPtr> list{record("Save", "@s"), record("Save", "@~s")};
    int applied = 0;
    auto count = [&](const QRVTitleValidator::Result& result) {
        ++applied;
        result.applyTo(list);
    };
    validator.validateShortcuts(list, std::nullopt, count);
    // The first pass computes, then a second starts before its result is applied.
    EXPECT_EQ(scheduler.runBackground(), 1);
    validator.validateShortcuts(list, std::nullopt, count);
    scheduler.runBackground();
    scheduler.runPending();
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(validator.validationRequest(), 2u);

    // A pass overtaken before it starts computes nothing.
    validator.validateShortcuts({}, std::nullopt, count);
    validator.validateShortcuts(list, std::nullopt, count);
    scheduler.runBackground();
    scheduler.runPending();
    EXPECT_EQ(applied, 2);
}

TEST_F(TitleValidatorTest, AResultForAReplacedListOrAGoneValidatorIsDropped) {
    const QList<QRVMenuShortcutPtr> examined{record("Save", "@s"), record("Save", "@~s")};
    std::optional<QList<QRVMenuShortcutPtr>> current = examined;
    QRVTitleValidator::Result::Outcome outcome;
    validator.validateShortcuts(examined, std::nullopt,
                                [&](const auto& result) { outcome = result.applyTo(current); });
    scheduler.runBackground();
    // The same records in another order make another list.
    current = QList<QRVMenuShortcutPtr>{examined.at(1), examined.at(0)};
    scheduler.runPending();
    EXPECT_FALSE(outcome.applied);
    EXPECT_TRUE(examined.at(1)->warningMessage().isNull());

    bool called = false;
    auto gone = std::make_unique<QRVTitleValidator>(scheduler);
    gone->validateShortcuts(examined, std::nullopt, [&](const auto&) { called = true; });
    scheduler.runBackground();
    gone.reset();
    scheduler.runPending();
    EXPECT_FALSE(called);
}

TEST_F(TitleValidatorTest, TheFirstPlaceholderLeavesAListOfTwoOrMore) {
    const auto lone = placeholder();
    EXPECT_FALSE(validate({lone}).withoutPlaceholder);

    const auto first = placeholder(), second = placeholder();
    const auto real = record("Save", "@s");
    const auto outcome = validate({real, first, second});
    ASSERT_TRUE(outcome.withoutPlaceholder);
    EXPECT_EQ(*outcome.withoutPlaceholder, (QList<QRVMenuShortcutPtr>{real, second}));

    // A placeholder typed into while the pass ran is a record by now and stays.
    const auto typedInto = placeholder();
    const QList<QRVMenuShortcutPtr> list{typedInto, real};
    QRVTitleValidator::Result::Outcome later;
    validator.validateShortcuts(list, std::nullopt,
                                [&](const auto& result) { later = result.applyTo(list); });
    scheduler.runBackground();
    typedInto->setTitle("Print");
    scheduler.runPending();
    EXPECT_TRUE(later.applied);
    EXPECT_FALSE(later.withoutPlaceholder);
}
