#include "cli/ToolStreams.h"

#include "attributes/AttributeNames.h"

#include <QStringDecoder>

#include <cerrno>

#include <unistd.h>

namespace corvane {

void ToolStreams::error(const QByteArray &message)
{
    err.write("corvane: " + message + '\n');
}

bool ToolStreams::ask(const QString &question)
{
    err.write(question.toUtf8() + " [y/N] ");
    const QByteArray answer = in.readLine(256).trimmed().toLower();
    return answer == "y" || answer == "yes";
}

InputDescriptor::InputDescriptor(int descriptor)
    : m_descriptor(descriptor)
{
    open(QIODevice::ReadOnly);
}

qint64 InputDescriptor::readData(char *data, qint64 maxSize)
{
    for (;;) {
        const ssize_t got = ::read(m_descriptor, data, size_t(maxSize));
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

std::optional<QString> strictUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QByteArray readAtMost(QIODevice &in, qint64 maximum)
{
    QByteArray data;
    while (data.size() < maximum) {
        const QByteArray chunk = in.read(std::min<qint64>(1 << 16, maximum - data.size()));
        if (chunk.isEmpty())
            break;
        data += chunk;
    }
    return data;
}

void FileReport::add(const QByteArray &path, const QByteArray &verb, const QByteArray &name)
{
    if (path != m_path)
        flush();
    m_path = path;
    m_items.append({ verb, octalEscaped(name) });
}

void FileReport::flush()
{
    if (m_items.isEmpty())
        return;
    QByteArray line = octalEscaped(m_path) + ':';
    QByteArray verb;
    for (const auto &[itemVerb, name] : std::as_const(m_items)) {
        line += itemVerb == verb ? ", " : (verb.isEmpty() ? " " : "; ") + itemVerb + ' ';
        verb = itemVerb;
        line += name;
    }
    m_out.write(line + '\n');
    m_items.clear();
}

} // namespace corvane
