#include "settings/DebouncedWriter.h"

#include <algorithm>

namespace corvane {

DebouncedWriter::DebouncedWriter(Write writeChanges, int quietMs, int atMostMs)
    : myWrite(std::move(writeChanges))
    , myQuietMs(quietMs)
    , myAtMostMs(std::max(quietMs, atMostMs))
{
    myTimer.setSingleShot(true);
    myTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&myTimer, &QTimer::timeout, &myTimer, [this] { write(); });
}

void DebouncedWriter::schedule()
{
    if (!myTimer.isActive())
        myFirstPending.start();
    const qint64 untilDeadline = myAtMostMs - myFirstPending.elapsed();
    myTimer.start(int(std::clamp<qint64>(std::min<qint64>(myQuietMs, untilDeadline), 0, myQuietMs)));
}

void DebouncedWriter::flush()
{
    if (myTimer.isActive())
        write();
}

void DebouncedWriter::write()
{
    myTimer.stop();
    myWrite();
}

} // namespace corvane
