#include "settings/DebouncedWriter.h"

#include <algorithm>

namespace corvane {

DebouncedWriter::DebouncedWriter(Write writeChanges, int quietMs, int atMostMs)
    : m_write(std::move(writeChanges))
    , m_quietMs(quietMs)
    , m_atMostMs(std::max(quietMs, atMostMs))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { write(); });
}

void DebouncedWriter::schedule()
{
    if (!m_timer.isActive())
        m_firstPending.start();
    const qint64 untilDeadline = m_atMostMs - m_firstPending.elapsed();
    m_timer.start(int(std::clamp<qint64>(std::min<qint64>(m_quietMs, untilDeadline), 0, m_quietMs)));
}

void DebouncedWriter::flush()
{
    if (m_timer.isActive())
        write();
}

void DebouncedWriter::write()
{
    m_timer.stop();
    m_write();
}

} // namespace corvane
