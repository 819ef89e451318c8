#include "editor/QRVTitleTextFieldEditor.h"

#include "editor/QRVTitleCompletionPopup.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace qrv {

namespace {
bool isDeletion(const QKeyEvent* event) {
    return event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete ||
           event->matches(QKeySequence::Cut);
}

bool isListKey(const QKeyEvent* event, bool rowSelected) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Right:
        return rowSelected && event->modifiers() == Qt::NoModifier;
    default:
        return false;
    }
}
} // namespace

QRVTitleTextFieldEditor::QRVTitleTextFieldEditor(QWidget* parent)
    : QLineEdit(parent) {
    setObjectName(QStringLiteral("titleFieldEditor"));
    setAccessibleName(tr("Menu Title"));
    connect(this, &QLineEdit::textChanged, this, &QRVTitleTextFieldEditor::textDidChange);
}

QRVTitleTextFieldEditor::~QRVTitleTextFieldEditor() = default;

std::shared_ptr<const QRVTitleCompletion> QRVTitleTextFieldEditor::completion() const {
    return m_completionSource ? m_completionSource() : nullptr;
}

void QRVTitleTextFieldEditor::setTitle(const QString& title) {
    closeCompletionList();
    m_isAutocompleting = false;
    m_didPressBackspaceKey = false;
    m_text.setTitle(title);
    setText(m_text.shownText());
}

void QRVTitleTextFieldEditor::textDidChange(const QString& now) {
    if (now == m_text.shownText())
        return; // the field shows what we hold already
    if (m_isRestoring)
        m_text.restored(now, cursorPosition());
    else
        m_text.edited(now, cursorPosition(), m_insertedTitle);
    if (m_text.shownText() != now) { // an ESC arrived (a pasted path): show it as "→"
        const int cursor = cursorPosition();
        setText(m_text.shownText());
        setCursorPosition(cursor);
        setModified(true); // still the user's typing
    }
    // Only the user's own typing opens the list.
    if (!m_isAutocompleting && !m_didPressBackspaceKey)
        complete();
    else if (m_didPressBackspaceKey)
        closeCompletionList();
    m_didPressBackspaceKey = false;
}

QRVTextRange QRVTitleTextFieldEditor::rangeForUserCompletion() const {
    const int end = hasSelectedText() ? selectionEnd() : cursorPosition();
    return QRVTitleCompletion::rangeForUserCompletion(title(), end);
}

void QRVTitleTextFieldEditor::complete() {
    const auto source = completion();
    const QString text = title();
    const QRVTextRange range = rangeForUserCompletion();
    const auto candidates =
        source ? source->completionsForString(text, range) : std::optional<QStringList>();
    if (!candidates || candidates->isEmpty()) {
        closeCompletionList();
        return;
    }
    const int selected = QRVTitleCompletion::indexOfSelectedItem(
        *candidates, QStringView(text).sliced(range.location, range.length));
    if (!m_popup) {
        m_popup = new QRVTitleCompletionPopup(this);
        connect(m_popup, &QRVTitleCompletionPopup::chosen, this, [this](const QString& candidate) {
            insertCompletion(candidate, Movement::Return);
        });
    }
    // Under the component being completed, as far as the field shows it.
    const QString& shownText = m_text.shownText();
    const qsizetype typedLength = std::clamp<qsizetype>(cursorPosition() - range.location, 0,
                                                        shownText.size() - range.location);
    const int x =
        range.location == 0
            ? 0
            : std::clamp(cursorRect().left() - fontMetrics().horizontalAdvance(
                                                   shownText.sliced(range.location, typedLength)),
                         0, std::max(0, width() - 40));
    m_popup->showCandidates(*candidates, selected, x);
}

bool QRVTitleTextFieldEditor::isCompletionListVisible() const {
    return m_popup && m_popup->isVisible();
}

void QRVTitleTextFieldEditor::closeCompletionList() {
    if (m_popup)
        m_popup->hide();
}

void QRVTitleTextFieldEditor::insertCompletion(const QString& candidate, Movement movement) {
    const auto source = completion();
    const QString text = title();
    const QRVTextRange range = rangeForUserCompletion();
    // The right arrow takes the candidate and nothing further.
    const QString inserted = movement == Movement::Return && source
                                 ? source->finalCompletionForCompletion(text, range, candidate)
                                 : candidate;
    closeCompletionList();
    setSelection(int(range.location), int(range.length));
    insertTitleText(inserted);
    if (movement == Movement::Return && cursorPosition() == m_text.shownText().size() &&
        title().endsWith(QRVTitleFieldText::kSeparator))
        complete(); // the items of the menu just chosen
}

void QRVTitleTextFieldEditor::insertTitleText(const QString& titleText) {
    m_isAutocompleting = true;
    m_insertedTitle = titleText;
    insert(QRVTitleFieldText::shown(titleText));
    m_insertedTitle = QString();
    m_isAutocompleting = false;
}

bool QRVTitleTextFieldEditor::takesKey(const QKeyEvent* event) const {
    return isCompletionListVisible() && isListKey(event, m_popup->selectedRow() >= 0);
}

bool QRVTitleTextFieldEditor::insertTab() {
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const QString before = title().left(start);
    const auto source = completion();
    const auto action = source ? source->tabAction(before) : QRVTitleCompletion().tabAction(before);
    switch (action) {
    case QRVTitleCompletion::TabAction::MoveOn:
        closeCompletionList();
        return false;
    case QRVTitleCompletion::TabAction::OpenList:
        // Taken only when a list opens: moving on would close it again.
        if (!m_isAutocompleting && !m_didPressBackspaceKey)
            complete();
        return isCompletionListVisible();
    case QRVTitleCompletion::TabAction::InsertSeparator:
        closeCompletionList();
        insertTitleText(QString(QRVTitleFieldText::kSeparator));
        return true;
    }
    return false;
}

void QRVTitleTextFieldEditor::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        undoOrRedo(event->matches(QKeySequence::Redo));
        event->accept();
        return;
    }
    if (takesKey(event)) {
        event->accept();
        const QString selected = m_popup->selectedCandidate();
        switch (event->key()) {
        case Qt::Key_Escape:
            closeCompletionList();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            insertCompletion(selected, Movement::Return);
            return;
        case Qt::Key_Right:
            insertCompletion(selected, Movement::Right);
            return;
        default:
            m_popup->moveSelection(event->key());
            return;
        }
    }
    // Keys that move the cursor or leave the field end the list.
    if (isCompletionListVisible() && event->text().isEmpty() && !isDeletion(event))
        closeCompletionList();
    if (isDeletion(event))
        m_didPressBackspaceKey = true;
    const QString before = text();
    QLineEdit::keyPressEvent(event);
    // A deletion that deleted nothing leaves the next keystroke free to open the list.
    if (text() == before)
        m_didPressBackspaceKey = false;
}

void QRVTitleTextFieldEditor::undoOrRedo(bool redo) {
    closeCompletionList();
    m_isRestoring = true;
    if (redo)
        QLineEdit::redo();
    else
        QLineEdit::undo();
    m_isRestoring = false;
}

// The menu's Undo and Redo restore the separators along with the text.
void QRVTitleTextFieldEditor::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        const bool redo = action->objectName() == QLatin1String("edit-redo");
        if (!redo && action->objectName() != QLatin1String("edit-undo"))
            continue;
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        connect(action, &QAction::triggered, this, [this, redo] { undoOrRedo(redo); });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void QRVTitleTextFieldEditor::focusOutEvent(QFocusEvent* event) {
    closeCompletionList();
    QLineEdit::focusOutEvent(event);
}

} // namespace qrv
