#include "editor/QRVTitleFieldText.h"

#include <algorithm>

namespace qrv {

namespace {
constexpr qsizetype kHistoryLength = 100;

qsizetype commonPrefix(QStringView a, QStringView b) {
    const qsizetype limit = std::min(a.size(), b.size());
    qsizetype n = 0;
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

qsizetype commonSuffix(QStringView a, QStringView b) {
    const qsizetype limit = std::min(a.size(), b.size());
    qsizetype n = 0;
    while (n < limit && a[a.size() - 1 - n] == b[b.size() - 1 - n])
        ++n;
    return n;
}
} // namespace

QString QRVTitleFieldText::shown(const QString& title) {
    QString out = title;
    return out.replace(kSeparator, kShownSeparator);
}

QString QRVTitleFieldText::title() const {
    QString out = m_shown;
    for (qsizetype i = 0; i < out.size(); ++i)
        if (m_separators.at(i))
            out[i] = kSeparator;
    return out;
}

void QRVTitleFieldText::setTitle(const QString& title) {
    m_shown = shown(title);
    m_separators.resize(title.size());
    for (qsizetype i = 0; i < title.size(); ++i)
        m_separators[i] = title.at(i) == kSeparator;
    m_history.clear(); // another title: nothing to undo into
    remember();
}

// The edit replaced one stretch of the old text. Where repeated characters
// leave a choice (deleting one of two arrows), the stretch is taken to end at
// the cursor, as it does after typing, pasting, deleting and our insertions.
void QRVTitleFieldText::edited(const QString& now, qsizetype cursor, const QString& insertedTitle) {
    const QString& before = m_shown;
    cursor = std::clamp<qsizetype>(cursor, 0, now.size());
    qsizetype suffix = now.size() - cursor;
    // Our own insertion ends at the cursor and is known in full.
    const qsizetype start = cursor - insertedTitle.size();
    const bool ours =
        !insertedTitle.isNull() && start >= 0 && start + suffix <= before.size() &&
        shown(insertedTitle) == QStringView(now).sliced(start, insertedTitle.size()) &&
        QStringView(before).first(start) == QStringView(now).first(start) &&
        QStringView(before).endsWith(QStringView(now).last(suffix));
    qsizetype prefix = start;
    if (!ours) {
        if (suffix > before.size() || !QStringView(before).endsWith(QStringView(now).last(suffix)))
            suffix = commonSuffix(before, now);
        prefix = std::min({commonPrefix(before, now), before.size() - suffix, now.size() - suffix});
    }
    const qsizetype insertedLength = now.size() - suffix - prefix;

    QList<bool> separators = m_separators.first(prefix);
    for (qsizetype i = 0; i < insertedLength; ++i)
        separators.append(ours && insertedTitle.at(i) == kSeparator);
    separators.append(m_separators.sliced(before.size() - suffix));

    m_shown = now;
    m_separators = separators;
    for (qsizetype i = 0; i < m_shown.size(); ++i) {
        if (m_shown.at(i) == kSeparator) {
            m_shown[i] = kShownSeparator;
            m_separators[i] = true;
        }
    }
    remember();
}

void QRVTitleFieldText::restored(const QString& now, qsizetype cursor) {
    for (auto it = m_history.crbegin(); it != m_history.crend(); ++it) {
        if (it->first == now) {
            m_shown = it->first;
            m_separators = it->second;
            remember();
            return;
        }
    }
    edited(now, cursor);
}

void QRVTitleFieldText::remember() {
    if (!m_history.isEmpty() && m_history.last().first == m_shown &&
        m_history.last().second == m_separators)
        return;
    m_history.append({m_shown, m_separators});
    if (m_history.size() > kHistoryLength)
        m_history.removeFirst();
}

} // namespace qrv
