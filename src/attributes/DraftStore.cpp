#include "attributes/DraftStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

namespace corvane {

using namespace Qt::StringLiterals;

namespace {
QJsonObject fieldsToJson(const Draft::Fields &fields)
{
    QJsonObject object { { u"kind"_s, fields.kind }, { u"text"_s, fields.text },
        { u"date"_s, fields.date.toUTC().toString(Qt::ISODateWithMs) }, { u"boolean"_s, fields.boolean },
        { u"tags"_s, QJsonArray::fromStringList(fields.tags) } };
    if (fields.shown)
        object.insert(u"shown"_s, QString::fromLatin1(fields.shown->toBase64()));
    return object;
}

Draft::Fields fieldsFromJson(const QJsonObject &object)
{
    Draft::Fields fields { .shown = std::nullopt,
        .kind = object.value(u"kind"_s).toInt(),
        .text = object.value(u"text"_s).toString(),
        .date = QDateTime::fromString(object.value(u"date"_s).toString(), Qt::ISODateWithMs),
        .boolean = object.value(u"boolean"_s).toBool(),
        .tags = {} };
    if (object.value(u"shown"_s).isString())
        fields.shown = QByteArray::fromBase64(object.value(u"shown"_s).toString().toLatin1());
    for (const QJsonValue &tag : object.value(u"tags"_s).toArray())
        fields.tags.append(tag.toString());
    return fields;
}
} // namespace

QByteArray valueFingerprint(const std::optional<QByteArray> &value)
{
    if (!value)
        return "none"_ba;
    return QCryptographicHash::hash(*value, QCryptographicHash::Sha256).toHex();
}

DraftStore::DraftStore(const QString &directory)
    : m_directory(directory)
{ }

QString DraftStore::defaultDirectory()
{
    // Qt 6.4 knows no state location; the XDG rule is short enough to follow here.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + u"/.local/state"_s;
    return state + u"/Corvane/drafts"_s;
}

QString DraftStore::fileFor(const QUrl &file) const
{
    // Named by the path's bytes, so that any path, however long or strange, has a short plain name.
    const QByteArray path = QFile::encodeName(QFileInfo(file.toLocalFile()).absoluteFilePath());
    return m_directory + u'/'
        + QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(40))
        + u".json"_s;
}

QList<Draft> DraftStore::load(const QUrl &file, const QDateTime &now) const
{
    QFile stored(fileFor(file));
    if (stored.size() > maxFileBytes || !stored.open(QIODevice::ReadOnly))
        return {};
    const QJsonObject root = QJsonDocument::fromJson(stored.readAll()).object();
    if (root.value(u"path"_s).toString() != QFileInfo(file.toLocalFile()).absoluteFilePath())
        return {};
    QList<Draft> drafts;
    const QDateTime oldest = now.addDays(-keptDays);
    for (const QJsonValue &entry : root.value(u"drafts"_s).toArray()) {
        const QJsonObject object = entry.toObject();
        Draft draft { .name = object.value(u"name"_s).toString(),
            .label = object.value(u"label"_s).toString(),
            .text = object.value(u"text"_s).toString(),
            .shownFrom = std::nullopt,
            .typed = QDateTime::fromString(object.value(u"typed"_s).toString(), Qt::ISODateWithMs),
            .fields = std::nullopt };
        if (object.value(u"shownFrom"_s).isString())
            draft.shownFrom = object.value(u"shownFrom"_s).toString().toLatin1();
        if (const QJsonValue fields = object.value(u"fields"_s); fields.isObject())
            draft.fields = fieldsFromJson(fields.toObject());
        if (draft.name.isEmpty() || !draft.typed.isValid() || draft.typed < oldest)
            continue;
        if (draft.label.isEmpty())
            draft.label = draft.name;
        drafts.append(draft);
    }
    std::stable_sort(
        drafts.begin(), drafts.end(), [](const Draft &a, const Draft &b) { return a.typed > b.typed; });
    return drafts;
}

bool DraftStore::store(const QUrl &file, const QList<Draft> &drafts) const
{
    const QString path = fileFor(file);
    if (drafts.isEmpty())
        return !QFile::exists(path) || QFile::remove(path);
    QJsonArray entries;
    for (const Draft &draft : drafts) {
        QJsonObject object { { u"name"_s, draft.name }, { u"label"_s, draft.label },
            { u"text"_s, draft.text }, { u"typed"_s, draft.typed.toUTC().toString(Qt::ISODateWithMs) } };
        if (draft.shownFrom)
            object.insert(u"shownFrom"_s, QString::fromLatin1(*draft.shownFrom));
        if (draft.fields)
            object.insert(u"fields"_s, fieldsToJson(*draft.fields));
        entries.append(object);
    }
    const QJsonObject root {
        { u"path"_s, QFileInfo(file.toLocalFile()).absoluteFilePath() },
        { u"drafts"_s, entries },
    };
    if (!QDir().mkpath(m_directory))
        return false;
    // Typed text is the user's own words: only the user may read it.
    QFile::setPermissions(
        m_directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    out.write(QJsonDocument(root).toJson(QJsonDocument::Compact));
    return out.commit();
}

void DraftStore::removeExpired(const QDateTime &now) const
{
    // Every store rewrites the whole file, so a file untouched for keptDays holds only older drafts.
    const QDateTime oldest = now.addDays(-keptDays);
    QDirIterator files(m_directory, { u"*.json"_s }, QDir::Files | QDir::Hidden);
    while (files.hasNext()) {
        const QFileInfo info(files.next());
        if (info.lastModified() < oldest)
            QFile::remove(info.filePath());
    }
}

} // namespace corvane
