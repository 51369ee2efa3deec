// The game's own size and the pictures drawn for it.
#include "platform_qt/ui_scale.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QRegularExpression>
#include <algorithm>
#include <array>

namespace horokata {

namespace {
int scalePercent = 100;
constexpr std::array<int, 5> kArtPercents{100, 125, 150, 175, 200};
} // namespace

void setUiScalePercent(int percent)
{
    scalePercent = percent > 0 ? percent : 100;
}

int uiScalePercent()
{
    return scalePercent;
}

double uiScale()
{
    return scalePercent / 100.0;
}

void scaleApplicationFont()
{
    if (scalePercent == 100 || !qApp)
        return;
    QFont font = QApplication::font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(scaledF(font.pointSizeF()));
    else if (font.pixelSize() > 0)
        font.setPixelSize(scaled(font.pixelSize()));
    // Without a class name this also drops the fonts Qt keeps per kind of control (headers,
    // menus, tooltips), so that they all follow this one.
    QApplication::setFont(font);
}

QString scaledStyle(const QString &css)
{
    if (scalePercent == 100)
        return css;
    static const QRegularExpression length(QStringLiteral("\\b(\\d+(?:\\.\\d+)?)(px|pt)\\b"));
    QString out;
    qsizetype from = 0;
    for (auto it = length.globalMatch(css); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(css).mid(from, m.capturedStart() - from);
        const double v = m.captured(1).toDouble();
        out += m.captured(2) == QLatin1String("px") ? QString::number(v > 0 ? std::max(1L, std::lround(v * uiScale())) : 0L)
                                                    : QString::number(v * uiScale());
        out += m.captured(2);
        from = m.capturedEnd();
    }
    out += QStringView(css).mid(from);
    return out;
}

int artPercentFor(double devicePixelRatio)
{
    const double shown = scalePercent * (devicePixelRatio > 0 ? devicePixelRatio : 1.0);
    for (int p : kArtPercents)
        if (p + 0.5 >= shown)
            return p;
    return kArtPercents.back();
}

QString artFileAt(const QString &path, int percent)
{
    if (percent == 100)
        return path;
    QString suffix;
    switch (percent) {
    case 125: suffix = QStringLiteral("@1.25x"); break;
    case 150: suffix = QStringLiteral("@1.5x"); break;
    case 175: suffix = QStringLiteral("@1.75x"); break;
    default: suffix = QStringLiteral("@2x"); break;
    }
    QString named = path;
    const qsizetype dot = named.lastIndexOf(QLatin1Char('.'));
    named.insert(dot < 0 ? named.size() : dot, suffix);
    return named;
}

QImage loadArtImage(const QString &path, double devicePixelRatio)
{
    const int percent = artPercentFor(devicePixelRatio);
    QImage art(artFileAt(path, percent), "PNG");
    if (!art.isNull()) {
        art.setDevicePixelRatio(double(percent) / scalePercent);
        return art;
    }
    art = QImage(path, "PNG");
    if (art.isNull() || scalePercent == 100)
        return art;
    // No file drawn at this size: the 100 % picture, smoothed to the size.
    return art.scaled(scaled(art.size()), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QPixmap loadArt(const QString &path)
{
    return QPixmap::fromImage(loadArtImage(path, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0));
}

} // namespace horokata
