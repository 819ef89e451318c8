#pragma once

#include <QList>
#include <QString>

namespace qrv {

// The text of a title field as shown and as stored. A menu path's separator
// (ESC) is shown as "→", one character for one, so positions are the same in
// both; which arrows stand for separators is remembered beside the shown
// text, and an arrow typed by the user stays an arrow. Edits to the shown
// text (typing, pasting, deleting) are followed by comparing the text before
// and after; ESC that arrives in the shown text (a pasted path) becomes a
// separator. Undo and redo take back the marks the text had.
class QRVTitleFieldText {
  public:
    static constexpr QChar kSeparator = QChar(0x1B);
    static constexpr QChar kShownSeparator = QChar(0x2192); // →

    // The title with every separator shown as "→" (for rows at rest, lists).
    static QString shown(const QString& title);

    const QString& shownText() const { return m_shown; }
    // The stored form: separators as ESC.
    QString title() const;
    void setTitle(const QString& title);

    // The shown text became `now` by one edit that left the cursor at
    // `cursor`. `insertedTitle`, when given, is the stored form of what was
    // inserted (so its separators stay separators). Afterwards shownText()
    // may differ from `now` (an ESC replaced); the field then shows it.
    void edited(const QString& now, qsizetype cursor, const QString& insertedTitle = {});
    // The shown text became `now` through undo or redo.
    void restored(const QString& now, qsizetype cursor);

  private:
    void remember();

    QString m_shown;
    QList<bool> m_separators; // one per character of m_shown
    // Earlier states, newest last, for undo and redo.
    QList<std::pair<QString, QList<bool>>> m_history;
};

} // namespace qrv
