#pragma once

class QDialog;

namespace qrv {

// Runs a window modally and answers its result code. Tests answer in code,
// as they do for alerts.
class QRVModalRunner {
  public:
    virtual ~QRVModalRunner() = default;
    virtual int runModal(QDialog& dialog) = 0;
};

// The real one: the dialog's own modal loop.
class QRVDialogModalRunner final : public QRVModalRunner {
  public:
    int runModal(QDialog& dialog) override;
};

} // namespace qrv
