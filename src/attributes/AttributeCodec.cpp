#include "attributes/AttributeCodec.h"

#include "plist/PlistReader.h"
#include "plist/PlistWriter.h"

#include <QCoreApplication>
#include <QStringDecoder>

namespace corvane {

namespace {
struct Text {
    Q_DECLARE_TR_FUNCTIONS(AttributeCodec)
};
} // namespace

namespace {

const char documentHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                            "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                            "<plist version=\"1.0\">\n"
                            "<string>";
const char documentTail[] = "</string>\n</plist>";

QString codePoint(char32_t c)
{
    return QStringLiteral("U+") + QStringLiteral("%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

std::optional<QByteArray> encodeAttributeString(const QString &text, QString *errorDescription)
{
    const QString problem = unstorableCharacter(text, TextForm::PropertyList);
    if (!problem.isEmpty()) {
        if (errorDescription)
            *errorDescription = problem;
        return std::nullopt;
    }
    QString escaped = text;
    escaped.replace(u'&', QStringLiteral("&amp;"));
    escaped.replace(u'<', QStringLiteral("&lt;"));
    escaped.replace(u'>', QStringLiteral("&gt;"));
    // After the ampersands, so the reference is not escaped again.
    escaped.replace(u'\r', QStringLiteral("&#13;"));

    QByteArray document = documentHead;
    document += escaped.toUtf8();
    document += documentTail;

    QString parseError;
    const std::optional<plist::Value> parsed = plist::parse(document, &parseError);
    if (!parsed || !parsed->isString()) {
        if (errorDescription)
            *errorDescription = Text::tr("The text could not be stored as a property list (%1).")
                                    .arg(parseError.isEmpty() ? Text::tr("not a string") : parseError);
        return std::nullopt;
    }
    return plist::writeBinary(parsed->toString());
}

QString decodeAttributeString(QByteArrayView bytes)
{
    const std::optional<plist::Value> value = plist::parse(bytes);
    return value ? value->toString() : QString();
}

QString unstorableCharacter(const QString &text, TextForm form)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size()
            && QChar::isLowSurrogate(text[i + 1].unicode())) {
            ++i;
            continue;
        }
        if (QChar::isSurrogate(c))
            return Text::tr("The text contains an incomplete Unicode character (a lone surrogate %1), "
                            "which cannot be stored.")
                .arg(codePoint(c));
        const bool control = c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
        if (form == TextForm::PlainText && control)
            return Text::tr("The text contains the control character %1, which plain text cannot hold.")
                .arg(codePoint(c));
        // XML 1.0 holds neither.
        if (form == TextForm::PropertyList && (control || c == 0xFFFE || c == 0xFFFF))
            return Text::tr("The text contains the control character %1, which cannot be stored "
                            "in a property list.")
                .arg(codePoint(c));
    }
    return {};
}

std::optional<QString> readableText(QByteArrayView bytes)
{
    // A byte order mark at the start is part of the text: written back, the value keeps it.
    QStringDecoder decoder(QStringConverter::Utf8,
        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    for (QChar c : std::as_const(text)) {
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return std::nullopt;
    }
    return text;
}

bool hasNulSuffix(QByteArrayView bytes)
{
    bool suffix = false;
    return plist::parse(bytes, nullptr, nullptr, &suffix) && suffix;
}

} // namespace corvane
