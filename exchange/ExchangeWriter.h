#pragma once

#include "exchange/ExchangeFormat.h"
#include "model/QRVMenuShortcut.h"

namespace qrv {

class KeyboardLayout;
class UserDefaults;

namespace exchange {

// What every file records about its writing: when, by whom, and on which
// keyboard and locale.
struct WritingContext {
    QDateTime now;
    QString creator; // our own bundle identifier
    ExchangeEnvironment environment;
};
// The current keyboard input source and locale.
ExchangeEnvironment currentEnvironment(const KeyboardLayout& layout);
WritingContext currentWritingContext(const QDateTime& now, const KeyboardLayout& layout);

// The export of the records that belong to the application (`bundleIdentifier`
// empty for all applications), in their order; records with neither a title
// nor a key are left out. Nothing when no record is left, which the editor
// answers with a beep. The panel's author, title and description are added
// by the caller once the user confirms them.
std::optional<ExchangeDocument> exportDocument(const QList<QRVMenuShortcutPtr>& records,
                                               const QString& bundleIdentifier,
                                               const QString& localizedName,
                                               const WritingContext& context);

// The three text fields of the export panel's accessory view.
struct ExportPanelFields {
    QString author;
    QString label;     // the set's title
    QString longLabel; // its description
};
// The fields as the panel opens: the author last confirmed (the user default
// "author") and the application's name as the title.
ExportPanelFields exportPanelFields(const UserDefaults& defaults, const QString& localizedName);
// The panel was confirmed: the non-empty fields go into the document, and the
// author is kept for the next export (an empty one forgets it).
void confirmExportPanel(ExchangeDocument& document, const ExportPanelFields& fields,
                        UserDefaults& defaults);

// A request for the record's menu item (its own bundle identifier).
ExchangeDocument requestDocument(const QRVMenuShortcut& record, const QString& localizedName,
                                 const WritingContext& context);

// The name a save panel proposes for a request: "Mail - Request".
QString requestFileName(const QString& localizedName);

// Writes the document, replacing the file atomically; the error names the file.
Result<void> writeExchangeFile(const QString& path, const ExchangeDocument& document);

} // namespace exchange
} // namespace qrv
