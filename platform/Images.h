#pragma once

#include <QIcon>
#include <QString>

namespace qrv {

// The program's own images by name ("GenericAppIcon", ...). Null for an
// unknown name, and in a program without a GUI application object.
QIcon imageNamed(const QString& name);

// Whether icons can be made in this process (they need a GUI application).
bool canMakeIcons();

} // namespace qrv
