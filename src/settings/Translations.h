#pragma once

#include <QString>

namespace corvane {

// The user's language: Corvane's own catalogue and Qt's (standard buttons, the file chooser, the
// command-line parser's complaints) for the default locale, which is the system's unless a caller set
// another. The English catalogue is installed first whatever the language: it holds English's plural
// forms ("1 text", "2 texts") and is what a language without a catalogue falls back to. Installing
// again replaces what the previous call installed. Needs a QCoreApplication.
void installTranslations();

// The language of the Corvane catalogue installed last ("de"); "en" when only English is.
QString translationLanguage();

} // namespace corvane
