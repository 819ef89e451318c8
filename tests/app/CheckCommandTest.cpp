// quorvane-cli check and menus FILE.json on a real preferences home and real files.
#include "CliRunner.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using qrv::testing::runCli;

namespace {

// A foreign application's menu bar as `menus --json` writes it.
const char* const kNotesMenus = R"([
  {"title": "Notes", "children": [
    {"title": "About Notes"},
    {"title": "Zoom", "children": [{"title": "Larger"}]}
  ]},
  {"title": "File", "children": [
    {"title": "Save", "key": "@s"},
    {"title": "Share", "children": [{"title": "Mail"}]},
    {"title": "Print", "key": "@p"}
  ]},
  {"title": "Edit", "children": [
    {"title": "Save"},
    {"title": "Format", "children": [{"title": "Bold", "key": "@b"}]},
    {"title": "Share", "children": [{"title": "Messages"}]}
  ]},
  {"title": "Text", "children": [{"title": "Format"}]},
  {"title": "Window", "children": [{"title": "Zoom"}]}
])";

class CheckCommand : public ::testing::Test {
  protected:
    qrv::testing::CliResult cli(const QStringList& arguments) { return home.cli(arguments); }
    QString writeFile(const QString& name, const QByteArray& content) {
        return home.write(name, content);
    }
    void set(const QStringList& arguments) {
        const auto result = cli(QStringList{"set"} + arguments);
        ASSERT_EQ(result.exitCode, 0) << qPrintable(result.err);
    }
    qrv::testing::CliHome home;
};

} // namespace

TEST_F(CheckCommand, PrintsEachWarnedTitleWithItsWarning) {
    for (const QStringList& s : {QStringList{"Save", "@s"},
                                 {"Format", "@f"},
                                 {"Share", "@h"},
                                 {"Zoom", "@z"},
                                 {"Print", "@~p"}})
        set(QStringList{"com.example.notes"} + s);
    set({"--path", "com.example.notes", QStringLiteral(u"File\u2192Print"), "@p"});
    const QString menus = writeFile("notes.json", kNotesMenus);

    const auto result = cli({"check", "com.example.notes", "--menus", menus});
    EXPECT_EQ(result.exitCode, 1) << qPrintable(result.err);
    // One line per warned record, in the store's order. The application menu's
    // submenu "Zoom" is not among the editor's items, so Zoom is unambiguous.
    EXPECT_EQ(result.out,
              QStringLiteral(u"Format\tThis menu item title is ambiguous. Do you mean "
                             u"'Text\u2192Format' ?\n"
                             u"Print\tThis menu item title is ambiguous. It may refer to the "
                             u"same menu item as 'File\u2192Print'\n"
                             u"Save\tThis menu item title is ambiguous. Do you mean "
                             u"'Edit\u2192Save' or 'File\u2192Save' ?\n"
                             u"Share\tThis menu item title is ambiguous. There is more than one "
                             u"menu item named 'Share'\n"));
    EXPECT_EQ(result.err, "");

    // Nothing wrong: exit 0 and nothing printed.
    const auto quiet = cli({"check", "com.example.other", "--menus", menus});
    EXPECT_EQ(quiet.exitCode, 0) << qPrintable(quiet.err);
    EXPECT_EQ(quiet.out, "");
}

TEST_F(CheckCommand, WithoutReadableMenusOnlyTheListIsChecked) {
    set({"-g", "Save", "@s"});
    set({"--path", "-g", QStringLiteral(u"File\u2192Save"), "@~s"});
    set({"-g", "Print", "@p"});
    const auto result = cli({"check", "-g"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, QStringLiteral(u"Save\tThis menu item title is ambiguous. It may refer "
                                         u"to the same menu item as 'File\u2192Save'\n"));
    EXPECT_TRUE(result.err.contains("only repeated titles and overlapping menu paths are checked"))
        << qPrintable(result.err);
}

TEST_F(CheckCommand, UnusableMenuFilesAreInputErrorsWithTheirPosition) {
    set({"com.example.notes", "Save", "@s"});
    struct Case {
        const char* name;
        QByteArray content;
        QString expected;
    };
    const QList<Case> cases{
        {"broken.json", "[\n  {\"title\": \"File\",\n   \"children\": [}\n]", "line 3, column"},
        {"object.json", R"({"title": "File"})", "expected an array"},
        {"untitled.json", R"([{"title": "File", "children": [{"key": "@s"}]}])",
         "[0].children[0].title is missing or not a string"},
        {"badkey.json", R"([{"title": "File", "key": 3}])", "[0].key is not a string"},
        {"badchildren.json", R"([{"title": "File", "children": {}}])",
         "[0].children is not an array"},
    };
    for (const Case& c : cases) {
        const QString path = writeFile(c.name, c.content);
        for (const QStringList& arguments :
             {QStringList{"check", "com.example.notes", "--menus", path},
              QStringList{"menus", path}}) {
            const auto result = cli(arguments);
            EXPECT_EQ(result.exitCode, 2) << c.name << ' ' << qPrintable(arguments.first());
            EXPECT_TRUE(result.err.contains(path) && result.err.contains(c.expected))
                << c.name << ": " << qPrintable(result.err);
            EXPECT_EQ(result.out, "");
        }
    }
    const auto missing = cli({"check", "com.example.notes", "--menus", home.file("none.json")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("cannot read " + home.file("none.json")))
        << qPrintable(missing.err);
    EXPECT_EQ(cli({"check", "com.example.notes", "--menus", home.path()}).exitCode, 2);
    EXPECT_EQ(cli({"check", "com.example.notes", "--menus"}).exitCode, 2);
    EXPECT_EQ(cli({"check"}).exitCode, 2);
}

TEST_F(CheckCommand, MenusReadsASavedTreeBack) {
    const QString path = writeFile("notes.json", kNotesMenus);
    const auto json = cli({"menus", path, "--json"});
    ASSERT_EQ(json.exitCode, 0) << qPrintable(json.err);
    // Written again, the tree is the same file (normalised layout aside).
    const QString again = writeFile("again.json", json.out.toUtf8());
    EXPECT_EQ(cli({"menus", again, "--json"}).out, json.out);
    EXPECT_TRUE(json.out.contains("\"key\": \"@s\""));
    EXPECT_FALSE(json.out.contains("\"children\": [\n            ]"));

    const auto text = cli({"menus", path});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.startsWith("Notes\n  About Notes\n  Zoom\n    Larger\nFile\n  Save\t"))
        << qPrintable(text.out);
}
