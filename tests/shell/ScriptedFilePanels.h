#pragma once

#include "shell/QRVFilePanels.h"

#include <QList>

namespace qrv::testing {

// File panels that the test answers: each sheet waits, as a real one would,
// until answer() chooses a file or cancels it.
class ScriptedFilePanels : public QRVFilePanels {
  public:
    struct Sheet {
        bool save = false;
        SavePanel savePanel;
        OpenPanel openPanel;
        Completion done;
    };

    void beginSaveSheet(const SavePanel& panel, Completion done) override {
        waiting.append({true, panel, {}, std::move(done)});
        ++shown;
    }
    void beginOpenSheet(const OpenPanel& panel, Completion done) override {
        waiting.append({false, {}, panel, std::move(done)});
        ++shown;
    }

    // Ends the oldest waiting sheet with a file, or nothing for Cancel.
    void answer(const std::optional<QString>& path) {
        if (waiting.isEmpty())
            return;
        Sheet sheet = waiting.takeFirst();
        sheet.done(path);
    }

    QList<Sheet> waiting;
    int shown = 0;
};

} // namespace qrv::testing
