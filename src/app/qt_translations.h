// Qt's own words (file dialogs, standard buttons, context menus) in Japanese.
#pragma once

class QCoreApplication;

namespace horokata {

// Loads Qt's Japanese translations into `app`, whatever the system's locale: the game speaks
// Japanese everywhere, and its standard dialogs should too. False when they are not installed
// (Qt's words then stay in English).
bool installJapaneseQtTranslations(QCoreApplication &app);

} // namespace horokata
