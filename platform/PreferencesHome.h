#pragma once

#include "platform/Result.h"

#include <QString>
#include <QStringList>

namespace qrv {

// The macOS-style home folder whose Library/ holds the preference files we edit.
// Chosen by --home, else $QUORVANE_HOME, else <XDG data home>/quorvane/home.
struct PreferencesHome {
    // Finds "--home DIR" or "--home=DIR" in the arguments (without removing it).
    static QString fromArguments(const QStringList& arguments);
    // The folder to use, given an explicit choice (empty for none).
    static QString resolve(const QString& explicitHome);
    // Creates the folder and Library/Preferences when missing and checks that
    // both are writable; the error names the folder.
    static Result<QString> prepare(const QString& home);
    // Creates what it can of the same folders and answers the home whatever
    // could not be made or written: for a program that explains the folder
    // to the user (full disk access) rather than stopping at it.
    static QString prepareWherePossible(const QString& home);

    static QString preferencesFolder(const QString& home);
    static QString applicationSupportFolder(const QString& home);
};

} // namespace qrv
