// The request by which a refused later start brings the running copy of the game forward.
#pragma once

#include <QString>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace horokata {

// A named pipe in the user's runtime folder, read by the copy that holds the instance lock.
// It needs nothing beyond the system: a local socket library would cost every start more than
// the whole request does.
class RaiseChannel {
public:
    // Listens at `path` (a pipe left there by a killed copy is replaced) and calls `onRequest`
    // from the event loop for each request; null when no pipe can be made.
    static std::unique_ptr<RaiseChannel> listen(const QString &path, std::function<void()> onRequest);
    // Sends the request to the copy listening at `path`; false when none listens.
    static bool send(const QString &path);

    ~RaiseChannel();
    RaiseChannel(const RaiseChannel &) = delete;
    RaiseChannel &operator=(const RaiseChannel &) = delete;

private:
    RaiseChannel() = default;
    void readRequests();

    QString path_;
    int readEnd_ = -1;
    int keepOpen_ = -1; // our own writer, so the pipe never reads as ended between requests
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> onRequest_;
    QByteArray pending_;
};

} // namespace horokata
