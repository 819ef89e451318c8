// Title completion as the field asks for it: the component being typed, the
// candidates, the preselection, and what choosing one or Tab adds.
#include "editor/QRVTitleCompletion.h"
#include "menus/MenuTreeJson.h"
#include "menus/QRVApplicationCatalogue.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <random>

using namespace qrv;

namespace {

const QChar esc = QRVMenuItem::kPathSeparator;

QString path(const QStringList& titles) {
    return titles.join(esc);
}

struct Menus {
    QRVMenuItemList topLevel, leaves;
    QRVTitleCompletion completion() const { return {topLevel, leaves}; }
};

// The menu bar as the catalogue hands it to the editor: top-level menus and
// leaves sorted by title.
Menus menus(const QByteArray& json) {
    auto bar = MenuTreeJson::fromJson(json);
    EXPECT_TRUE(bar.ok());
    Menus out;
    out.topLevel = bar.valueOr({});
    QRVApplicationCatalogue::sortByTitle(out.topLevel);
    const auto all = QRVApplicationCatalogue::allMenuItemsForTopLevelMenuItems(out.topLevel);
    out.leaves = QRVApplicationCatalogue::splitNodesAndLeaves(*all).second;
    return out;
}

const QByteArray kNotesMenus = R"([
  {"title": "Notes", "children": [{"title": "About Notes"}, {"title": "Quit Notes"}]},
  {"title": "File", "children": [{"title": "New"}, {"title": "Open"}, {"title": "Save"},
     {"title": "Save As…"}, {"title": "Export", "children": [{"title": "PDF"}, {"title": "Image"}]},
     {"title": "Close"}]},
  {"title": "Edit", "children": [{"title": "Undo"}, {"title": "Copy"}, {"title": "Paste"}]},
  {"title": "View", "children": [{"title": "Zoom"}, {"title": "Zoom In"}, {"title": "As List"}]},
  {"title": "Window", "children": [{"title": "Minimize"}, {"title": "Zoom"}]}
])";

class TitleCompletionTest : public ::testing::Test {
  protected:
    TitleCompletionTest() {
        for (const auto& leaf : notes.leaves)
            if (leaf->title() == "As List")
                leaf->setPrefersFullTitle(true);
        completion = notes.completion();
    }
    // Candidates with the cursor at the end of the text.
    std::optional<QStringList> candidates(const QString& text) const {
        return completion.completionsForString(
            text, QRVTitleCompletion::rangeForUserCompletion(text, text.size()));
    }
    QString finalCompletion(const QString& text, const QString& chosen) const {
        return completion.finalCompletionForCompletion(
            text, QRVTitleCompletion::rangeForUserCompletion(text, text.size()), chosen);
    }

    Menus notes = menus(kNotesMenus);
    QRVTitleCompletion completion;
};

} // namespace

TEST(TitleCompletionRangeTest, IsTheWholeComponentAroundTheEndOfTheWord) {
    using R = QRVTextRange;
    const QString text = path({"File", "Sa", "X"});
    EXPECT_EQ(QRVTitleCompletion::rangeForUserCompletion(u"abc", 3), (R{0, 3}));
    EXPECT_EQ(QRVTitleCompletion::rangeForUserCompletion(u"", 0), (R{0, 0}));
    EXPECT_EQ(QRVTitleCompletion::rangeForUserCompletion(text, 2), (R{0, 4}));
    EXPECT_EQ(QRVTitleCompletion::rangeForUserCompletion(text, 6), (R{5, 2}));
    EXPECT_EQ(QRVTitleCompletion::rangeForUserCompletion(text, 5), (R{5, 2}));
    EXPECT_EQ(QRVTitleCompletion::rangeForUserCompletion(text, text.size()), (R{8, 1}));
    EXPECT_EQ(QRVTitleCompletion::rangeForUserCompletion(path({"File", ""}), 5), (R{5, 0}));
    EXPECT_EQ(QRVTitleCompletion::rangeForUserCompletion(u"abc", 99), (R{0, 3}));
}

