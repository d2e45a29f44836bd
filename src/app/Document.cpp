#include "app/Document.h"

#include "editor/EditorWindow.h"

namespace corvane {

Document::Document(EditorWindow *window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{ }

Document::~Document() = default;

QUrl Document::fileURL() const
{
    return m_window ? m_window->file() : QUrl();
}

} // namespace corvane
