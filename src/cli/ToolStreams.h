#pragma once

// Where a command's output goes and where its questions are asked, and how it writes names and paths
// on a line of text.

#include <QByteArray>
#include <QCoreApplication>
#include <QIODevice>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace corvane {

// The command line's words for people (errors, questions, what a run did), in the user's language.
// What scripts read (the listing, the dump, the journal) stays as corvane(1) describes it.
class Cli {
    Q_DECLARE_TR_FUNCTIONS(Cli)
};

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

// A file descriptor read as it is, each read waiting for at least one byte or the end of input: a
// QFile over standard input does not wait on a pipe, so a line or a value could be read cut short.
class InputDescriptor : public QIODevice {
public:
    explicit InputDescriptor(int descriptor);
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    int m_descriptor;
};

// The bytes as text when they are UTF-8, nullopt otherwise.
std::optional<QString> strictUtf8(QByteArrayView bytes);

// Up to `maximum` bytes, reading until the end of input or until there are that many.
QByteArray readAtMost(QIODevice &in, qint64 maximum);

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
