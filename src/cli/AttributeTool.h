#pragma once

// `corvane --set/--remove/--tag/--clear/--dump/--restore/--find/--undo-last ...`: the attribute tools,
// run without a display and before any application object, on the process's own standard streams.

#include <QByteArray>
#include <QList>

namespace corvane {

// Runs the tools on the arguments (without the program's name) and returns the exit status: 0 when
// everything was done, 1 when a file failed, 2 for a command line that is not understood.
int runAttributeTool(const QList<QByteArray> &arguments);

} // namespace corvane
