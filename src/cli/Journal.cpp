#include "cli/Journal.h"

#include "cli/ToolStreams.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

constexpr quint32 magic = 0x43564a52; // "CVJR"
constexpr quint32 formatVersion = 1;
// Each entry starts with its flags; this value, never a valid set of flags, ends the run.
constexpr quint8 endOfRun = 0xff;
constexpr quint8 noFollow = 1, hasBefore = 2, hasAfter = 4;

const QString runSuffix = u".run"_s;
const QString notMadeSuffix = u".notmade"_s;

// Attribute values may be private: the journal is the user's alone.
constexpr QFileDevice::Permissions privateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

bool makePrivateDirectory(const QString &path)
{
    if (!QDir().mkpath(path))
        return false;
    return QFile::setPermissions(path, privateFile | QFileDevice::ExeOwner);
}

} // namespace

QString Journal::defaultDirectory()
{
    // The state directory of the XDG base directories (Qt 6.4 has no standard location for it); the
    // base directory rules have a relative value ignored, as if unset.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + u"/.local/state"_s;
    return state + u"/Corvane/journal"_s;
}

Journal::Journal(QString directory)
    : m_directory(std::move(directory))
{ }

QStringList Journal::runs() const
{
    QStringList names = QDir(m_directory).entryList({ u"*"_s + runSuffix }, QDir::Files, QDir::Name);
    for (QString &name : names)
        name = m_directory + u'/' + name;
    return names;
}

void Journal::prune() const
{
    const QStringList kept = runs();
    qint64 bytes = 0;
    for (qsizetype i = kept.size() - 1; i >= 0; --i) {
        const qsizetype newer = kept.size() - 1 - i;
        bytes += QFileInfo(kept[i]).size();
        if (newer > 0 && (newer >= maximumRuns || bytes > maximumBytes))
            forget(kept[i]);
    }
}

void Journal::forget(const QString &run) const
{
    QFile::remove(run);
    QFile::remove(run + notMadeSuffix);
}

bool Journal::writeNotMade(const QString &run, const QList<qint64> &indices, QString *error)
{
    if (indices.isEmpty())
        return true;
    QSaveFile file(run + notMadeSuffix);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    file.setPermissions(privateFile);
    QDataStream stream(&file);
    stream << quint32(indices.size());
    for (qint64 index : indices)
        stream << index;
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QSet<qint64> Journal::notMade(const QString &run)
{
    QFile file(run + notMadeSuffix);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return readNotMade(file);
}

QSet<qint64> Journal::readNotMade(QIODevice &device)
{
    QDataStream stream(&device);
    quint32 count = 0;
    stream >> count;
    // A count the bytes cannot hold is no list we wrote: nothing is reserved for it.
    QSet<qint64> indices;
    if (stream.status() != QDataStream::Ok || count > (device.size() - device.pos()) / 8)
        return indices;
    for (quint32 i = 0; i < count; ++i) {
        qint64 index = 0;
        stream >> index;
        indices.insert(index);
    }
    return stream.status() == QDataStream::Ok ? indices : QSet<qint64>();
}

JournalWriter::JournalWriter(const Journal &journal)
    : m_journal(journal)
{ }

JournalWriter::~JournalWriter()
{
    if (m_file)
        m_file->cancelWriting();
}

bool JournalWriter::open(const QByteArray &commandLine, QString *error)
{
    if (!makePrivateDirectory(m_journal.directory())) {
        *error = Cli::tr("cannot make the journal's directory %1").arg(m_journal.directory());
        return false;
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QString name = u"%1/%2-%3%4"_s.arg(m_journal.directory())
                             .arg(now, 16, 10, QChar(u'0'))
                             .arg(QCoreApplication::applicationPid())
                             .arg(runSuffix);
    m_file = std::make_unique<QSaveFile>(name);
    if (!m_file->open(QIODevice::WriteOnly)) {
        *error = Cli::tr("cannot write the journal %1: %2").arg(name, m_file->errorString());
        m_file.reset();
        return false;
    }
    m_file->setPermissions(privateFile);
    m_stream.setDevice(m_file.get());
    m_stream << magic << formatVersion << now << commandLine;
    return true;
}

void JournalWriter::add(const JournalEntry &entry)
{
    const quint8 flags = (entry.links == LinkMode::NoFollow ? noFollow : 0) | (entry.before ? hasBefore : 0)
        | (entry.after ? hasAfter : 0);
    m_stream << flags << entry.path << entry.name << entry.before.value_or(QByteArray())
             << entry.after.value_or(QByteArray());
    ++m_count;
}

QString JournalWriter::commit(QString *error)
{
    m_stream << endOfRun;
    const QString name = m_file->fileName();
    const bool written = m_stream.status() == QDataStream::Ok && m_file->commit();
    if (!written)
        *error = Cli::tr("cannot write the journal %1: %2").arg(name, m_file->errorString());
    m_stream.setDevice(nullptr);
    m_file.reset();
    if (!written)
        return {};
    m_journal.prune();
    return name;
}

JournalReader::JournalReader() = default;
JournalReader::~JournalReader() = default;

bool JournalReader::open(const QString &run, QString *error)
{
    m_file = std::make_unique<QFile>(run);
    if (!m_file->open(QIODevice::ReadOnly)) {
        *error = m_file->errorString();
        return false;
    }
    if (open(m_file.get(), error))
        return true;
    *error = Cli::tr("%1 is no journal of this version of Corvane").arg(run);
    return false;
}

bool JournalReader::open(QIODevice *device, QString *error)
{
    m_stream.setDevice(device);
    quint32 fileMagic = 0, version = 0;
    qint64 time = 0;
    m_stream >> fileMagic >> version >> time >> m_commandLine;
    if (m_stream.status() != QDataStream::Ok || fileMagic != magic || version != formatVersion) {
        *error = Cli::tr("no journal of this version of Corvane");
        return false;
    }
    m_time = QDateTime::fromMSecsSinceEpoch(time);
    return true;
}

std::optional<JournalEntry> JournalReader::next()
{
    if (m_ended || m_damaged)
        return std::nullopt;
    quint8 flags = 0;
    m_stream >> flags;
    if (m_stream.status() == QDataStream::Ok && flags == endOfRun) {
        m_ended = true;
        return std::nullopt;
    }
    JournalEntry entry;
    QByteArray before, after;
    m_stream >> entry.path >> entry.name >> before >> after;
    if (m_stream.status() != QDataStream::Ok || (flags & ~(noFollow | hasBefore | hasAfter)) != 0) {
        m_damaged = true;
        return std::nullopt;
    }
    entry.links = flags & noFollow ? LinkMode::NoFollow : LinkMode::Follow;
    if (flags & hasBefore)
        entry.before = before;
    if (flags & hasAfter)
        entry.after = after;
    ++m_index;
    return entry;
}

} // namespace corvane
