#include "shell/QRVPermissionsWindowController.h"

#include "shell/QRVWindowChrome.h"

#include <QLabel>
#include <QVBoxLayout>

namespace qrv {

QRVPermissionsWindowController::QRVPermissionsWindowController(const Content& content,
                                                               QWidget* contentView,
                                                               UserDefaults& defaults,
                                                               Scheduler& scheduler,
                                                               QObject* parent)
    : QRVWindowController(new QRVVisualEffectView, parent) {
    QWidget* background = window();
    background->setObjectName(content.name);
    background->setWindowTitle(content.title);
    background->setWindowFlag(Qt::Window);
    setMovableByWindowBackground(background, true);
    auto* layout = new QVBoxLayout(background);
    layout->setContentsMargins(26, 22, 26, 26);
    layout->setSpacing(14);
    auto* heading = new QLabel(content.heading, background);
    QFont font = heading->font();
    font.setPointSizeF(font.pointSizeF() * content.headingScale);
    font.setBold(true);
    heading->setFont(font);
    layout->addWidget(heading);
    if (!content.text.isEmpty()) {
        auto* text = new QLabel(content.text, background);
        text->setWordWrap(true);
        layout->addWidget(text);
    }
    layout->addWidget(contentView, 1);
    background->resize(content.size);
    rememberFrame(content.name, defaults, scheduler);
}

} // namespace qrv
