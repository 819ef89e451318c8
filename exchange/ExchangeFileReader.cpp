#include "exchange/ExchangeFileReader.h"

#include "exchange/ExchangeFormat.h"
#include "platform/Scheduler.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qrv::exchange {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ExchangeFile", text);
}

Error readError(const QString& path, int error) {
    return makeError(tr("The file “%1” could not be read: %2")
                         .arg(path, QString::fromLocal8Bit(std::strerror(error))));
}

// Closes the descriptor however reading ends.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

Result<QByteArray> readExchangeBytes(const QString& path, Links links) {
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    if (links == Links::Refuse)
        flags |= O_NOFOLLOW;
    const Descriptor file{::open(QFile::encodeName(path).constData(), flags)};
    if (file.fd < 0)
        return readError(path, errno);
    struct stat info {};
    if (::fstat(file.fd, &info) != 0)
        return readError(path, errno);
    if (!S_ISREG(info.st_mode))
        return makeError(tr("“%1” is not a regular file.").arg(path));
    if (info.st_size > kMaxFileSize)
        return makeError(tr("The file is larger than %1 KiB.").arg(kMaxFileSize / 1024));
    // Read up to one byte past the limit: a file that grows meanwhile is refused too.
    QByteArray bytes(kMaxFileSize + 1, Qt::Uninitialized);
    qsizetype total = 0;
    while (total < bytes.size()) {
        const ssize_t got = ::read(file.fd, bytes.data() + total, size_t(bytes.size() - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return readError(path, errno);
        if (got == 0)
            break;
        total += got;
    }
    if (total > kMaxFileSize)
        return makeError(tr("The file is larger than %1 KiB.").arg(kMaxFileSize / 1024));
    bytes.truncate(total);
    return bytes;
}

Result<QJsonObject> readExchangeFile(const QString& path, Links links) {
    auto bytes = readExchangeBytes(path, links);
    if (!bytes)
        return Error{bytes.error()};
    return parseExchangeJson(*bytes);
}

void readExchangeFileInBackground(Scheduler& scheduler, const QString& path, Links links,
                                  std::function<void(Result<QJsonObject>)> done) {
    scheduler.asyncGlobal([&scheduler, path, links, done = std::move(done)]() mutable {
        auto result = std::make_shared<Result<QJsonObject>>(readExchangeFile(path, links));
        scheduler.asyncMain([result, done = std::move(done)] { done(std::move(*result)); });
    });
}

} // namespace qrv::exchange
