#include "platform/plist/StringsFile.h"

#include "platform/plist/PlistCodec.h"
#include "support/QtPrinters.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

TEST(StringsFile, ReadsTheTextFormInUtf8OrUtf16AndPropertyLists) {
    const QByteArray text = "/* Localized versions of Info.plist keys */\n"
                            "CFBundleName = \"Vorschau\";\n"
                            "// a line comment\n"
                            "\"CFBundleDisplayName\" = \"Vor\\\"schau\\U00e4\\n\";\n"
                            "\"NSHumanReadableCopyright\" = \"\\101\\\\\";\n"
                            "Lonely;\n";
    auto decoded = plist::decodeStrings(text);
    ASSERT_TRUE(decoded.ok()) << decoded.error().toStdString();
    EXPECT_EQ(decoded->value("CFBundleName"), "Vorschau");
    EXPECT_EQ(decoded->value("CFBundleDisplayName"), QString::fromUtf8("Vor\"schau\xc3\xa4\n"));
    EXPECT_EQ(decoded->value("NSHumanReadableCopyright"), "A\\");
    EXPECT_EQ(decoded->value("Lonely"), "Lonely");

    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    QByteArray bytes = utf16.encode(QStringLiteral("\"CFBundleName\" = \"Aperçu\";"));
    EXPECT_EQ(plist::decodeStrings(bytes)->value("CFBundleName"),
              QString::fromUtf8("Aper\xc3\xa7u"));

    const QByteArray binary = plist::encode(QVariantMap{{"CFBundleName", "Bin"}}).value();
    EXPECT_EQ(plist::decodeStrings(binary)->value("CFBundleName"), "Bin");
    EXPECT_FALSE(plist::decodeStrings(plist::encode(QVariantList{1}).value()).ok());
}

TEST(StringsFile, ReportsTheLineOfAFault) {
    auto missingSemicolon = plist::decodeStrings("a = \"b\";\nc = \"d\"\ne = f;");
    ASSERT_FALSE(missingSemicolon.ok());
    EXPECT_TRUE(missingSemicolon.error().startsWith("line 3"))
        << missingSemicolon.error().toStdString();
    EXPECT_FALSE(plist::decodeStrings("a = \"unterminated;").ok());
    EXPECT_FALSE(plist::decodeStrings("= \"x\";").ok());
}

} // namespace
