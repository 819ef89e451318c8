#include "platform/Logging.h"

Q_LOGGING_CATEGORY(lcPlatform, "qrv.platform")
Q_LOGGING_CATEGORY(lcPrefs, "qrv.prefs")
Q_LOGGING_CATEGORY(lcScheduler, "qrv.scheduler")
