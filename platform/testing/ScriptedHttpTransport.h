#pragma once

#include "platform/HttpTransport.h"

#include <QList>
#include <deque>

namespace qrv::testing {

// Records requests; the test answers them, oldest first, with answer().
class ScriptedHttpTransport final : public HttpTransport {
  public:
    void send(const HttpRequest& request,
              std::function<void(const HttpResponse&)> completion) override {
        requests.append(request);
        m_pending.push_back(std::move(completion));
    }

    // Completes the oldest open request; false when none is open.
    bool answer(const HttpResponse& response) {
        if (m_pending.empty())
            return false;
        auto completion = std::move(m_pending.front());
        m_pending.pop_front();
        completion(response);
        return true;
    }
    bool answer(int status, const QByteArray& body = {}) {
        return answer(HttpResponse{status, body, {}});
    }
    bool fail(const QString& reason) { return answer(HttpResponse{0, {}, reason}); }
    size_t pending() const { return m_pending.size(); }

    QList<HttpRequest> requests;

  private:
    std::deque<std::function<void(const HttpResponse&)>> m_pending;
};

} // namespace qrv::testing
