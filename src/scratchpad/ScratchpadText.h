#pragma once

#include <QObject>
#include <QString>

namespace corvane {

// The one copy of the scratchpad text, shared by every scratchpad window of the application. Its
// owner (the application) loads and stores it; each scratchpad view is handed it when made, takes the
// text when its window appears and hands its own back when the window is about to disappear. What is
// handed back is given to every view, open or closed, so one reopened later shows it.
class ScratchpadText : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    QString text() const { return myText; }
    void setText(const QString &text) { myText = text; }

    void handBack(const QString &text)
    {
        myText = text;
        emit handedBack(myText);
    }

signals:
    void handedBack(const QString &text);

private:
    QString myText;
};

} // namespace corvane
