#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <functional>

namespace corvane {

// Puts what the user changes on disk soon after the change, once for a burst of changes: the write
// runs when the changes have paused for `quiet`, and no later than `atMost` after the first change it
// has not written yet, so a process that is killed loses at most that much. The write itself decides
// what to write and how (atomically: QSettings::sync, QSaveFile); it runs on this object's thread.
class DebouncedWriter {
public:
    using Write = std::function<void()>;
    static constexpr int defaultQuietMs = 500;
    static constexpr int defaultAtMostMs = 1000;

    explicit DebouncedWriter(Write write, int quietMs = defaultQuietMs, int atMostMs = defaultAtMostMs);
    DebouncedWriter(const DebouncedWriter &) = delete;
    DebouncedWriter &operator=(const DebouncedWriter &) = delete;

    void schedule(); // something changed
    bool isPending() const { return m_timer.isActive(); }
    void flush(); // writes now what is pending (before quitting, before closing)

private:
    void write();

    Write m_write;
    int m_quietMs;
    int m_atMostMs;
    QTimer m_timer;
    QElapsedTimer m_firstPending;
};

} // namespace corvane
