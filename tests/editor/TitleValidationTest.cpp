// The title checks themselves: the warnings and their texts, and the fast
// pass against the plain step-by-step reference on randomised lists.
#include "TitleValidationReference.h"
#include "editor/QRVMenuItemLookup.h"
#include "editor/QRVTitleValidation.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <random>

using namespace qrv;
using Kind = QRVTitleWarning::Kind;

namespace {

const QString kEsc = QString(QChar(0x1B));

QRVValidationSnapshot::Record rec(const QString& title, const QString& key) {
    return {title, key};
}

QRVValidationSnapshot::MenuItem menuItem(const QString& title, bool leaf, const QString& name) {
    return {title, leaf, name};
}

QRVValidationSnapshot snapshotOf(QList<QRVValidationSnapshot::Record> records,
                                 std::optional<QList<QRVValidationSnapshot::MenuItem>> items = {}) {
    QRVValidationSnapshot snapshot{std::move(records), nullptr};
    if (items)
        snapshot.menuItems = std::make_shared<const QRVValidationSnapshot::Menus>(*items);
    return snapshot;
}

QList<Kind> kinds(const QList<QRVTitleWarning>& warnings) {
    QList<Kind> out;
    for (const auto& warning : warnings)
        out << warning.kind;
    return out;
}

} // namespace

TEST(TitleValidation, DuplicatesCompareWithTheNearestEarlierRecordOfTheSameExactTitle) {
    // An absent key differs from an empty one; two absent keys are alike; case
    // and trailing blanks make different titles.
    EXPECT_EQ(kinds(titleWarnings(snapshotOf(
                  {rec("Save", "@s"), rec("Save", "@~s"), rec("Save", "@s"), rec("Save", "@s"),
                   rec("save", "@x"), rec("Save ", "@y"), rec("Open", QString()), rec("Open", ""),
                   rec("Find", QString()), rec("Find", QString())}))),
              (QList<Kind>{Kind::None, Kind::Duplicate, Kind::Duplicate, Kind::None, Kind::None,
                           Kind::None, Kind::None, Kind::Duplicate, Kind::None, Kind::None}));
}

TEST(TitleValidation, PathsOfTheListAndMenuItemsOfTheTitleMakeItAmbiguous) {
    const QString fileSave = kEsc + "File" + kEsc + "Save";
    const QString editSave = kEsc + "Edit" + kEsc + "Save";
    const QString autoSave = kEsc + "File" + kEsc + "AutoSave";
    // The first such path in the list is named, wherever the record stands.
    const auto paths = titleWarnings(snapshotOf(
        {rec(editSave, "@a"), rec("Save", "@s"), rec(fileSave, "@b"), rec("AutoSave", "")}));
    EXPECT_EQ(paths.at(1), (QRVTitleWarning{Kind::PathOverlap, "Edit→Save", {}}));
    EXPECT_EQ(paths.at(2).kind, Kind::None);
    EXPECT_EQ(titleWarnings(snapshotOf({rec("Save", "@s"), rec(autoSave, "@b")})).at(0).kind,
              Kind::None); // only a whole last title counts

    const QList<QRVValidationSnapshot::MenuItem> items{menuItem("Format", false, "Edit→Format"),
                                                       menuItem("Format", true, "Text→Format"),
                                                       menuItem("Save", true, "File→Save"),
                                                       menuItem("Save", false, "Tools→Save"),
                                                       menuItem("Save", true, "Share→Save"),
                                                       menuItem("Save", true, "Window→Save"),
                                                       menuItem("Share", false, "File→Share"),
                                                       menuItem("Share", false, "Edit→Share"),
                                                       menuItem("Zoom", true, "Window→Zoom"),
                                                       menuItem("", true, "File→"),
                                                       menuItem("", true, "Edit→")};
    const auto warnings = titleWarnings(
        snapshotOf({rec("Save", "@s"), rec("Format", "@f"), rec("Share", "@h"), rec("Zoom", "@z"),
                    rec("Print", "@p"), rec("", "@e"), rec(QString(), QString())},
                   items));
    EXPECT_EQ(warnings.at(0), (QRVTitleWarning{Kind::TwoCandidates, "File→Save", "Share→Save"}));
    EXPECT_EQ(warnings.at(1), (QRVTitleWarning{Kind::OneCandidate, "Text→Format", {}}));
    EXPECT_EQ(warnings.at(2), (QRVTitleWarning{Kind::NoLeaf, "Share", {}}));
    EXPECT_EQ(kinds(warnings.mid(3)), QList<Kind>(4, Kind::None));
    // Menus not loaded: no candidates, whatever the title.
    EXPECT_EQ(titleWarnings(snapshotOf({rec("Save", "@s")})).at(0).kind, Kind::None);
}

// The texts themselves are checked where the command line prints them.
TEST(TitleValidation, WarningTextsKeepPlaceholdersInsideNames) {
    EXPECT_EQ(QRVTitleWarning{}.text(), QString());
    EXPECT_EQ((QRVTitleWarning{Kind::TwoCandidates, "A→100%2", "B→Save"}.text()),
              "This menu item title is ambiguous. Do you mean 'A→100%2' or 'B→Save' ?");
}

