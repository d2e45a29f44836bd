#include "attributes/ValueText.h"

#include <QCoreApplication>

#include <cerrno>

namespace corvane {

namespace {
struct Text {
    Q_DECLARE_TR_FUNCTIONS(ValueText)
};
} // namespace

QString lineBreakStyle(const QString &value)
{
    qsizetype crlf = 0;
    qsizetype cr = 0;
    qsizetype lf = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\r') {
            if (i + 1 < value.size() && value[i + 1] == u'\n') {
                ++crlf;
                ++i;
            } else {
                ++cr;
            }
        } else if (value[i] == u'\n') {
            ++lf;
        }
    }
    if (crlf > 0 && cr == 0 && lf == 0)
        return QStringLiteral("\r\n");
    if (cr > 0 && crlf == 0 && lf == 0)
        return QStringLiteral("\r");
    return QStringLiteral("\n");
}

QString valueFromFieldText(const QString &rawText, const QString &lineBreak)
{
    QString value = rawText;
    value.replace(QChar::ParagraphSeparator, lineBreak);
    return value;
}

QString fileSystemKeepsNoAttributes()
{
    return Text::tr("This file system keeps no extended attributes");
}

QString readFailureInPlainWords(int errorNumber, const QString &systemText)
{
    switch (errorNumber) {
    case ENODATA:
#if defined(ENOATTR) && ENOATTR != ENODATA
    case ENOATTR:
#endif
        return QString();
    case EACCES:
    case EPERM:
        return Text::tr("Cannot be read: permission denied");
    case ENOTSUP:
        return fileSystemKeepsNoAttributes();
    case ERANGE:
    case E2BIG:
        return Text::tr("Cannot be read: the value or its name is too long");
    case ENOENT:
    case ENOTDIR:
        return Text::tr("Cannot be read: the file is no longer there");
    default:
        return Text::tr("Cannot be read: %1").arg(systemText);
    }
}

} // namespace corvane
