// The request by which a refused later start brings the running copy of the game forward.
#include "platform_qt/raise_channel.h"

#include <QFile>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace horokata {

namespace {

// The one request there is.
constexpr char kRaise[] = "raise\n";
constexpr qsizetype kRaiseLength = sizeof kRaise - 1;

#ifdef Q_OS_UNIX
// Opens the pipe at `path` only if it is a pipe of this user, never through a link.
int openOwnPipe(const QByteArray &path, int mode)
{
    const int fd = ::open(path.constData(), mode | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISFIFO(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd);
        return -1;
    }
    return fd;
}
#endif

} // namespace

std::unique_ptr<RaiseChannel> RaiseChannel::listen(const QString &path, std::function<void()> onRequest)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    // Only the copy holding the instance lock listens, so whatever is left at the name is stale.
    ::unlink(name.constData());
    if (::mkfifo(name.constData(), 0600) != 0)
        return nullptr;
    std::unique_ptr<RaiseChannel> channel(new RaiseChannel);
    channel->path_ = path;
    channel->onRequest_ = std::move(onRequest);
    channel->readEnd_ = openOwnPipe(name, O_RDONLY);
    channel->keepOpen_ = openOwnPipe(name, O_WRONLY);
    if (channel->readEnd_ < 0 || channel->keepOpen_ < 0)
        return nullptr;
    channel->notifier_ = std::make_unique<QSocketNotifier>(channel->readEnd_, QSocketNotifier::Read);
    QObject::connect(channel->notifier_.get(), &QSocketNotifier::activated, channel->notifier_.get(),
                     [c = channel.get()] { c->readRequests(); });
    return channel;
#else
    (void)path;
    (void)onRequest;
    return nullptr;
#endif
}

void RaiseChannel::readRequests()
{
#ifdef Q_OS_UNIX
    char buffer[256];
    ssize_t n;
    while ((n = ::read(readEnd_, buffer, sizeof buffer)) > 0)
        pending_.append(buffer, n);
    // Whole requests are acted on once however many came; anything else is dropped.
    bool asked = false;
    qsizetype end;
    while ((end = pending_.indexOf('\n')) >= 0) {
        asked = asked || pending_.left(end + 1) == QByteArray(kRaise, kRaiseLength);
        pending_.remove(0, end + 1);
    }
    if (pending_.size() > kRaiseLength)
        pending_.clear();
    if (asked && onRequest_)
        onRequest_();
#endif
}

bool RaiseChannel::send(const QString &path)
{
#ifdef Q_OS_UNIX
    // Opening a pipe for writing without blocking fails when nobody reads it.
    const int fd = openOwnPipe(QFile::encodeName(path), O_WRONLY);
    if (fd < 0)
        return false;
    const bool sent = ::write(fd, kRaise, kRaiseLength) == kRaiseLength;
    ::close(fd);
    return sent;
#else
    (void)path;
    return false;
#endif
}

RaiseChannel::~RaiseChannel()
{
#ifdef Q_OS_UNIX
    notifier_.reset();
    if (readEnd_ >= 0)
        ::close(readEnd_);
    if (keepOpen_ >= 0)
        ::close(keepOpen_);
    if (!path_.isEmpty())
        ::unlink(QFile::encodeName(path_).constData());
#endif
}

} // namespace horokata
