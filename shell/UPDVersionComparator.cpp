#include "shell/UPDVersionComparator.h"

#include <QList>

namespace qrv {
namespace {

struct Part {
    enum Kind { Number, Word, Separator } kind;
    QString text;
};

QList<Part> split(const QString& version) {
    QList<Part> parts;
    for (const QChar c : version) {
        const Part::Kind kind = c.isDigit()    ? Part::Number
                                : c.isLetter() ? Part::Word
                                               : Part::Separator;
        if (kind != Part::Separator && !parts.isEmpty() && parts.last().kind == kind)
            parts.last().text += c;
        else
            parts.append({kind, QString(c)});
    }
    return parts;
}

// Digits by value, however many there are (no overflow).
int compareNumbers(QString a, QString b) {
    while (a.size() > 1 && a.startsWith(QLatin1Char('0')))
        a.remove(0, 1);
    while (b.size() > 1 && b.startsWith(QLatin1Char('0')))
        b.remove(0, 1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

// What a missing part counts as against the other side's part: nothing
// against a number (1.0 = 1.0.0), a release against a word (2.0 > 2.0b1).
int compareWithMissing(const Part& present) {
    if (present.kind == Part::Word)
        return -1;
    if (present.kind == Part::Number)
        return compareNumbers(present.text, QStringLiteral("0"));
    return 0;
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

} // namespace

int UPDVersionComparator::compareVersions(const QString& a, const QString& b) {
    const QList<Part> left = split(a.trimmed());
    const QList<Part> right = split(b.trimmed());
    const qsizetype count = std::max(left.size(), right.size());
    for (qsizetype i = 0; i < count; ++i) {
        if (i >= left.size()) {
            if (const int c = compareWithMissing(right[i]))
                return -c;
            continue;
        }
        if (i >= right.size()) {
            if (const int c = compareWithMissing(left[i]))
                return c;
            continue;
        }
        const Part& l = left[i];
        const Part& r = right[i];
        if (l.kind != r.kind) {
            // A number is newer than a word in its place (2.0.1 > 2.0b1), and a
            // separator-continued version newer than a word (2.0.1 > 2.0b).
            if (l.kind == Part::Number)
                return 1;
            if (r.kind == Part::Number)
                return -1;
            return l.kind == Part::Separator ? 1 : -1;
        }
        if (l.kind == Part::Number) {
            if (const int c = compareNumbers(l.text, r.text))
                return sign(c);
        } else if (l.kind == Part::Word) {
            if (const int c = l.text.compare(r.text, Qt::CaseInsensitive))
                return sign(c);
        }
    }
    return 0;
}

} // namespace qrv
