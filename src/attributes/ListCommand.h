#pragma once

// `corvane --list [--json] FILE...`: every attribute of each file, decoded, on standard output, with no
// display and no window. The arguments arrive as the bytes the system passed, so that a file name that
// is not UTF-8 still names its file.

#include <QByteArray>
#include <QIODevice>
#include <QList>

namespace corvane {

// True when the arguments (without the program's name) ask for the listing: --list or --json before
// any "--".
bool isListCommand(const QList<QByteArray> &arguments);

// Runs the listing. Options: --list, --json, and "--" after which every argument is a file. Returns
// the exit status: 0 when every file was listed and every value read, 1 otherwise (a message per
// failure on `err`), 2 for a command line it does not understand.
int runListCommand(const QList<QByteArray> &arguments, QIODevice &out, QIODevice &err);

} // namespace corvane
