#pragma once

#include <QFrame>
#include <QStringList>

class QListView;

namespace qrv {

// The list of completions under a title field: a frameless popup with one row
// per candidate (separators shown as "→"). The field keeps the keyboard and
// moves the selection, accepts or closes; a click on a row chooses it.
// Screen readers find the rows in an accessible list named "Completions".
class QRVTitleCompletionPopup : public QFrame {
    Q_OBJECT
  public:
    explicit QRVTitleCompletionPopup(QWidget* field);

    // Shows the candidates (stored form) below the field, starting at x in
    // the field; `selected` is the preselected row, -1 for none.
    void showCandidates(const QStringList& candidates, int selected, int x);
    const QStringList& candidates() const;
    // The selected candidate; null when no row is selected.
    QString selectedCandidate() const;
    int selectedRow() const;
    // Up, Down, Page Up or Page Down; answers whether the key moves the selection.
    bool moveSelection(int key);
    QListView* listView() const { return m_list; }

  signals:
    void chosen(const QString& candidate);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void selectRow(int row);

    QWidget* m_field;
    QListView* m_list;
    class Candidates;
    Candidates* m_candidates;
};

} // namespace qrv
