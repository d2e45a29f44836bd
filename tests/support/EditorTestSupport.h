#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

namespace corvane {
class Document;
class ViewController;
class WindowController;
} // namespace corvane

namespace corvane::test {

// Attributes set and read by the attr tools, outside Corvane. Names are given as Corvane sees them;
// the tools get them in the user. namespace, as they are on disk.
bool setAttributeWithTool(const QString &path, const QString &name, const QByteArray &value);
std::optional<QByteArray> attributeFromTool(const QString &path, const QString &name);

// python3's plistlib: a value (a Python expression) serialized as "binary" or "xml".
QByteArray plistlibDump(const QString &pythonExpression, const QString &format = QStringLiteral("binary"));
QByteArray plistlibBinaryString(const QString &text);

// A file's data and modification time, to show that nothing but attributes changed.
struct FileSnapshot {
    QByteArray data;
    QDateTime modified;
    bool operator==(const FileSnapshot &) const = default;
};
FileSnapshot snapshotOf(const QString &path);

// A document with its editor window, shown offscreen, as opening a file builds it.
struct EditorWindow {
    std::unique_ptr<Document> document;
    std::unique_ptr<WindowController> window;
    ViewController *editor = nullptr;
    ~EditorWindow();
};
std::unique_ptr<EditorWindow> showEditor(const QUrl &file);

} // namespace corvane::test
