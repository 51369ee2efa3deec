// The real platform layer on Qt.
#include "platform_qt/qt_platform.h"

#include "platform_qt/exact_title.h"
#include "platform_qt/raise_channel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QScreen>
#include <QLibrary>
#include <QStandardPaths>
#include <QStringList>
#include <cmath>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace horokata {

QtPlatform::QtPlatform()
{
    clock_.start();
    randomize();
}

QtPlatform::~QtPlatform()
{
    if (busy_)
        QApplication::restoreOverrideCursor();
}

FlowTask<> QtPlatform::doEvents()
{
    if (beforeEvents)
        beforeEvents();
    co_await waits_.pause(0);
}

FlowTask<> QtPlatform::sleepMs(int ms)
{
    // The wait keeps the window painted. Input is handled too, so that clicks made
    // meanwhile reach the disabled window (and are dropped there) instead of queueing up
    // and arriving once the window is enabled again.
    if (beforeEvents)
        beforeEvents();
    if (ms <= 0)
        co_return;
    co_await waits_.pause(ms);
}

void QtPlatform::stopFlows()
{
    waits_.stopAll();
}

std::uint32_t QtPlatform::tickMs()
{
    return static_cast<std::uint32_t>(clock_.elapsed());
}

float QtPlatform::rnd()
{
    float r = std::uniform_real_distribution<float>(0.0f, 1.0f)(gen_);
    if (r >= 1.0f) // guards the rounding case of the float distribution
        r = std::nextafter(1.0f, 0.0f);
    return r;
}

void QtPlatform::randomize()
{
    const auto now = static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch());
    std::seed_seq seq{static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32),
                      static_cast<std::uint32_t>(clock_.nsecsElapsed())};
    gen_.seed(seq);
}

void QtPlatform::beep()
{
    if (!soundOn)
        return;
    QApplication::beep();
}

SoundBackend *QtPlatform::soundBackend()
{
    if (!soundLoadTried_) {
        soundLoadTried_ = true;
        // The module stays loaded for the rest of the run (QLibrary does not unload it).
        QLibrary module(QCoreApplication::applicationDirPath() + u'/' + QLatin1String(kSoundModuleName));
        if (const auto entry = reinterpret_cast<SoundBackendEntry>(module.resolve(kSoundBackendEntry)))
            sound_.reset(entry());
    }
    return sound_.get();
}

void QtPlatform::preloadSounds(const QStringList &paths)
{
    if (SoundBackend *backend = soundBackend()) {
        for (const QString &path : paths)
            backend->preload(path);
    }
}

bool QtPlatform::playSound(const QString &path)
{
    if (!soundOn)
        return true; // silent by choice: the slot stays on for when the sound comes back
    SoundBackend *backend = soundBackend();
    if (!backend)
        return false; // no sound system: the caller switches the slot off
    backend->play(path);
    return true;
}

void QtPlatform::stopSound()
{
    // A module never loaded has nothing playing: no need to load it for this.
    if (sound_)
        sound_->stop();
}

void QtPlatform::setBusyPointer(bool busy)
{
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtPlatform::messageBox(const QString &text, const QString &title)
{
    // The one kind of window that blocks: the program ends once it is closed.
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok);
    const ExactWindowTitles exact;
    box.exec();
}

FlowTask<> QtPlatform::notice(const QString &text, const QString &title)
{
    if (beforeEvents)
        beforeEvents();
    // The window that asked is disabled while its flow runs, so the box need not be modal.
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
    const ExactWindowTitles exact;
    box.show();
    co_await waits_.until(static_cast<QDialog *>(&box), &QDialog::finished);
}

std::optional<QString> QtPlatform::windowsDirectory()
{
#ifdef Q_OS_WIN
    wchar_t buffer[MAX_PATH + 1];
    const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH)
        return std::nullopt;
    return QString::fromWCharArray(buffer, static_cast<int>(n));
#else
    // No system folder here: the game ships its own "system/Media" beside the binary.
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/system");
    if (!QFileInfo(dir).isDir())
        return std::nullopt;
    return dir;
#endif
}

QString QtPlatform::lockPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME", QStringLiteral("user")));
    return dir + QStringLiteral("/horokata-") + user + QStringLiteral(".lock");
}

QString QtPlatform::raiseChannelPath()
{
    QString path = lockPath();
    path.chop(QStringLiteral(".lock").size());
    return path + QStringLiteral(".raise");
}

bool QtPlatform::previousInstance()
{
    // A lock held by a live process of this user means another copy runs. A lock left by a
    // crashed or killed copy names a dead process and is taken over.
    lock_ = std::make_unique<QLockFile>(lockPath());
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        listenForLaterStarts();
        return false;
    }
    if (lock_->error() == QLockFile::LockFailedError)
        return true;
    return false; // the lock cannot be made at all (no writable folder): do not refuse to run
}

void QtPlatform::listenForLaterStarts()
{
    // Without the channel a later start is still refused; it only cannot bring this one forward.
    raiseChannel_ = RaiseChannel::listen(raiseChannelPath(), [this] {
        if (onRaiseRequest)
            onRaiseRequest();
    });
}

void QtPlatform::raisePreviousInstance()
{
    // The copy that runs answers from its event loop; with none listening nothing happens.
    RaiseChannel::send(raiseChannelPath());
}

int QtPlatform::colorDepth()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 32;
}

bool QtPlatform::fileExistsNormal(const QString &path)
{
    const QFileInfo fi(path);
    return fi.exists() && fi.isFile() && !fi.isHidden();
}

std::int64_t QtPlatform::fileLength(const QString &path)
{
    const QFileInfo fi(path);
    return fi.exists() ? fi.size() : -1;
}

} // namespace horokata
