#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace corvane {

// Corvane's command line, read before any application object exists: what it asks for decides whether
// a display is needed at all. --help and --version (and the attribute listing) run without one and
// never reach a running Corvane; everything else opens windows, here or in the Corvane already running.
//
// Qt's own GUI options (-platform, -style, -reverse, ...) are known to the parser so that they neither
// count as files nor fail the parse; QApplication reads them later from the untouched argv.
class CommandLine {
public:
    enum class Command { OpenWindows, Help, Version, List, Error };

    CommandLine();
    Command parse(const QStringList &arguments); // arguments[0] is the program

    Command command() const { return m_command; }
    QStringList files() const; // as given, relative to the working directory
    QStringList absoluteFileUrls() const; // as another process can open them, wherever it runs
    // Started by the session bus: wait for the Activate or Open that follows instead of a start window.
    bool startedByBus() const;
    bool scratchpadRequested() const;

    QString helpText() const; // needs a QCoreApplication for the program's name
    QString errorText() const { return m_error; }

private:
    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
    QCommandLineOption m_list;
    QCommandLineOption m_json;
    QCommandLineOption m_service;
    QCommandLineOption m_scratchpad;
    Command m_command = Command::OpenWindows;
    QString m_error;
};

} // namespace corvane
