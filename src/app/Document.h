#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>

namespace corvane {

class EditorWindow;

// One opened file and its editor window, which it lives as long as. The document never reads or
// writes the file's data: its file is the one its window edits, the one it was opened with or the
// last one dropped onto the window. It is never edited, so closing its window never asks anything.
// (The name is the document machinery's, which DocumentController keeps.)
class Document : public QObject {
    Q_OBJECT
public:
    explicit Document(EditorWindow *window, QObject *parent = nullptr);
    ~Document() override;

    QUrl fileURL() const;
    EditorWindow *window() const { return m_window; }

private:
    QPointer<EditorWindow> m_window;
};

} // namespace corvane
