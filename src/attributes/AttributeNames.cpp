#include "attributes/AttributeNames.h"

#include "attributes/AttributeCatalogue.h"
#include "attributes/ExtendedAttributes.h"

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

// Labels of the macOS names that are not in the catalogue but that files from a Mac commonly carry.
const QHash<QString, QString> &macLabels()
{
    static const QHash<QString, QString> labels = [] {
        QHash<QString, QString> table = {
            { u"com.apple.metadata:kMDItemWhereFroms"_s, u"Where from"_s },
            { u"com.apple.metadata:kMDItemDownloadedDate"_s, u"Downloaded"_s },
            { u"com.apple.metadata:_kMDItemUserTags"_s, u"Tags"_s },
            { u"com.apple.quarantine"_s, u"Quarantine"_s },
            { u"com.apple.FinderInfo"_s, u"Finder info"_s },
            { u"com.apple.lastuseddate#PS"_s, u"Last opened"_s },
            { u"com.apple.ResourceFork"_s, u"Resource fork"_s },
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
        { u"user.xdg.comment"_s, u"Comment (desktop)"_s },
        { u"user.xdg.tags"_s, u"Tags (desktop)"_s },
        { u"user.xdg.origin.url"_s, u"Origin address"_s },
        { u"user.xdg.referrer.url"_s, u"Referrer address"_s },
        { u"user.xdg.creator"_s, u"Created by"_s },
        { u"user.xdg.publisher"_s, u"Published by"_s },
        { u"user.xdg.language"_s, u"Language (desktop)"_s },
        { u"user.DOSATTRIB"_s, u"DOS attributes"_s },
        { u"user.DosStream.AFP_AfpInfo:$DATA"_s, u"Finder info (AFP)"_s },
        { u"user.DosStream.AFP_Resource:$DATA"_s, u"Resource fork (AFP)"_s },
        { u"user.DosStream.Zone.Identifier:$DATA"_s, u"Zone identifier"_s },
        { u"security.selinux"_s, u"SELinux context"_s },
        { u"security.capability"_s, u"Capabilities"_s },
        { u"system.posix_acl_access"_s, u"Access control list"_s },
        { u"system.posix_acl_default"_s, u"Default access control list"_s },
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

} // namespace

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

    if (const auto mac = macLabels().constFind(result.macName); mac != macLabels().cend()) {
        result.label = *mac;
        result.wellKnown = true;
    } else if (const auto plain = linuxLabels().constFind(name); plain != linuxLabels().cend()) {
        result.label = *plain;
        result.wellKnown = true;
    } else if (!result.macName.isEmpty()) {
        result.label = result.macName;
    } else if (!result.streamName.isEmpty()) {
        result.label = result.streamName;
    } else if (result.nameSpace == u"user"_s) {
        result.label = name.sliced(userPrefix.size());
    } else {
        result.label = name;
    }
    if (result.label.isEmpty())
        result.label = name; // "user." alone

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
    const auto found = names.constFind(label);
    if (found == names.cend())
        return std::nullopt;
    return *found;
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
