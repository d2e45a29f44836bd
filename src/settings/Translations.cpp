#include "settings/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>
#include <vector>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

const QString catalogueFolder = u":/i18n"_s;

struct Installed {
    std::vector<std::unique_ptr<QTranslator>> translators;
    QString language = u"en"_s;
};

Installed &installed()
{
    static Installed state;
    return state;
}

// A translator that found nothing for the locale is dropped: the texts stay in English.
bool install(std::unique_ptr<QTranslator> translator, bool loaded)
{
    if (!loaded || !QCoreApplication::installTranslator(translator.get()))
        return false;
    installed().translators.push_back(std::move(translator));
    return true;
}

// As gettext decides: the first of LC_ALL, LC_MESSAGES and LANG that is set names the messages' locale,
// and "C" or "POSIX" there (or none set) means the program's own texts whatever LANGUAGE lists, so
// that LC_ALL=C gives a script or a bug report English. Qt alone would follow LANGUAGE regardless.
bool messagesUntranslated()
{
    for (const char *variable : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const QByteArray value = qgetenv(variable);
        if (!value.isEmpty())
            return value == "C" || value == "POSIX" || value.startsWith("C.");
    }
    return true;
}

} // namespace

void installTranslations()
{
    Installed &state = installed();
    for (const auto &translator : state.translators)
        QCoreApplication::removeTranslator(translator.get());
    state.translators.clear();
    state.language = u"en"_s;

    auto english = std::make_unique<QTranslator>();
    const bool englishLoaded = english->load(u"corvane_en"_s, catalogueFolder);
    install(std::move(english), englishLoaded);

    // QLocale's languages follow LANGUAGE, LC_ALL, LC_MESSAGES and LANG as the desktop sets them,
    // read by Qt itself: no generated system locale is needed.
    const QLocale locale;
    if (locale == QLocale::system() && messagesUntranslated())
        return;
    auto own = std::make_unique<QTranslator>();
    if (own->load(locale, u"corvane"_s, u"_"_s, catalogueFolder)) {
        const QString language = own->language();
        if (install(std::move(own), true))
            state.language = QLocale(language).name().section(u'_', 0, 0);
    }
    auto qt = std::make_unique<QTranslator>();
    const bool qtLoaded
        = qt->load(locale, u"qtbase"_s, u"_"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    install(std::move(qt), qtLoaded);
}

QString translationLanguage()
{
    return installed().language;
}

} // namespace corvane
