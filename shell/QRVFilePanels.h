#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace qrv {

// Open and save panels, shown as sheets: modal to their window only, and
// answered later on the main thread, so nothing waits for the user. Tests
// answer them in code.
class QRVFilePanels {
  public:
    // The one file type a panel offers, e.g. "Menu Shortcuts" and "menuShortcuts".
    struct FileType {
        QString name;
        QString extension;
    };
    struct SavePanel {
        QWidget* window = nullptr; // the window the sheet belongs to
        FileType type;
        QString proposedName; // without the extension
        // Shown below the file list while the panel is open; the caller keeps
        // it alive until the answer and reads it then.
        QWidget* accessoryView = nullptr;
    };
    struct OpenPanel {
        QWidget* window = nullptr;
        FileType type;
    };
    // The chosen file's path; nothing when the panel was cancelled.
    using Completion = std::function<void(const std::optional<QString>& path)>;

    virtual ~QRVFilePanels() = default;
    virtual void beginSaveSheet(const SavePanel& panel, Completion done) = 0;
    virtual void beginOpenSheet(const OpenPanel& panel, Completion done) = 0;
};

// The panels as Qt's file dialogs.
class QRVDialogFilePanels : public QRVFilePanels {
  public:
    void beginSaveSheet(const SavePanel& panel, Completion done) override;
    void beginOpenSheet(const OpenPanel& panel, Completion done) override;
};

} // namespace qrv
