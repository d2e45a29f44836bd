#include "attributes/AttributeCatalogue.h"

namespace corvane {

const QString &AttributeCatalogue::prefix()
{
    static const QString thePrefix = QStringLiteral("com.apple.metadata:kMDItem");
    return thePrefix;
}

const QStringList &AttributeCatalogue::entries()
{
    static const QStringList theEntries = {
        QStringLiteral("Keywords"),
        QStringLiteral("Authors"),
        QStringLiteral("Comment"),
        QStringLiteral("Copyright"),
        QStringLiteral("Creator"),
        QStringLiteral("Description"),
        QStringLiteral("FinderComment"),
        QStringLiteral("Headline"),
        QStringLiteral("Information"),
        QStringLiteral("Kind"),
        QStringLiteral("Languages"),
        QStringLiteral("Projects"),
        QStringLiteral("Subject"),
        QStringLiteral("Title"),
        QStringLiteral("Version"),
        QStringLiteral("ApplicationCategories"),
    };
    return theEntries;
}

QString attributeNameFor(qsizetype selectedIndex, qsizetype itemCount, const QString &typedText)
{
    if (selectedIndex < 0)
        return typedText;
    const QStringList &entries = AttributeCatalogue::entries();
    if (selectedIndex >= itemCount || selectedIndex >= entries.size())
        return QString();
    return AttributeCatalogue::prefix() + entries.at(selectedIndex);
}

} // namespace corvane
