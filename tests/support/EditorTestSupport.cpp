#include "support/EditorTestSupport.h"

#include "app/SceneFactory.h"
#include "editor/ViewController.h"
#include "support/TestSupport.h"
#include "window/Document.h"
#include "window/WindowController.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace corvane::test {

namespace {
QString onDisk(const QString &name)
{
    return QStringLiteral("user.") + name;
}
} // namespace

bool setAttributeWithTool(const QString &path, const QString &name, const QByteArray &value)
{
    const QString hex = QStringLiteral("0x") + QString::fromLatin1(value.toHex());
    const QStringList arguments { QStringLiteral("-n"), onDisk(name), QStringLiteral("-v"), hex, path };
    return runProgram(QStringLiteral("setfattr"), arguments).exitCode == 0;
}

std::optional<QByteArray> attributeFromTool(const QString &path, const QString &name)
{
    const ProcessResult result = runProgram(QStringLiteral("getfattr"),
        { QStringLiteral("--absolute-names"), QStringLiteral("--only-values"), QStringLiteral("-n"),
            onDisk(name), path });
    if (result.exitCode != 0)
        return std::nullopt;
    return result.out;
}

// python3 takes a while to start on a busy machine, and many rows ask for the same value.
QByteArray plistlibDump(const QString &pythonExpression, const QString &format)
{
    static QHash<QString, QByteArray> cache;
    const QString key = format + QLatin1Char('\n') + pythonExpression;
    if (!cache.contains(key)) {
        const QString script
            = QStringLiteral("import plistlib, sys\n"
                             "value = eval(sys.stdin.buffer.read().decode('utf-8'))\n"
                             "fmt = plistlib.FMT_BINARY if sys.argv[1] == 'binary' else plistlib.FMT_XML\n"
                             "sys.stdout.buffer.write(plistlib.dumps(value, fmt=fmt))\n");
        const ProcessResult result = runProgram(
            QStringLiteral("python3"), { QStringLiteral("-c"), script, format }, pythonExpression.toUtf8());
        if (result.exitCode != 0)
            return QByteArray();
        cache.insert(key, result.out);
    }
    return cache.value(key);
}

QByteArray plistlibBinaryString(const QString &text)
{
    // Handed over as hex, so that any text reaches Python unchanged.
    return plistlibDump(QStringLiteral("bytes.fromhex('%1').decode('utf-8', 'surrogatepass')")
                            .arg(QString::fromLatin1(text.toUtf8().toHex())));
}

FileSnapshot snapshotOf(const QString &path)
{
    FileSnapshot snapshot;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        snapshot.data = file.readAll();
    snapshot.modified = QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
    return snapshot;
}

// Members go in reverse order: the window before its document.
EditorWindow::~EditorWindow() = default;

std::unique_ptr<EditorWindow> showEditor(const QUrl &file)
{
    auto result = std::make_unique<EditorWindow>();
    registerDocumentScene();
    result->document = std::make_unique<Document>();
    if (!file.isEmpty())
        result->document->setFileURL(file);
    result->document->makeWindowControllers();
    result->window.reset(result->document->windowController());
    result->editor = qobject_cast<ViewController *>(result->window->contentViewController());
    result->window->showWindow();
    return result;
}

} // namespace corvane::test
