#include "model/LocalizedStandardCompare.h"

#include <QCollator>

namespace qrv {

namespace {

// Qt's collator gives up numeric ordering (and case folding) in the C locale,
// so digits are compared here and the collator only sees the text between
// them, in the user's language, or English when the process has none.
const QCollator& textCollator() {
    static const QCollator collator = [] {
        QLocale locale = QLocale::system();
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator c(locale);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        (void)c.compare(QStringLiteral("a"),
                        QStringLiteral("b")); // set up now, before threads share it
        return c;
    }();
    return collator;
}

bool isDigit(QChar c) {
    return c.digitValue() >= 0;
}

QStringView run(QStringView s, qsizetype start) {
    const bool digits = isDigit(s.at(start));
    qsizetype end = start + 1;
    while (end < s.size() && isDigit(s.at(end)) == digits)
        ++end;
    return s.mid(start, end - start);
}

QStringView significant(QStringView digits) {
    qsizetype zeros = 0;
    while (zeros + 1 < digits.size() && digits.at(zeros).digitValue() == 0)
        ++zeros;
    return digits.mid(zeros);
}

// Compares digit runs already stripped of leading zeros.
int compareSignificant(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (const int d = a.at(i).digitValue() - b.at(i).digitValue())
            return d < 0 ? -1 : 1;
    return 0;
}

int compareNumbers(QStringView a, QStringView b) {
    return compareSignificant(significant(a), significant(b));
}

} // namespace

int localizedStandardCompare(const QString& a, const QString& b) {
    const QCollator& collator = textCollator();
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const QStringView runA = run(a, i), runB = run(b, j);
        const bool numbers = isDigit(runA.front()) && isDigit(runB.front());
        const int order = numbers ? compareNumbers(runA, runB) : collator.compare(runA, runB);
        if (order != 0)
            return order < 0 ? -1 : 1;
        i += runA.size();
        j += runB.size();
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

LocalizedStandardSortKey::LocalizedStandardSortKey(const QString& text) {
    const QCollator& collator = textCollator();
    for (qsizetype i = 0; i < text.size();) {
        const QStringView r = run(text, i);
        const bool number = isDigit(r.front());
        m_runs.push_back(
            Run{number ? significant(r).toString() : QString(), collator.sortKey(r.toString())});
        i += r.size();
    }
}

int LocalizedStandardSortKey::compare(const LocalizedStandardSortKey& other) const {
    const size_t common = std::min(m_runs.size(), other.m_runs.size());
    for (size_t i = 0; i < common; ++i) {
        const Run& a = m_runs[i];
        const Run& b = other.m_runs[i];
        const int order = !a.digits.isEmpty() && !b.digits.isEmpty()
                              ? compareSignificant(a.digits, b.digits)
                              : a.key.compare(b.key);
        if (order != 0)
            return order < 0 ? -1 : 1;
    }
    if (m_runs.size() != other.m_runs.size())
        return m_runs.size() < other.m_runs.size() ? -1 : 1;
    return 0;
}

} // namespace qrv
