#pragma once

#include "platform/AlertPresenter.h"

class QWidget;

namespace qrv {

// Alerts as QMessageBox dialogs, modal to the given window (or the active one).
class MessageBoxAlertPresenter final : public AlertPresenter {
  public:
    explicit MessageBoxAlertPresenter(QWidget* parent = nullptr)
        : m_parent(parent) {}
    AlertResponse runModal(const Alert& alert) override;
    void beep() override;

  private:
    QWidget* m_parent;
};

} // namespace qrv
