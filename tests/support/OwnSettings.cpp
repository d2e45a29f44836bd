// Linked into every test program (not through the support library, whose unused objects the linker
// drops): before main() runs, the program's settings, data, cache and state go to a temporary folder
// of its own, so that no test ever reads or writes the user's (~/.config/Corvane/Corvane.conf), and
// programs a test starts inherit the same folders. And once the application object exists, the
// catalogues are installed as main() installs them, so the texts tests see are the ones users see.

#include "settings/Translations.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
struct OwnSettings {
    QTemporaryDir home;

    OwnSettings()
    {
        for (const char *variable :
            { "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME" }) {
            const QString folder = home.filePath(QString::fromLatin1(variable).toLower());
            QDir().mkpath(folder);
            qputenv(variable, QFile::encodeName(folder));
        }
    }
};

const OwnSettings ownSettings;
} // namespace

namespace {
void installCatalogues()
{
    corvane::installTranslations();
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(installCatalogues)
