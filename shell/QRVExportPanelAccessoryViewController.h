#pragma once

#include "exchange/ExchangeWriter.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class QFormLayout;
class QLineEdit;

namespace qrv {

// The fields below the export panel's file list: who made the set, its title
// and its description. The values outlive the view, so they can be read after
// the panel that showed it has gone.
class QRVExportPanelAccessoryViewController : public QObject {
    Q_OBJECT
  public:
    explicit QRVExportPanelAccessoryViewController(const exchange::ExportPanelFields& fields,
                                                   QObject* parent = nullptr);
    ~QRVExportPanelAccessoryViewController() override;

    // Made on first use; owned by this controller whoever shows it.
    QWidget* view();

    QString author() const { return m_fields.author; }
    void setAuthor(const QString& author);
    QString label() const { return m_fields.label; }
    void setLabel(const QString& label);
    QString longLabel() const { return m_fields.longLabel; }
    void setLongLabel(const QString& longLabel);
    const exchange::ExportPanelFields& fields() const { return m_fields; }

  private:
    QLineEdit* addField(QFormLayout* form, const QString& objectName, const QString& label,
                        QString& value);

    exchange::ExportPanelFields m_fields;
    QPointer<QWidget> m_view; // deleted here unless a window it was put in took it along
    QPointer<QLineEdit> m_authorField, m_labelField, m_longLabelField;
};

} // namespace qrv
