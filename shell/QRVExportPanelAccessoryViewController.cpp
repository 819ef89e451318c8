#include "shell/QRVExportPanelAccessoryViewController.h"

#include <QFormLayout>
#include <QLineEdit>

namespace qrv {

QRVExportPanelAccessoryViewController::QRVExportPanelAccessoryViewController(
    const exchange::ExportPanelFields& fields, QObject* parent)
    : QObject(parent)
    , m_fields(fields) {}

QRVExportPanelAccessoryViewController::~QRVExportPanelAccessoryViewController() {
    delete m_view;
}

QWidget* QRVExportPanelAccessoryViewController::view() {
    if (m_view)
        return m_view;
    m_view = new QWidget;
    m_view->setObjectName(QStringLiteral("QRVExportPanelAccessoryView"));
    auto* form = new QFormLayout(m_view);
    form->setContentsMargins(0, 8, 0, 0);
    m_authorField = addField(form, QStringLiteral("author"), tr("Author:"), m_fields.author);
    m_labelField = addField(form, QStringLiteral("label"), tr("Title:"), m_fields.label);
    m_longLabelField =
        addField(form, QStringLiteral("longLabel"), tr("Description:"), m_fields.longLabel);
    return m_view;
}

QLineEdit* QRVExportPanelAccessoryViewController::addField(QFormLayout* form,
                                                           const QString& objectName,
                                                           const QString& label, QString& value) {
    auto* field = new QLineEdit(value, m_view);
    field->setObjectName(objectName);
    field->setAccessibleName(QString(label).remove(QLatin1Char(':')));
    connect(field, &QLineEdit::textChanged, this, [&value](const QString& text) { value = text; });
    form->addRow(label, field);
    return field;
}

void QRVExportPanelAccessoryViewController::setAuthor(const QString& author) {
    m_fields.author = author;
    if (m_authorField)
        m_authorField->setText(author);
}

void QRVExportPanelAccessoryViewController::setLabel(const QString& label) {
    m_fields.label = label;
    if (m_labelField)
        m_labelField->setText(label);
}

void QRVExportPanelAccessoryViewController::setLongLabel(const QString& longLabel) {
    m_fields.longLabel = longLabel;
    if (m_longLabelField)
        m_longLabelField->setText(longLabel);
}

} // namespace qrv
