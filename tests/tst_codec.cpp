// The attribute value codec: what Save stores for a text and what the editor shows for stored bytes.

#include <QTest>

#include "attributes/AttributeCodec.h"
#include "plist/PlistWriter.h"
#include "support/TestSupport.h"

using corvane::decodeAttributeString;
using corvane::encodeAttributeString;

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    // Text Save stores as its binary plist (the editor's tests cover everyday text), and text XML cannot
    // carry, refused naming the character.
    void stores_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal");
        const auto stored
            = [](const char *name, const QString &text) { QTest::newRow(name) << text << QString(); };
        stored("markup is escaped, not stored escaped", QStringLiteral("a<b>&c"));
        stored("an entity typed as text", QStringLiteral("&lt;"));
        stored("a character reference typed as text", QStringLiteral("&#13;"));
        stored("CDATA end marker", QStringLiteral("]]>"));
        stored("CR kept, not turned into LF", QStringLiteral("mac\rline"));
        stored("CRLF kept", QStringLiteral("dos\r\nline\r\n"));
        stored("leading and trailing space kept", QStringLiteral("  \t padded \t  "));
        stored("long text", QString(70000, u'x'));
        QTest::newRow("refused: U+0001") << QStringLiteral("a\x01") << QStringLiteral("U+0001");
        QTest::newRow("refused: NUL") << QString(QChar(u'\0')) << QStringLiteral("U+0000");
        QTest::newRow("refused: U+FFFE") << QString(QChar(u'\uFFFE')) << QStringLiteral("U+FFFE");
        QTest::newRow("refused: lone high surrogate")
            << QString(QChar(u'\xD83D')) + u'x' << QStringLiteral("U+D83D");
        QTest::newRow("refused: lone low surrogate at the end")
            << u'x' + QString(QChar(u'\xDE00')) << QStringLiteral("U+DE00");
    }
    void stores()
    {
        QFETCH(QString, text);
        QFETCH(QString, refusal);
        QString error;
        const std::optional<QByteArray> bytes = encodeAttributeString(text, &error);
        if (!refusal.isEmpty()) {
            QCOMPARE(bytes, std::nullopt);
            QVERIFY2(error.contains(refusal), qPrintable(error));
            return;
        }
        QVERIFY2(bytes, qPrintable(error));
        QCOMPARE(*bytes, corvane::plist::writeBinary(text));
        const auto plistlibRead = corvane::test::runPythonPerLine(
            QStringLiteral("plistlib.loads(base64.b64decode(line)).encode(),"), { bytes->toBase64() });
        QCOMPARE(QString::fromUtf8(plistlibRead.value(0).value(0)), text);
        QCOMPARE(decodeAttributeString(*bytes), text);
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
