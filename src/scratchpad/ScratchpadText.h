#pragma once

#include <QObject>
#include <QString>

namespace corvane {

// The one copy of the scratchpad text, shared by every scratchpad window of the application. Its
// owner (the application) loads and stores it; each scratchpad window is handed it when made, takes
// the text when it appears and hands its own back when it is about to disappear. What is handed back
// is given to every window, open or closed, so one reopened later shows it. Typing in any window is
// announced here too, so the owner can keep the stored text in step while windows stay open.
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

    // The user typed in a window. Returns the edit's stamp, which orders typing across the windows.
    quint64 noteEdited()
    {
        emit edited();
        return ++m_edits;
    }

signals:
    void handedBack(const QString &text);
    void edited(); // the user changed the text of a window; it holds the change, this copy does not yet

private:
    QString m_text;
    quint64 m_edits = 0;
};

} // namespace corvane
