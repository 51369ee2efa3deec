// The game's font names mapped to fonts installed on this machine.
#include "platform_qt/fonts.h"

#include "platform_qt/ui_scale.h"

#include <QFontDatabase>
#include <QSet>
#include <QStringList>

namespace horokata {

bool fontInstalled(const QString &family)
{
    // Listing the installed families walks the whole font database and builds every name:
    // the window asks for a font a dozen times while it is built, so the list is made once.
    // The game adds no fonts of its own while it runs.
    static const QSet<QString> installed = [] {
        QSet<QString> names;
        const QStringList families = QFontDatabase::families();
        for (const QString &f : families)
            names.insert(f.toCaseFolded());
        return names;
    }();
    return installed.contains(family.toCaseFolded());
}

namespace {
QString firstInstalled(const QStringList &candidates)
{
    for (const QString &f : candidates)
        if (fontInstalled(f))
            return f;
    return candidates.last();
}
} // namespace

QFont gothicFont(double pointSize, bool proportional, bool bold)
{
    const QString wanted = proportional ? QStringLiteral("ＭＳ Ｐゴシック") : QStringLiteral("ＭＳ ゴシック");
    const QStringList candidates = proportional
        ? QStringList{wanted, QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans Mono CJK JP")}
        : QStringList{wanted, QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")};
    QFont font(firstInstalled(candidates));
    font.setPointSizeF(scaledF(pointSize));
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont tileFont()
{
    const QString bouquet = QStringLiteral("CRＣ＆Ｇブーケ");
    if (fontInstalled(bouquet)) {
        QFont font(bouquet);
        font.setPointSizeF(scaledF(28));
        font.setBold(false);
        return font;
    }
    return gothicFont(28, false, true);
}

} // namespace horokata
