#include "platform/widgets/MessageBoxAlertPresenter.h"

#include "platform/MainThread.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>

namespace qrv {

AlertResponse MessageBoxAlertPresenter::runModal(const Alert& alert) {
    QRV_ASSERT_MAIN_THREAD();
    QWidget* parent = m_parent ? m_parent : QApplication::activeWindow();
    QMessageBox box(parent);
    box.setWindowModality(Qt::ApplicationModal);
    switch (alert.style) {
    case Alert::Style::Informational:
        box.setIcon(QMessageBox::Information);
        break;
    case Alert::Style::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Alert::Style::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    box.setText(alert.messageText);
    box.setInformativeText(alert.informativeText);

    QList<Alert::Button> buttons = alert.buttons;
    if (buttons.isEmpty())
        buttons.append({QCoreApplication::translate("Alert", "OK"), QStringLiteral("\r")});
    QList<QPushButton*> pushButtons;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const auto role = i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
        QPushButton* button = box.addButton(buttons.at(i).title, role);
        pushButtons.append(button);
        const QString& key = buttons.at(i).keyEquivalent;
        if (key == QLatin1String("\r") || (key.isEmpty() && i == 0))
            box.setDefaultButton(button);
        if (key == QLatin1String("\x1b"))
            box.setEscapeButton(button);
    }
    QCheckBox* suppression = nullptr;
    if (alert.showsSuppressionButton) {
        suppression = new QCheckBox(
            alert.suppressionTitle.isEmpty()
                ? QCoreApplication::translate("Alert", "Do not show this message again")
                : alert.suppressionTitle);
        box.setCheckBox(suppression);
    }
    box.exec();
    AlertResponse response;
    const auto index = pushButtons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    // Closing the box without a button counts as the escape button, else the last one.
    response.button =
        AlertResponse::kFirstButton + (index >= 0 ? int(index) : int(buttons.size() - 1));
    response.suppressionChecked = suppression && suppression->isChecked();
    return response;
}

void MessageBoxAlertPresenter::beep() {
    QRV_ASSERT_MAIN_THREAD();
    QApplication::beep();
}

} // namespace qrv
