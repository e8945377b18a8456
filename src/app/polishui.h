#pragma once

class QCoreApplication;

// The program speaks Polish also in Qt's own dialogs, buttons and context menus ("Tak", "Nie",
// "Anuluj", the file and print dialogs): loads Qt's Polish translation (qtbase_pl.qm from the
// Qt translations directory, Debian package qt6-translations-l10n) into the application and
// makes Polish (Poland) the default locale. False when the translation file is missing; the
// locale is set either way.
bool installPolishTranslations(QCoreApplication& app);