TEST(TitleValidation, MenuSnapshotNamesItemsByTheirPath) {
    auto file = std::make_shared<QRVMenuItem>();
    file->setTitle("File");
    auto recent = std::make_shared<QRVMenuItem>();
    recent->setTitle("Open Recent");
    recent->setParent(file);
    auto clear = std::make_shared<QRVMenuItem>();
    clear->setTitle("Clear Menu");
    clear->setParent(recent);
    recent->setChildren({clear});
    file->setChildren({recent});

    EXPECT_EQ(QRVValidationSnapshot::menuItemsOf(std::nullopt), nullptr);
    const auto items = QRVValidationSnapshot::menuItemsOf(QRVMenuItemList{clear, recent});
    ASSERT_EQ(items->items().size(), 2);
    EXPECT_EQ(items->items().at(0).name, "File→Open Recent→Clear Menu");
    EXPECT_TRUE(items->items().at(0).isLeaf);
    EXPECT_EQ(items->items().at(1).title, "Open Recent");
    EXPECT_FALSE(items->items().at(1).isLeaf);
}

// Small vocabularies make titles, paths and menu items collide often, so
// every branch of the checks is met many times.
TEST(TitleValidation, FastPassEqualsTheReferenceOnRandomisedLists) {
    std::mt19937 random(20261206);
    auto pick = [&](int n) {
        return std::uniform_int_distribution<int>(0, n - 1)(random);
    };
    const QStringList words{"Save", "Open", "Format", "Share", "Zoom", "save", "Save ", "", "A"};
    const QStringList keys{"@s", "@~s", "", "@$s", "x"};
    auto title = [&]() -> QString {
        switch (pick(8)) {
        case 0:
            return QString(); // absent
        case 1:
        case 2: { // a path, mostly stored with its leading separator
            QString path = pick(4) ? kEsc : QString();
            const int levels = 1 + pick(3);
            for (int l = 0; l < levels; ++l)
                path += (l ? kEsc : QString()) + words.at(pick(words.size()));
            return pick(10) ? path : path + kEsc;
        }
        default:
            return words.at(pick(words.size()));
        }
    };

    for (int round = 0; round < 10000; ++round) {
        QRVValidationSnapshot snapshot;
        const int records = pick(12);
        for (int r = 0; r < records; ++r)
            snapshot.records.append(
                {title(), pick(6) ? keys.at(pick(keys.size())) : QString() /* absent */});
        if (pick(5)) {
            QList<QRVValidationSnapshot::MenuItem> items;
            const int count = pick(14);
            for (int m = 0; m < count; ++m)
                items.append({words.at(pick(words.size())), pick(3) != 0,
                              QStringLiteral("Menu%1→item").arg(m)});
            snapshot.menuItems = std::make_shared<const QRVValidationSnapshot::Menus>(items);
        }
        const auto expected = qrv::testing::referenceTitleWarnings(snapshot);
        ASSERT_EQ(titleWarnings(snapshot), expected) << "round " << round;
    }
}

TEST(MenuItemLookup, ALeafIsFoundOnlyWhenItsTitleIsUnique) {
    auto make = [](const QString& t) {
        auto i = std::make_shared<QRVMenuItem>();
        i->setTitle(t);
        return i;
    };
    const auto save1 = make("Save"), save2 = make("Save"), print = make("Print");
    EXPECT_EQ(QRVMenuItemLookup::leafMenuItemMatchingTitle({save1, print}, "Save"), save1);
    EXPECT_EQ(QRVMenuItemLookup::leafMenuItemMatchingTitle({save1, print, save2}, "Save"), nullptr);
    EXPECT_EQ(QRVMenuItemLookup::leafMenuItemMatchingTitle({save1, print}, "save"), nullptr);
}

TEST(MenuItemLookup, AFullDisplayTitleIsFollowedLevelByLevel) {
    auto make = [](const QString& t, QRVMenuItemList children = {}) {
        auto i = std::make_shared<QRVMenuItem>();
        i->setTitle(t);
        i->setChildren(children);
        return i;
    };
    const auto save = make("Save"), editSave = make("Save");
    const auto file = make("File", {make("Open"), save});
    const auto edit = make("Edit", {editSave});
    const auto secondFile = make("File", {make("Save")});
    const QRVMenuItemList top{file, edit, secondFile};
    using L = QRVMenuItemLookup;
    EXPECT_EQ(L::menuItemMatchingFullDisplayTitle(top, "File" + kEsc + "Save"), save);
    EXPECT_EQ(L::menuItemMatchingFullDisplayTitle(top, "File" + kEsc + "Save" + kEsc), save);
    EXPECT_EQ(L::menuItemMatchingFullDisplayTitle(top, "Edit" + kEsc + "Save"), editSave);
    EXPECT_EQ(L::menuItemMatchingFullDisplayTitle(top, "File"), file);
    EXPECT_EQ(L::menuItemMatchingFullDisplayTitle(top, "File" + kEsc + "Quit"), nullptr);
    EXPECT_EQ(L::menuItemMatchingFullDisplayTitle(top, "File" + kEsc + "Save" + kEsc + "As"),
              nullptr);
    EXPECT_EQ(L::menuItemMatchingFullDisplayTitle(top, ""), nullptr);
    EXPECT_EQ(L::menuItemMatchingFullDisplayTitle(top, kEsc + "File"), nullptr); // stored form
    EXPECT_EQ(L::menuItemMatchingFullDisplayTitle({}, "File"), nullptr);
}
