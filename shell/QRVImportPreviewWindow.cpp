#include "shell/QRVImportPreviewWindow.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qrv {

namespace {

// A stored title as the table shows it: a path with "→" between its titles.
QString displayedTitle(const QString& title) {
    return QRVMenuShortcut(QString(), title, QString()).beautifiedTitle();
}

} // namespace

QRVImportPreviewWindow::QRVImportPreviewWindow(ImportPreview preview, const QString& targetName,
                                               QWidget* parent)
    : QDialog(parent)
    , m_preview(std::move(preview)) {
    setObjectName(QStringLiteral("QRVImportPreviewWindow"));
    setWindowTitle(tr("Import Shortcuts"));
    auto* layout = new QVBoxLayout(this);
    m_heading = new QLabel(this);
    m_heading->setWordWrap(true);
    layout->addWidget(m_heading);

    m_rows = new QTreeWidget(this);
    m_rows->setObjectName(QStringLiteral("importRows"));
    m_rows->setRootIsDecorated(false);
    m_rows->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_rows->setHeaderLabels({tr("Change"), tr("Menu Item"), tr("Shortcut"), tr("Conflicts With")});
    m_rows->setAccessibleName(tr("Changes"));
    layout->addWidget(m_rows, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* applyAllButton = buttons->addButton(tr("Apply All"), QDialogButtonBox::AcceptRole);
    applyAllButton->setObjectName(QStringLiteral("applyAll"));
    applyAllButton->setDefault(true);
    // Beside "Apply All": both end the window by applying.
    m_applySelected = buttons->addButton(tr("Apply Selected"), QDialogButtonBox::AcceptRole);
    m_applySelected->setObjectName(QStringLiteral("applySelected"));
    m_applySelected->setEnabled(false);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(applyAllButton, &QPushButton::clicked, this, &QRVImportPreviewWindow::applyAll);
    connect(m_applySelected, &QPushButton::clicked, this, &QRVImportPreviewWindow::applySelected);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_rows, &QTreeWidget::itemSelectionChanged, this,
            [this] { m_applySelected->setEnabled(!m_rows->selectedItems().isEmpty()); });
    layout->addWidget(buttons);

    fillRows(targetName);
    applyAllButton->setEnabled(!m_preview.rows().isEmpty());
    resize(640, 400);
}

void QRVImportPreviewWindow::fillRows(const QString& targetName) {
    const QString source = m_preview.sourceName().isEmpty() ? m_preview.sourceBundleIdentifier()
                                                            : m_preview.sourceName();
    QString heading =
        source.isEmpty() || source == targetName
            ? tr("These changes would be made to the shortcuts of “%1”.").arg(targetName)
            : tr("The shortcuts of “%1” would change those of “%2” as follows.")
                  .arg(source, targetName);
    if (m_preview.skippedEntries() > 0)
        heading += QLatin1Char(' ') +
                   tr("%n entries of the file are left out: they have no title, or repeat an "
                      "earlier one.",
                      nullptr, m_preview.skippedEntries());
    m_heading->setText(heading);

    using Kind = ImportPreview::Row::Kind;
    for (const ImportPreview::Row& row : m_preview.rows()) {
        auto* item = new QTreeWidgetItem(m_rows);
        item->setText(KindColumn, kindText(row.kind));
        item->setText(TitleColumn, displayedTitle(row.title));
        const QString key = keyText(row.keyEquivalent);
        const bool changesKey =
            row.existingKeyEquivalent && *row.existingKeyEquivalent != row.keyEquivalent;
        item->setText(KeyColumn, changesKey
                                     ? tr("%1 → %2").arg(keyText(*row.existingKeyEquivalent), key)
                                     : key);
        QStringList conflicts;
        for (const QString& title : row.conflictingTitles)
            conflicts << displayedTitle(title);
        item->setText(ConflictsColumn, conflicts.join(QStringLiteral(", ")));
        if (row.kind == Kind::Conflict)
            item->setToolTip(KindColumn,
                             tr("The key stays with another menu item too; the editor marks it."));
    }
    for (int column = 0; column < ColumnCount; ++column)
        m_rows->resizeColumnToContents(column);
}

QString QRVImportPreviewWindow::kindText(ImportPreview::Row::Kind kind) {
    using Kind = ImportPreview::Row::Kind;
    switch (kind) {
    case Kind::Added:
        return tr("Added");
    case Kind::Changed:
        return tr("Changed");
    case Kind::Unchanged:
        return tr("Unchanged");
    case Kind::Conflict:
        return tr("Conflict");
    }
    return QString();
}

QString QRVImportPreviewWindow::keyText(const QString& keyEquivalent) {
    if (keyEquivalent.isEmpty())
        return tr("none");
    const KSCShortcutPtr shortcut = QRVMenuShortcut::shortcutFromKeyEquivalent(keyEquivalent);
    return shortcut ? shortcut->description() : keyEquivalent;
}

void QRVImportPreviewWindow::selectRows(const QList<qsizetype>& rows) {
    m_rows->clearSelection();
    for (const qsizetype row : rows)
        if (QTreeWidgetItem* item = m_rows->topLevelItem(int(row)))
            item->setSelected(true);
}

void QRVImportPreviewWindow::applyAll() {
    finishWith(std::nullopt);
}

void QRVImportPreviewWindow::applySelected() {
    QList<qsizetype> rows;
    for (int row = 0; row < m_rows->topLevelItemCount(); ++row)
        if (m_rows->topLevelItem(row)->isSelected())
            rows << row;
    if (!rows.isEmpty())
        finishWith(rows);
}

void QRVImportPreviewWindow::finishWith(const std::optional<QList<qsizetype>>& rows) {
    // The window goes first: applying may show an alert.
    accept();
    if (m_applyHandler)
        m_applyHandler(rows);
}

} // namespace qrv
