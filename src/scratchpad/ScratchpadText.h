#pragma once

#include <QObject>
#include <QString>

namespace corvane {

// The one copy of the scratchpad text, shared by every scratchpad window of the application. Its
// owner (the application) loads and stores it; each scratchpad view is handed it when made, takes the
// text when its window appears and hands its own back when the window is about to disappear. What is
// handed back is given to every view, open or closed, so one reopened later shows it. Typing in any
// view is announced here too, so the owner can keep the stored text in step while windows stay open.
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

    void noteEdited() { emit edited(); }

signals:
    void handedBack(const QString &text);
    void edited(); // the user changed the text of a view; it holds the change, this copy does not yet

private:
    QString myText;
};

} // namespace corvane
