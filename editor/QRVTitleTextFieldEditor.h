#pragma once

#include "editor/QRVTitleCompletion.h"
#include "editor/QRVTitleFieldText.h"

#include <QLineEdit>
#include <functional>
#include <memory>

namespace qrv {

class QRVTitleCompletionPopup;

// The editor of the title fields of one window: a line edit whose text is a
// title, a menu path's separators shown as "→" (see QRVTitleFieldText), with
// completion from the target application's menus. Typing opens the list of
// candidates for the path component at the cursor (not after a deletion);
// Up and Down move in it, Return or a click takes a candidate (a menu with
// items gets its separator and the list of its items opens at once), the
// right arrow takes it as it is, Escape closes the list. Tab after a menu's
// name inserts a separator, after a separator opens the list.
class QRVTitleTextFieldEditor : public QLineEdit {
    Q_OBJECT
  public:
    // The completion over the current menus; asked on every use.
    using CompletionSource = std::function<std::shared_ptr<const QRVTitleCompletion>()>;

    explicit QRVTitleTextFieldEditor(QWidget* parent = nullptr);
    ~QRVTitleTextFieldEditor() override;

    void setCompletionSource(CompletionSource source) { m_completionSource = std::move(source); }

    // The title being edited, separators as ESC.
    QString title() const { return m_text.title(); }
    // Starts editing another title: the list closes, nothing opens.
    void setTitle(const QString& title);

    // The path component at the cursor.
    QRVTextRange rangeForUserCompletion() const;
    // Opens (or refreshes) the list for the component at the cursor; closes
    // it when there is nothing to offer.
    void complete();
    bool isCompletionListVisible() const;
    QRVTitleCompletionPopup* completionPopup() const { return m_popup; }
    void closeCompletionList();

    // How a candidate is taken: Return, a click (both may add a separator and
    // go on to the next level), or the right arrow (exactly as offered).
    enum class Movement { Return, Right };
    void insertCompletion(const QString& candidate, Movement movement);

    // Whether the key is the field's own now (the list's keys while it is
    // open), so that whoever hosts the field leaves it alone.
    bool takesKey(const QKeyEvent* event) const;
    // Tab: answers true when it was handled here (a separator inserted or the
    // list opened); otherwise Tab moves on to the next field.
    bool insertTab();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    std::shared_ptr<const QRVTitleCompletion> completion() const;
    void textDidChange(const QString& now);
    // Replaces the selection with text in stored form, opening no list.
    void insertTitleText(const QString& titleText);
    void undoOrRedo(bool redo);

    QRVTitleFieldText m_text;
    CompletionSource m_completionSource;
    QRVTitleCompletionPopup* m_popup = nullptr;
    QString m_insertedTitle;             // our own insertion being made, in stored form
    bool m_isAutocompleting = false;     // our own change: opens no list
    bool m_didPressBackspaceKey = false; // a deletion: the change it makes opens no list
    bool m_isRestoring = false;          // undo or redo
};

} // namespace qrv