TEST_F(TitleCompletionTest, FirstLettersOfferTitlesInOrderTopLevelFirstButNeverTheFirstMenu) {
    EXPECT_EQ(candidates("s"), (QStringList{"Save", "Save As…"}));
    EXPECT_EQ(candidates("SAVE"), (QStringList{"Save", "Save As…"}));
    // Only the first menu begins with "e": the beginning pass finds nothing.
    EXPECT_EQ(candidates("e"), (QStringList{"Edit", "File", "Notes", "View"}));
    EXPECT_EQ(candidates("w"), (QStringList{"Window"}));
    EXPECT_EQ(candidates("n"), (QStringList{"Notes", "New"}));
    EXPECT_EQ(candidates("Ope"), (QStringList{"Open"}));
}

TEST_F(TitleCompletionTest, SharedTitlesAndPreferredPathsAreOfferedAsPaths) {
    EXPECT_EQ(candidates("zo"),
              (QStringList{path({"View", "Zoom"}), path({"Window", "Zoom"}), "Zoom In"}));
    EXPECT_EQ(candidates("as"), (QStringList{path({"View", "As List"})}));
    // An empty field offers everything: all menus but the first, every leaf.
    const QStringList all = candidates("").value();
    EXPECT_EQ(all.mid(0, 4), (QStringList{"File", "Notes", "View", "Window"}));
    EXPECT_EQ(all.size(), 4 + 17);
    EXPECT_FALSE(all.contains("Zoom"));
    EXPECT_TRUE(all.contains(path({"Window", "Zoom"})));
}

TEST_F(TitleCompletionTest, ContainingMatchesFollowWhenNothingBeginsWithTheText) {
    // The first menu is offered when it merely contains the text.
    EXPECT_EQ(candidates("di"), (QStringList{"Edit"}));
    // Leaves only when no top-level title contains it.
    EXPECT_EQ(candidates("ave"), (QStringList{"Save", "Save As…"}));
    EXPECT_EQ(candidates("in"), (QStringList{"Window"}));
    EXPECT_EQ(candidates("OOM"),
              (QStringList{path({"View", "Zoom"}), path({"Window", "Zoom"}), "Zoom In"}));
    EXPECT_EQ(candidates("qqq"), QStringList{});
}

TEST_F(TitleCompletionTest, LaterComponentsOfferTheMenusItemsInMenuOrder) {
    EXPECT_EQ(candidates(path({"File", ""})),
              (QStringList{"New", "Open", "Save", "Save As…", "Export", "Close"}));
    EXPECT_EQ(candidates(path({"File", "s"})), (QStringList{"Save", "Save As…"}));
    EXPECT_EQ(candidates(path({"File", "XP"})), (QStringList{"Export"}));
    EXPECT_EQ(candidates(path({"File", "Export", "i"})), (QStringList{"Image"}));
    EXPECT_EQ(candidates(path({"View", "zoom"})), (QStringList{"Zoom", "Zoom In"}))
        << "bare titles below a menu, shared or not";
    EXPECT_EQ(candidates(path({"File", "q"})), QStringList{});
    // A path that names nothing, or an item without items, has no list at all.
    EXPECT_EQ(candidates(path({"Nope", "s"})), std::nullopt);
    EXPECT_EQ(candidates(path({"File", "New", ""})), std::nullopt);
}

TEST(TitleCompletionWithoutMenusTest, FirstComponentGetsAnEmptyListLaterOnesNone) {
    const QRVTitleCompletion none;
    EXPECT_FALSE(none.hasMenus());
    EXPECT_EQ(none.completionsForString("Sa", {0, 2}), QStringList{});
    EXPECT_EQ(none.completionsForString(path({"File", "Sa"}), {5, 2}), std::nullopt);
}

