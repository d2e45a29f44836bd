#include "attributes/AttributeNames.h"

#include "attributes/AttributeCatalogue.h"
#include "attributes/ExtendedAttributes.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringDecoder>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

const QString userPrefix = u"user."_s;
const QString hfsPrefix = u"osx."_s;
const QString streamPrefix = u"user.DosStream."_s;
const QString streamSuffix = u":$DATA"_s;
constexpr char16_t sambaColon = 0xF022;

// The labels below are kept in English, as the listing prints them and NAME arguments take them; the
// panel and the alerts show them translated (shownLabel).
QString label(const char *english)
{
    return QString::fromLatin1(english);
}

// Labels of the macOS names that are not in the catalogue but that files from a Mac commonly carry.
const QHash<QString, QString> &macLabels()
{
    static const QHash<QString, QString> labels = [] {
        QHash<QString, QString> table = {
            { u"com.apple.metadata:kMDItemWhereFroms"_s,
                label(QT_TRANSLATE_NOOP("AttributeLabels", "Where from")) },
            { u"com.apple.metadata:kMDItemDownloadedDate"_s,
                label(QT_TRANSLATE_NOOP("AttributeLabels", "Downloaded")) },
            { u"com.apple.metadata:_kMDItemUserTags"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Tags")) },
            { u"com.apple.quarantine"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Quarantine")) },
            { u"com.apple.FinderInfo"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Finder info")) },
            { u"com.apple.lastuseddate#PS"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Last opened")) },
            { u"com.apple.ResourceFork"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Resource fork")) },
        };
        for (const QString &entry : AttributeCatalogue::entries())
            table.insert(AttributeCatalogue::prefix() + entry, entry);
        return table;
    }();
    return labels;
}

// Labels of Linux names carrying no macOS name: the freedesktop.org common attributes that file
// managers and browsers write, and what Samba and the kernel keep beside them.
const QHash<QString, QString> &linuxLabels()
{
    static const QHash<QString, QString> labels = {
        { u"user.xdg.comment"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Comment (desktop)")) },
        { u"user.xdg.tags"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Tags (desktop)")) },
        { u"user.xdg.origin.url"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Origin address")) },
        { u"user.xdg.referrer.url"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Referrer address")) },
        { u"user.xdg.creator"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Created by")) },
        { u"user.xdg.publisher"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Published by")) },
        { u"user.xdg.language"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Language (desktop)")) },
        { u"user.DOSATTRIB"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "DOS attributes")) },
        { u"user.DosStream.AFP_AfpInfo:$DATA"_s,
            label(QT_TRANSLATE_NOOP("AttributeLabels", "Finder info (AFP)")) },
        { u"user.DosStream.AFP_Resource:$DATA"_s,
            label(QT_TRANSLATE_NOOP("AttributeLabels", "Resource fork (AFP)")) },
        { u"user.DosStream.Zone.Identifier:$DATA"_s,
            label(QT_TRANSLATE_NOOP("AttributeLabels", "Zone identifier")) },
        { u"security.selinux"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "SELinux context")) },
        { u"security.capability"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Capabilities")) },
        { u"system.posix_acl_access"_s, label(QT_TRANSLATE_NOOP("AttributeLabels", "Access control list")) },
        { u"system.posix_acl_default"_s,
            label(QT_TRANSLATE_NOOP("AttributeLabels", "Default access control list")) },
    };
    return labels;
}

// The name the editor stores for each catalogue entry, by its own naming rule.
const QHash<QByteArray, qsizetype> &catalogueIndices()
{
    static const QHash<QByteArray, qsizetype> indices = [] {
        QHash<QByteArray, qsizetype> table;
        const QStringList &entries = AttributeCatalogue::entries();
        for (qsizetype i = 0; i < entries.size(); ++i)
            table.insert(systemAttributeName(AttributeCatalogue::prefix() + entries[i]), i);
        return table;
    }();
    return indices;
}

// macOS keeps its own attributes in Apple's reverse-DNS space; Spotlight's user-visible ones also
// appear bare with a leading underscore.
bool isMacName(const QString &name)
{
    return name.startsWith(u"com.apple."_s) || name.startsWith(u"_kMDItem"_s);
}

QString namespaceOf(const QString &name)
{
    static const QString namespaces[] = { u"user"_s, u"security"_s, u"trusted"_s, u"system"_s, u"osx"_s };
    for (const QString &candidate : namespaces) {
        if (name.size() > candidate.size() && name.startsWith(candidate) && name[candidate.size()] == u'.')
            return candidate;
    }
    return {};
}

// The code point starting at `at` and its length in bytes, or a length of 0 when the bytes there are
// not UTF-8 (overlong forms, surrogates and code points past U+10FFFF included).
std::pair<char32_t, int> codePointAt(QByteArrayView bytes, qsizetype at)
{
    const uchar lead = uchar(bytes[at]);
    if (lead < 0x80)
        return { lead, 1 };
    int length = 0;
    char32_t c = 0, least = 0;
    if ((lead & 0xE0) == 0xC0)
        length = 2, c = lead & 0x1F, least = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, c = lead & 0x0F, least = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, c = lead & 0x07, least = 0x10000;
    if (length == 0 || at + length > bytes.size())
        return { 0, 0 };
    for (int i = 1; i < length; ++i) {
        const uchar next = uchar(bytes[at + i]);
        if ((next & 0xC0) != 0x80)
            return { 0, 0 };
        c = c << 6 | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return { 0, 0 };
    return { c, length };
}

// Characters that show nothing, or show as something else, or move the text around them.
bool isHidden(char32_t c)
{
    if (c == u' ')
        return false;
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format: // the bidirectional controls among them
    case QChar::Other_NotAssigned:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Separator_Space:
        return true;
    default:
        break;
    }
    // Letters and marks that draw nothing: Hangul fillers, the combining grapheme joiner, variation
    // selectors.
    return c == 0x115F || c == 0x1160 || c == 0x3164 || c == 0xFFA0 || c == 0x034F
        || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0x180B && c <= 0x180F) || (c >= 0xE0100 && c <= 0xE01EF);
}

void appendShown(QString &shown, char32_t c)
{
    if (c == u'\\')
        shown += u"\\\\"_s;
    else if (c < 0x80 && isHidden(c)) // as the byte it is: bytes that are not UTF-8 are all above 0x7F
        shown += u"\\x"_s + QString::number(c, 16).rightJustified(2, u'0');
    else if (isHidden(c) || (c >= 0xD800 && c <= 0xDFFF))
        shown += c <= 0xFFFF ? u"\\u"_s + QString::number(c, 16).rightJustified(4, u'0')
                             : u"\\U"_s + QString::number(c, 16).rightJustified(8, u'0');
    else
        shown += QString::fromUcs4(&c, 1);
}

} // namespace

QString shownName(QByteArrayView bytes)
{
    QString shown;
    shown.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const auto [c, length] = codePointAt(bytes, at);
        if (length == 0) {
            shown += u"\\x"_s + QString::number(uchar(bytes[at]), 16).rightJustified(2, u'0');
            ++at;
            continue;
        }
        appendShown(shown, c);
        at += length;
    }
    return shown;
}

QString shownText(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        appendShown(shown, c); // a lone surrogate is unassigned, so it is escaped
    }
    return shown;
}

QByteArray octalEscaped(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const auto [c, length] = codePointAt(bytes, at);
        const bool escaped = length == 0 || c == u'\\' || isHidden(c);
        for (int i = 0; i < qMax(length, 1); ++i) {
            const uchar byte = uchar(bytes[at + i]);
            if (escaped)
                out += '\\' + QByteArray::number(byte, 8).rightJustified(3, '0');
            else
                out += char(byte);
        }
        at += qMax(length, 1);
    }
    return out;
}

QString shownLabel(const AttributeName &name)
{
    // A label of Corvane's own only for a name it knows; any other name is shown whole, so that a typed
    // "Comment" (user.Comment) never passes for the catalogue's Comment.
    return name.wellKnown ? translatedLabel(name.label) : shownName(name.systemName);
}

QString translatedLabel(const QString &englishLabel)
{
    return QCoreApplication::translate("AttributeLabels", englishLabel.toUtf8().constData());
}

QString distinctLabel(const AttributeName &name)
{
    return name.wellKnown && !name.formPrefix.isEmpty() ? shownLabel(name) + u" ("_s + name.formPrefix + u')'
                                                        : shownLabel(name);
}

QString attributeLabel(const QString &editorName)
{
    const AttributeName name = recogniseAttributeName(systemAttributeName(editorName));
    // The editor's own form of a name needs nothing more; another form of a known name says which.
    return name.form == AttributeNameForm::User ? shownLabel(name) : distinctLabel(name);
}

QString sambaStreamName(const QString &streamName)
{
    QString stored = streamName;
    return stored.replace(u':', QChar(sambaColon));
}

QString fromSambaStreamName(const QString &stored)
{
    QString name = stored;
    return name.replace(QChar(sambaColon), u':');
}

AttributeName recogniseAttributeName(QByteArrayView systemName)
{
    AttributeName result;
    result.systemName = systemName.toByteArray();
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    result.name = decoder(systemName);
    result.validUtf8 = !decoder.hasError();
    const QString &name = result.name;
    result.nameSpace = namespaceOf(name);

    if (name.startsWith(streamPrefix) && name.endsWith(streamSuffix)
        && name.size() > streamPrefix.size() + streamSuffix.size()) {
        result.form = AttributeNameForm::SambaStream;
        result.streamName = fromSambaStreamName(
            name.sliced(streamPrefix.size(), name.size() - streamPrefix.size() - streamSuffix.size()));
        if (isMacName(result.streamName))
            result.macName = result.streamName;
    } else if (name.startsWith(userPrefix) && isMacName(name.sliced(userPrefix.size()))) {
        result.form = AttributeNameForm::User;
        result.macName = name.sliced(userPrefix.size());
    } else if (name.startsWith(hfsPrefix) && isMacName(name.sliced(hfsPrefix.size()))) {
        result.form = AttributeNameForm::HfsPlus;
        result.macName = name.sliced(hfsPrefix.size());
    }

    // The prefixes are ASCII, so they are as long in bytes as in characters.
    const QByteArray &bytes = result.systemName;
    if (const auto mac = macLabels().constFind(result.macName); mac != macLabels().cend()) {
        result.label = *mac;
        result.wellKnown = true;
    } else if (const auto plain = linuxLabels().constFind(name); plain != linuxLabels().cend()) {
        result.label = *plain;
        result.wellKnown = true;
    } else if (!result.macName.isEmpty() && result.form != AttributeNameForm::SambaStream) {
        result.label = result.macName;
        result.labelBytes
            = bytes.sliced(result.form == AttributeNameForm::User ? userPrefix.size() : hfsPrefix.size());
    } else if (!result.streamName.isEmpty()) {
        result.label = result.streamName;
        result.labelBytes
            = bytes.sliced(streamPrefix.size(), bytes.size() - streamPrefix.size() - streamSuffix.size());
        result.labelBytes.replace(QString(QChar(sambaColon)).toUtf8(), ":");
    } else if (result.nameSpace == u"user"_s) {
        result.label = name.sliced(userPrefix.size());
        result.labelBytes = bytes.sliced(userPrefix.size());
    }
    if (result.label.isEmpty()) { // "user." alone, or no form known
        result.label = name;
        result.labelBytes = bytes;
    }
    if (result.wellKnown)
        result.labelBytes = result.label.toUtf8();
    // What sets the form apart, for two forms of one name: "osx", "user.DosStream".
    if (result.form == AttributeNameForm::SambaStream)
        result.formPrefix = streamPrefix.chopped(1);
    else if (result.form != AttributeNameForm::Plain)
        result.formPrefix = result.nameSpace;

    result.editorCanWrite
        = result.validUtf8 && result.nameSpace == u"user"_s && result.form != AttributeNameForm::SambaStream;
    if (result.editorCanWrite)
        result.catalogueIndex = catalogueIndices().value(result.systemName, -1);
    return result;
}

std::optional<QByteArray> systemNameOfLabel(const QString &label)
{
    static const QHash<QString, QByteArray> names = [] {
        QHash<QString, QByteArray> table;
        for (auto mac = macLabels().cbegin(); mac != macLabels().cend(); ++mac)
            table.insert(mac.value(), systemAttributeName(mac.key()));
        for (auto plain = linuxLabels().cbegin(); plain != linuxLabels().cend(); ++plain)
            table.insert(plain.value(), plain.key().toUtf8());
        return table;
    }();
    if (const auto found = names.constFind(label); found != names.cend())
        return *found;
    // A label as the user sees it in the windows, in their language, names the attribute too.
    for (auto english = names.cbegin(); english != names.cend(); ++english) {
        if (translatedLabel(english.key()) == label)
            return english.value();
    }
    return std::nullopt;
}

QStringList knownLabels()
{
    QStringList labels = AttributeCatalogue::entries();
    QStringList others = macLabels().values() + linuxLabels().values();
    others.sort();
    for (const QString &label : std::as_const(others)) {
        if (!labels.contains(label))
            labels.append(label);
    }
    return labels;
}

} // namespace corvane
