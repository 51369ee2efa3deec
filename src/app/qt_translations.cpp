// Qt's Japanese translations, loaded from Qt's translations folder.
#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace horokata {

bool installJapaneseQtTranslations(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    // qtbase_ja holds the widgets' words; "qt_ja" would pull in every module's.
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace horokata
