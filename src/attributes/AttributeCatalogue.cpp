#include "attributes/AttributeCatalogue.h"

namespace corvane {

const QString &AttributeCatalogue::prefix()
{
    static const QString thePrefix = QStringLiteral("com.apple.metadata:kMDItem");
    return thePrefix;
}

const QStringList &AttributeCatalogue::entries()
{
    // Also the labels the panel shows, translated (translatedLabel).
    static const QStringList theEntries = {
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Keywords")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Authors")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Comment")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Copyright")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Creator")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Description")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "FinderComment")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Headline")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Information")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Kind")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Languages")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Projects")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Subject")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Title")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "Version")),
        QStringLiteral(QT_TRANSLATE_NOOP("AttributeLabels", "ApplicationCategories")),
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
