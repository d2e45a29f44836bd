#pragma once

// Where a command's output goes and where its questions are asked, and how it writes names and paths
// on a line of text.

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>

#include <utility>

namespace corvane {

struct ToolStreams {
    QIODevice &in;
    QIODevice &out;
    QIODevice &err;
    // Standard input and standard error are a terminal: a person can be asked.
    bool interactive = false;

    // "corvane: " and the message, on standard error.
    void error(const QByteArray &message);
    // Puts the question on standard error and reads a line of answer; true for "y" or "yes".
    bool ask(const QString &question);
};

// What a command did, a line per file: "path: set a, b; removed c", names and path escaped.
class FileReport {
public:
    explicit FileReport(QIODevice &out)
        : m_out(out)
    { }
    ~FileReport() { flush(); }
    FileReport(const FileReport &) = delete;
    FileReport &operator=(const FileReport &) = delete;

    void add(const QByteArray &path, const QByteArray &verb, const QByteArray &name);
    void flush();

private:
    QIODevice &m_out;
    QByteArray m_path;
    QList<std::pair<QByteArray, QByteArray>> m_items;
};

} // namespace corvane
