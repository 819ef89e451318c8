#include "editor/EditorLogging.h"

Q_LOGGING_CATEGORY(lcEditor, "qrv.editor")
