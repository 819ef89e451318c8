#pragma once

#include <QLoggingCategory>

// Support, diagnostics and updates.
Q_DECLARE_LOGGING_CATEGORY(lcSupport)
Q_DECLARE_LOGGING_CATEGORY(lcUpdates)
