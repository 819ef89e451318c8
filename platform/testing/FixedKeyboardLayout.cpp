#include "platform/testing/FixedKeyboardLayout.h"

namespace qrv::testing {

FixedKeyboardLayout FixedKeyboardLayout::us() {
    // Key code -> text, in key-code order.
    static const char* const kTexts[] = {
        "a",  "s", "d",  "f",  "h",     "g",    "z", "x",
        "c",  "v", "<",  "b",  "q",     "w",    "e", "r", // 0-15
        "y",  "t", "1",  "2",  "3",     "4",    "6", "5",
        "=",  "9", "7",  "-",  "8",     "0",    "]", "o", // 16-31
        "u",  "[", "i",  "p",  "\r",    "l",    "j", "'",
        "k",  ";", "\\", ",",  "/",     "n",    "m", ".", // 32-47
        "\t", " ", "`",  "\b", nullptr, "\x1b",           // 48-53
    };
    QHash<quint16, QString> texts;
    for (quint16 code = 0; code < std::size(kTexts); ++code)
        if (kTexts[code])
            texts.insert(code, QString::fromLatin1(kTexts[code]));
    const QHash<quint16, const char*> keypad = {
        {65, "."}, {67, "*"}, {69, "+"}, {75, "/"}, {76, "\r"}, {78, "-"},
        {81, "="}, {82, "0"}, {83, "1"}, {84, "2"}, {85, "3"},  {86, "4"},
        {87, "5"}, {88, "6"}, {89, "7"}, {91, "8"}, {92, "9"},  {117, "\x7f"},
    };
    for (auto it = keypad.begin(); it != keypad.end(); ++it)
        texts.insert(it.key(), QString::fromLatin1(it.value()));
    return FixedKeyboardLayout(std::move(texts), QStringLiteral("test.us"), QStringLiteral("U.S."));
}

} // namespace qrv::testing
