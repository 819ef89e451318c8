#pragma once

#include "shell/QRVWindowController.h"

class QTextBrowser;

namespace qrv {

// The help window: the program's own help text (an HTML resource, "Help"),
// read-only, in the colours of the current palette, so it reads as well in a
// dark theme as in a light one.
class QRVHelpWindowController : public QRVWindowController {
    Q_OBJECT
  public:
    static inline const QString kResource = QStringLiteral(":/shell/Help.html");

    QRVHelpWindowController(UserDefaults& defaults, Scheduler& scheduler,
                            QObject* parent = nullptr);

    QTextBrowser* textView() const { return m_textView; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void windowDidLoad();
    // The palette's text colour over the whole text, its link colour on links.
    void applyPaletteColours();

    QTextBrowser* m_textView = nullptr;
};

} // namespace qrv
