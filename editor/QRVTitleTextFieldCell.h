#pragma once

#include "editor/QRVTitleTextFieldEditor.h"

#include <QPointer>
#include <QStyledItemDelegate>

namespace qrv {

// The title field of every row of the shortcut table. At rest the row shows
// its title with "→" for the separators (the model's display text); for
// editing it hands out the one title editor of the window, made on the first
// request and kept with the window (under "QRVTitleTextFieldCell-fieldEditor"),
// so all title fields of a window share it. While the completion list is
// open its keys belong to the editor; Tab is
// the editor's when it inserts a separator or opens the list, and otherwise
// ends the edit and moves on.
class QRVTitleTextFieldCell : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit QRVTitleTextFieldCell(QRVTitleTextFieldEditor::CompletionSource completionSource,
                                   QObject* parent = nullptr);

    // The editor of the view's window.
    QRVTitleTextFieldEditor* fieldEditorForView(QWidget* view) const;
    // The editor this cell last handed out.
    QRVTitleTextFieldEditor* customFieldEditor() const { return m_customFieldEditor; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QRVTitleTextFieldEditor::CompletionSource m_completionSource;
    mutable QPointer<QRVTitleTextFieldEditor> m_customFieldEditor;
};

} // namespace qrv
