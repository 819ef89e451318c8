#include "menus/MenusLogging.h"

Q_LOGGING_CATEGORY(lcMenus, "qrv.menus")
