#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <variant>

namespace qrv {

// The error half of a Result: a message meant for people (logs, alerts, stderr).
struct Error {
    QString message;
};

inline Error makeError(QString message) {
    return Error{std::move(message)};
}

// Recoverable failures travel as values, never as exceptions: either a T or an
// Error with a readable message. Ignoring one is a compile warning.
template <typename T> class [[nodiscard]] Result {
  public:
    Result(T value)
        : m_value(std::move(value)) {}
    Result(Error error)
        : m_value(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_value); }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<T>(m_value); }
    const T& value() const& { return std::get<T>(m_value); }
    T&& value() && { return std::get<T>(std::move(m_value)); }
    T valueOr(T fallback) const { return ok() ? value() : std::move(fallback); }

    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    const QString& error() const { return std::get<Error>(m_value).message; }

  private:
    std::variant<T, Error> m_value;
};

template <> class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Error error)
        : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    QString error() const { return m_error ? m_error->message : QString(); }

  private:
    std::optional<Error> m_error;
};

inline Result<void> success() {
    return {};
}

} // namespace qrv
