#pragma once

#include "shell/QRVModalRunner.h"

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>

namespace qrv::testing {

// Answers modal windows with the test's functions, in order, and records
// which windows were shown. With nothing queued a window is answered 0.
class ScriptedModalRunner final : public QRVModalRunner {
  public:
    using Answer = std::function<int(QDialog&)>;
    int runModal(QDialog& dialog) override {
        shown << dialog.objectName();
        if (m_answers.empty())
            return 0;
        Answer answer = std::move(m_answers.front());
        m_answers.pop_front();
        return answer(dialog);
    }
    void answer(Answer answer) { m_answers.push_back(std::move(answer)); }
    void answer(int code) {
        m_answers.push_back([code](QDialog&) { return code; });
    }

    QStringList shown;

  private:
    std::deque<Answer> m_answers;
};

} // namespace qrv::testing
