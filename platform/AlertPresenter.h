#pragma once

#include <QList>
#include <QString>

namespace qrv {

// A modal alert as the program describes it; the presenter decides how it looks.
struct Alert {
    enum class Style { Informational, Warning, Critical };
    struct Button {
        QString title;
        // "\r" for the default button, "\x1b" for Escape; empty for none.
        QString keyEquivalent;
    };

    Style style = Style::Warning;
    QString messageText;
    QString informativeText;
    QList<Button> buttons; // in order; none means a single "OK"
    bool showsSuppressionButton = false;
    QString suppressionTitle; // empty: "Do not show this message again"
};

struct AlertResponse {
    // The platform numbers buttons from 1000 (first) upwards.
    static constexpr int kFirstButton = 1000;
    int button = kFirstButton;
    bool suppressionChecked = false;

    int index() const { return button - kFirstButton; }
};

// Runs alerts modally and answers the pressed button. Also the system beep,
// the answer to a refused command with nothing to explain.
class AlertPresenter {
  public:
    virtual ~AlertPresenter() = default;
    virtual AlertResponse runModal(const Alert& alert) = 0;
    virtual void beep() = 0;
};

} // namespace qrv
