#include "support/EditorTestSupport.h"

#include "app/Document.h"
#include "app/WindowController.h"
#include "editor/ViewController.h"
#include "support/TestSupport.h"

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
    const QStringList arguments = value.isEmpty()
        ? QStringList{QStringLiteral("-n"), onDisk(name), QStringLiteral("-v"), QString(), path}
        : QStringList{QStringLiteral("-n"), onDisk(name), QStringLiteral("-v"), hex, path};
    return runProgram(QStringLiteral("setfattr"), arguments).exitCode == 0;
}

std::optional<QByteArray> attributeFromTool(const QString &path, const QString &name)
{
    const ProcessResult result = runProgram(
        QStringLiteral("getfattr"),
        {QStringLiteral("--absolute-names"), QStringLiteral("--only-values"), QStringLiteral("-n"),
         onDisk(name), path});
    if (result.exitCode != 0)
        return std::nullopt;
    return result.out;
}

// python3 takes a while to start on a busy machine; the same value is asked for by many rows.
QByteArray plistlibDump(const QString &pythonExpression, const QString &format)
{
    static QHash<QString, QByteArray> cache;
    const QString key = format + QLatin1Char('\n') + pythonExpression;
    if (const auto found = cache.constFind(key); found != cache.constEnd())
        return *found;
    const QString script = QStringLiteral(
        "import plistlib, sys, datetime\n"
        "value = eval(sys.stdin.buffer.read().decode('utf-8'))\n"
        "fmt = plistlib.FMT_BINARY if sys.argv[1] == 'binary' else plistlib.FMT_XML\n"
        "sys.stdout.buffer.write(plistlib.dumps(value, fmt=fmt))\n");
    const ProcessResult result = runProgram(QStringLiteral("python3"), {QStringLiteral("-c"), script, format},
                                            pythonExpression.toUtf8());
    if (result.exitCode == 0)
        cache.insert(key, result.out);
    return result.out;
}

QByteArray plistlibBinaryString(const QString &text)
{
    static QHash<QString, QByteArray> cache;
    if (const auto found = cache.constFind(text); found != cache.constEnd())
        return *found;
    const QString script = QStringLiteral(
        "import plistlib, sys\n"
        "text = sys.stdin.buffer.read().decode('utf-8')\n"
        "sys.stdout.buffer.write(plistlib.dumps(text, fmt=plistlib.FMT_BINARY))\n");
    const ProcessResult result = runPython(script, text.toUtf8());
    if (result.exitCode == 0)
        cache.insert(text, result.out);
    return result.out;
}

QString plistlibReadString(const QByteArray &bytes)
{
    const QString script = QStringLiteral(
        "import plistlib, sys\n"
        "try:\n"
        "    value = plistlib.loads(sys.stdin.buffer.read())\n"
        "except Exception:\n"
        "    sys.stdout.buffer.write(b'<not a property list>'); sys.exit(0)\n"
        "out = value if isinstance(value, str) else '<not a string>'\n"
        "sys.stdout.buffer.write(out.encode('utf-8', 'surrogatepass'))\n");
    return QString::fromUtf8(runPython(script, bytes).out);
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

EditorWindow::~EditorWindow()
{
    window.reset();
    document.reset();
}

std::unique_ptr<EditorWindow> showEditor(const QUrl &file)
{
    auto result = std::make_unique<EditorWindow>();
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
