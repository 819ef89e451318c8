#include "model/LocalizedStandardCompare.h"

#include <QCollator>

namespace qrv {

namespace {

// ICU's collator in numeric mode compares whole strings as the file browser
// does: digit runs by value, and spaces and marks before digits ("a b" before
// "a1"). The locale is named rather than taken from the process, since Qt's
// collator does plain code-point comparison in the C locale and so would
// order differently under LC_ALL=C.
const QCollator& collator() {
    static const QCollator shared = [] {
        QCollator c(QLocale(QLocale::English, QLocale::UnitedStates));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(true);
        // Set up now: the collator initialises itself lazily, and it is
        // shared by threads afterwards.
        (void)c.compare(QStringLiteral("a"), QStringLiteral("b"));
        return c;
    }();
    return shared;
}

} // namespace

int localizedStandardCompare(const QString& a, const QString& b) {
    const int order = collator().compare(a, b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

LocalizedStandardSortKey::LocalizedStandardSortKey(const QString& text)
    : m_key(collator().sortKey(text)) {}

int LocalizedStandardSortKey::compare(const LocalizedStandardSortKey& other) const {
    const int order = m_key.compare(other.m_key);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

} // namespace qrv
