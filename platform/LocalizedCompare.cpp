#include "platform/LocalizedCompare.h"

#include <QCollator>
#include <QLocale>

namespace qrv {

namespace {

QCollator makeCollator() {
    QLocale locale = QLocale::system();
    // The C locale's collation is by code point and ignores numeric mode.
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    collator.setIgnorePunctuation(false);
    return collator;
}

// A collator is not to be shared between threads; each thread builds its own once.
const QCollator& collator() {
    thread_local const QCollator collator = makeCollator();
    return collator;
}

} // namespace

int localizedStandardCompare(const QString& a, const QString& b) {
    return collator().compare(a, b);
}

QCollatorSortKey localizedStandardSortKey(const QString& text) {
    return collator().sortKey(text);
}

} // namespace qrv
