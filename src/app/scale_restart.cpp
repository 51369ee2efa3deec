// The window size chosen at start, its fallback, and the restart that applies a new size.
#include "app/scale_restart.h"

#include "app/command_line.h"
#include "app/view_settings.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <cstdio>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace horokata {

namespace {

const QString kScaleOption = QStringLiteral("--scale");

QStringList originalArguments;
int runScale = kDefaultScale;
// A QT_SCALE_FACTOR the player set for every Qt program: the game's sizes are on top of it.
QByteArray outerFactor;
bool restartAsked = false;
// A --scale for the restart: the fallback of a size that does not fit, for one run.
std::optional<int> restartScale;

void scaleError(const QString &what)
{
    const QByteArray text = QStringLiteral("horokata: --scale %1: the window sizes are 100, 125, 150, 175 and 200\n"
                                           "Try 'horokata --help' for more information.\n").arg(what).toLocal8Bit();
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stderr);
}

} // namespace

std::optional<int> chooseStartScale(int argc, char **argv, int *percent)
{
    originalArguments.clear();
    for (int i = 0; i < argc; ++i)
        originalArguments << QString::fromLocal8Bit(argv[i]);
    std::optional<QString> given;
    for (int i = 1; i < argc && qstrcmp(argv[i], "--") != 0; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--scale")
            given = i + 1 < argc ? QString::fromLocal8Bit(argv[i + 1]) : QString();
        else if (a.startsWith("--scale="))
            given = QString::fromLocal8Bit(a.mid(8));
    }
    int chosen = ViewSettings::scale();
    if (given) {
        bool ok = false;
        const int value = QString(*given).remove(QLatin1Char('%')).toInt(&ok);
        if (!ok || !isScaleStep(value)) {
            scaleError(given->isEmpty() ? QStringLiteral("needs a size") : QStringLiteral("'%1' is not offered").arg(*given));
            return kExitUsage;
        }
        chosen = value;
    }
    runScale = chosen;
    *percent = chosen;
    outerFactor = qgetenv("QT_SCALE_FACTOR");
    return std::nullopt;
}

int startScale()
{
    return runScale;
}

double outerScale()
{
    bool ok = false;
    const double f = outerFactor.toDouble(&ok);
    return ok && f > 0 ? f : 1.0;
}

bool restartIfTooLarge(const QSize &available)
{
    if (available.isEmpty() || runScale == kScaleSteps.front())
        return false;
    const int fitting = largestFittingScale(runScale, (QSizeF(available) / outerScale()).toSize());
    if (fitting == runScale)
        return false;
    restartScale = fitting;
    restartAsked = true;
    return true;
}

void requestRestart()
{
    restartAsked = true;
}

QStringList withoutScaleOption(const QStringList &arguments)
{
    QStringList kept;
    bool afterDashes = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        afterDashes = afterDashes || a == QStringLiteral("--");
        if (!afterDashes && i > 0 && a == kScaleOption) {
            ++i; // and its value
            continue;
        }
        if (!afterDashes && i > 0 && a.startsWith(kScaleOption + QLatin1Char('=')))
            continue;
        kept << a;
    }
    return kept;
}

int restartIfRequested(int exitCode)
{
    if (!restartAsked || exitCode != 0 || originalArguments.isEmpty())
        return exitCode;
    QStringList arguments = withoutScaleOption(originalArguments);
    if (restartScale)
        arguments.insert(1, kScaleOption + QLatin1Char('=') + QString::number(*restartScale));
    // The chosen size is set again by the new start, from the settings or the option.
    std::fflush(nullptr);
#ifdef Q_OS_UNIX
    // The same process goes on as the new start: whoever waits for the game (a terminal, a
    // launcher) keeps waiting for it.
    std::vector<QByteArray> bytes;
    for (const QString &a : arguments)
        bytes.push_back(QFile::encodeName(a));
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    ::execv("/proc/self/exe", argv.data());
    ::execvp(argv[0], argv.data());
#endif
    const QString program = arguments.takeFirst();
    return QProcess::startDetached(program, arguments) ? 0 : 1;
}

} // namespace horokata
