#include "editor/QRVTitleTextFieldCell.h"

#include "editor/BWAssociatedValues.h"

#include <QKeyEvent>

namespace qrv {

namespace {
const char kFieldEditorKey[] = "QRVTitleTextFieldCell-fieldEditor";
using EditorReference = QPointer<QRVTitleTextFieldEditor>;
} // namespace

QRVTitleTextFieldCell::QRVTitleTextFieldCell(
    QRVTitleTextFieldEditor::CompletionSource completionSource, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_completionSource(std::move(completionSource)) {}

QRVTitleTextFieldEditor* QRVTitleTextFieldCell::fieldEditorForView(QWidget* view) const {
    QWidget* window = view->window();
    auto reference = bw_associatedValueForKey<EditorReference>(window, kFieldEditorKey);
    if (!reference || !*reference) {
        // Owned by the widget it edits in, as Qt's views expect; the window
        // only finds it again.
        reference = std::make_shared<EditorReference>(new QRVTitleTextFieldEditor(view));
        bw_setAssociatedValue(window, kFieldEditorKey, reference);
    }
    m_customFieldEditor = *reference;
    return *reference;
}

QWidget* QRVTitleTextFieldCell::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                             const QModelIndex&) const {
    QRVTitleTextFieldEditor* editor = fieldEditorForView(parent);
    if (editor->parentWidget() != parent)
        editor->setParent(parent);
    editor->setCompletionSource(m_completionSource);
    editor->setFrame(false);
    return editor;
}

// The shared editor outlives each edit; what it held goes with the edit.
void QRVTitleTextFieldCell::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    auto* field = qobject_cast<QRVTitleTextFieldEditor*>(editor);
    if (!field) {
        QStyledItemDelegate::destroyEditor(editor, index);
        return;
    }
    field->setTitle(QString());
    field->hide();
}

void QRVTitleTextFieldCell::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* field = qobject_cast<QRVTitleTextFieldEditor*>(editor);
    if (!field) {
        QStyledItemDelegate::setEditorData(editor, index);
        return;
    }
    // A row's data changes while its title is typed (a validation pass marks
    // the rows, another program's change reloads them): what was typed stays.
    const QString title = index.data(Qt::EditRole).toString();
    if (!field->isModified() && field->title() != title)
        field->setTitle(title);
}

void QRVTitleTextFieldCell::setModelData(QWidget* editor, QAbstractItemModel* model,
                                         const QModelIndex& index) const {
    if (auto* field = qobject_cast<QRVTitleTextFieldEditor*>(editor))
        model->setData(index, field->title(), Qt::EditRole);
    else
        QStyledItemDelegate::setModelData(editor, model, index);
}

bool QRVTitleTextFieldCell::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QRVTitleTextFieldEditor*>(watched);
    if (!field)
        return QStyledItemDelegate::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (field->takesKey(key))
            return false; // the field's own keyPressEvent handles it
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier && field->insertTab())
            return true;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

} // namespace qrv
