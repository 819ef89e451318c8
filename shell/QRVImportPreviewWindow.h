#pragma once

#include "exchange/ImportPreview.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace qrv {

// What an import would change, row by row, before anything is written: the
// kind of change, the menu item, its key (old → new for a change) and the
// titles that keep the same key. The user applies every row, the selected
// rows, or nothing.
class QRVImportPreviewWindow : public QDialog {
    Q_OBJECT
  public:
    enum Column { KindColumn, TitleColumn, KeyColumn, ConflictsColumn, ColumnCount };

    // Rows to apply; nothing means every row.
    using ApplyHandler = std::function<void(const std::optional<QList<qsizetype>>& rows)>;

    QRVImportPreviewWindow(ImportPreview preview, const QString& targetName,
                           QWidget* parent = nullptr);

    void setApplyHandler(ApplyHandler handler) { m_applyHandler = std::move(handler); }
    const ImportPreview& preview() const { return m_preview; }
    QTreeWidget* rowsView() const { return m_rows; }

    void applyAll();
    void applySelected();
    void selectRows(const QList<qsizetype>& rows);

    static QString kindText(ImportPreview::Row::Kind kind);
    // A key as people read it (⌥⌘S); the file's own text when it names no key.
    static QString keyText(const QString& keyEquivalent);

  private:
    void fillRows(const QString& targetName);
    void finishWith(const std::optional<QList<qsizetype>>& rows);

    ImportPreview m_preview;
    ApplyHandler m_applyHandler;
    QLabel* m_heading = nullptr;
    QTreeWidget* m_rows = nullptr;
    QPushButton* m_applySelected = nullptr;
};

} // namespace qrv
