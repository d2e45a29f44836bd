#pragma once

#include <QObject>
#include <QString>

namespace corvane {

// The one copy of the scratchpad text, shared by every scratchpad window of the application. Its
// owner (the application) loads and stores it; each scratchpad window is handed it when made, takes
// the text when it appears and hands its own back when it is about to disappear. What is handed back
// is given to every window, open or closed, so one reopened later shows it.
class ScratchpadText : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    QString text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }

    void handBack(const QString &text)
    {
        m_text = text;
        emit handedBack(m_text);
    }

    // Orders typing across the windows: each edit of any scratchpad takes the next stamp.
    quint64 nextEditStamp() { return ++m_edits; }

signals:
    void handedBack(const QString &text);

private:
    QString m_text;
    quint64 m_edits = 0;
};

} // namespace corvane