TEST(TitleCompletionPreselectionTest, OnlyAnExactBeginningIsPreselected) {
    const QStringList found{"Save", "Save As…"};
    EXPECT_EQ(QRVTitleCompletion::indexOfSelectedItem(found, u"Sa"), 0);
    EXPECT_EQ(QRVTitleCompletion::indexOfSelectedItem(found, u"sa"), -1) << "case counts";
    EXPECT_EQ(QRVTitleCompletion::indexOfSelectedItem({}, u"Sa"), -1);
    EXPECT_EQ(QRVTitleCompletion::indexOfSelectedItem({"Autosave"}, u"sa"), -1);
}

TEST_F(TitleCompletionTest, ChoosingAMenuWithItemsAddsTheSeparator) {
    EXPECT_EQ(finalCompletion("Fi", "File"), path({"File", ""}));
    EXPECT_EQ(finalCompletion(path({"File", "Exp"}), "Export"), path({"Export", ""}));
    EXPECT_EQ(finalCompletion(path({"File", "Sa"}), "Save"), "Save");
    EXPECT_EQ(finalCompletion("zo", path({"View", "Zoom"})), path({"View", "Zoom"}));
    EXPECT_EQ(finalCompletion("Fi", path({"File", ""})), path({"File", ""}));
    // The next component is there already.
    const QString text = path({"Fi", "Save"});
    EXPECT_EQ(completion.finalCompletionForCompletion(text, {0, 2}, "File"), "File");
}

// The indexed searches against plain scans of the lists, on random titles
// whose letters differ in case and accent.
TEST(TitleCompletionIndexTest, AgreesWithPlainScansOnRandomMenus) {
    std::mt19937 random(7);
    const QString letters = QStringLiteral(u"aAbBeéÉ 1");
    auto word = [&](int maxLength) {
        QString out;
        const int length = std::uniform_int_distribution<int>(1, maxLength)(random);
        for (int i = 0; i < length; ++i)
            out += letters.at(std::uniform_int_distribution<int>(0, letters.size() - 1)(random));
        return out;
    };
    for (int round = 0; round < 20; ++round) {
        QRVMenuItemList topLevel, leaves;
        for (int m = 0; m < 6; ++m) {
            auto menu = std::make_shared<QRVMenuItem>();
            menu->setTitle(word(4));
            QRVMenuItemList children;
            for (int c = 0; c < 30; ++c) {
                auto child = std::make_shared<QRVMenuItem>();
                child->setTitle(word(5));
                child->setParent(menu);
                children << child;
            }
            menu->setChildren(children);
            topLevel << menu;
            leaves << children;
        }
        QRVApplicationCatalogue::sortByTitle(topLevel);
        QRVApplicationCatalogue::sortByTitle(leaves);
        const QRVTitleCompletion completion(topLevel, leaves);
        for (int probe = 0; probe < 50; ++probe) {
            const QString typed = word(5); // short ones are answered from another index
            QStringList expected;
            auto scan = [&](const QRVMenuItemList& items, bool beginning, qsizetype skip) {
                QStringList titles;
                for (qsizetype i = skip; i < items.size(); ++i) {
                    const QString& title = items.at(i)->title();
                    if (beginning ? title.startsWith(typed, Qt::CaseInsensitive)
                                  : title.contains(typed, Qt::CaseInsensitive))
                        titles << title;
                }
                return titles;
            };
            const QStringList got =
                completion.completionsForString(typed, {0, typed.size()}).value();
            // Paths stand in for shared titles: compare the last components.
            QStringList lastTitles;
            for (const QString& candidate : got)
                lastTitles << candidate.section(esc, -1);
            lastTitles.removeDuplicates();
            expected = scan(topLevel, true, 1) + scan(leaves, true, 0);
            if (expected.isEmpty())
                expected = scan(topLevel, false, 0);
            if (expected.isEmpty())
                expected = scan(leaves, false, 0);
            expected.removeDuplicates();
            ASSERT_EQ(lastTitles, expected) << "typed " << typed.toStdString();
        }
    }
}
