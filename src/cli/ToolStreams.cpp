#include "cli/ToolStreams.h"

#include <QStringDecoder>

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

void FileReport::add(const QByteArray &path, const QByteArray &verb, const QByteArray &name)
{
    if (path != m_path)
        flush();
    m_path = path;
    m_items.append({ verb, escapedForLine(name) });
}

void FileReport::flush()
{
    if (m_items.isEmpty())
        return;
    QByteArray line = escapedForLine(m_path) + ':';
    QByteArray verb;
    for (const auto &[itemVerb, name] : std::as_const(m_items)) {
        line += itemVerb == verb ? ", " : (verb.isEmpty() ? " " : "; ") + itemVerb + ' ';
        verb = itemVerb;
        line += name;
    }
    m_out.write(line + '\n');
    m_items.clear();
}

QByteArray escapedForLine(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    const auto escape = [&out](uchar c) {
        out += '\\';
        out += char('0' + (c >> 6));
        out += char('0' + ((c >> 3) & 7));
        out += char('0' + (c & 7));
    };
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar c = uchar(bytes[i]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7f || c == '\\')
                escape(c);
            else
                out += char(c);
            ++i;
            continue;
        }
        // One whole UTF-8 sequence that is no control character is kept; anything else byte by byte.
        const qsizetype length = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc0 ? 2 : 1;
        const QByteArrayView sequence = QByteArrayView(bytes).sliced(i, std::min(length, bytes.size() - i));
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString decoded = decoder(sequence);
        const QChar::Category category
            = decoded.isEmpty() ? QChar::Other_Control : QChar::category(decoded.toUcs4().value(0));
        const bool printable = length > 1 && sequence.size() == length && !decoder.hasError()
            && category != QChar::Other_Control && category != QChar::Separator_Line
            && category != QChar::Separator_Paragraph;
        if (printable) {
            out += sequence;
            i += length;
        } else {
            escape(c);
            ++i;
        }
    }
    return out;
}

} // namespace corvane
