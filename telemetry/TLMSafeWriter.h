#pragma once

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <unistd.h>

namespace qrv {

// A small buffered writer made of write(2) alone, for signal handlers: no
// allocation, no locks, no stdio. What is flushed is on its way to the disk
// even if the process dies the next moment.
class TLMSafeWriter {
  public:
    explicit TLMSafeWriter(int fd)
        : m_fd(fd) {}
    ~TLMSafeWriter() { flush(); }
    TLMSafeWriter(const TLMSafeWriter&) = delete;
    TLMSafeWriter& operator=(const TLMSafeWriter&) = delete;

    TLMSafeWriter& text(const char* s, size_t length) {
        for (size_t i = 0; i < length; ++i) {
            if (m_used == sizeof m_buffer)
                flush();
            m_buffer[m_used++] = s[i];
        }
        return *this;
    }
    TLMSafeWriter& text(const char* s) { return text(s, strlen(s)); }
    // A single line: line breaks would end the record's field early.
    TLMSafeWriter& line(const char* s) {
        for (; *s; ++s)
            text(*s == '\n' || *s == '\r' ? " " : s, 1);
        return *this;
    }
    TLMSafeWriter& decimal(unsigned long long value) {
        char digits[24];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value);
        while (n)
            text(&digits[--n], 1);
        return *this;
    }
    TLMSafeWriter& signedDecimal(long long value) {
        if (value >= 0)
            return decimal(static_cast<unsigned long long>(value));
        text("-", 1);
        // Negating the smallest value would overflow; its magnitude fits unsigned.
        return decimal(0ULL - static_cast<unsigned long long>(value));
    }
    TLMSafeWriter& hex(uintptr_t value) {
        static const char kDigits[] = "0123456789abcdef";
        char digits[2 + 2 * sizeof value] = {'0', 'x'};
        for (size_t i = 0; i < 2 * sizeof value; ++i)
            digits[2 + i] = kDigits[(value >> (4 * (2 * sizeof value - 1 - i))) & 0xF];
        return text(digits, sizeof digits);
    }
    void flush() {
        size_t done = 0;
        while (done < m_used) {
            const ssize_t n = ::write(m_fd, m_buffer + done, m_used - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        m_used = 0;
    }

  private:
    int m_fd;
    char m_buffer[1024];
    size_t m_used = 0;
};

} // namespace qrv
