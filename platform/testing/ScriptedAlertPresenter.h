#pragma once

#include "platform/AlertPresenter.h"

#include <QList>
#include <deque>

namespace qrv::testing {

// Answers alerts from a queue the test fills, and records every alert shown.
// With no answer queued it presses the first button.
class ScriptedAlertPresenter final : public AlertPresenter {
  public:
    AlertResponse runModal(const Alert& alert) override {
        shown.append(alert);
        if (m_answers.empty())
            return {};
        AlertResponse answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    void beep() override { ++beeps; }

    void answer(int buttonIndex, bool suppress = false) {
        m_answers.push_back({AlertResponse::kFirstButton + buttonIndex, suppress});
    }
    size_t queuedAnswers() const { return m_answers.size(); }

    QList<Alert> shown;
    int beeps = 0;

  private:
    std::deque<AlertResponse> m_answers;
};

} // namespace qrv::testing
