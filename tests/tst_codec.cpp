// The attribute value codec: what Save stores for a text and what the editor shows for stored bytes.

#include <QTest>

#include "attributes/AttributeCodec.h"
#include "plist/PlistWriter.h"
#include "support/TestSupport.h"

using corvane::decodeAttributeString;
using corvane::describeUnshownValue;
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
        QCOMPARE(describeUnshownValue(*bytes), std::nullopt);
    }

    // What the editor shows for stored bytes, and how it describes a value it cannot show.
    void showsAndDescribes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("unshown");
        const auto hidden = [](const char *name, const QByteArray &bytes, const char *description) {
            QTest::newRow(name) << bytes << QString() << QString::fromUtf8(description);
        };
        const auto xml = [](const char *body) {
            return "<?xml version=\"1.0\"?><plist>" + QByteArray(body) + "</plist>";
        };
        QTest::newRow("string with one NUL appended")
            << corvane::plist::writeBinary(QStringLiteral("x")) + '\0' << QStringLiteral("x") << QString();
        hidden("array of one", xml("<array><true/></array>"), "an array of 1 item");
        hidden("dictionary", xml("<dict><key>a</key><true/><key>b</key><true/></dict>"),
            "a dictionary of 2 entries");
        hidden("empty dictionary", "{}", "an empty dictionary");
        hidden("integer", xml("<integer>5</integer>"), "a number");
        hidden("real", xml("<real>5.5</real>"), "a number");
        hidden("date", xml("<date>2020-01-01T00:00:00Z</date>"), "a date");
        hidden("boolean", xml("<false/>"), "a true or false value");
        hidden("data", "<00ff00>", "3 bytes of binary data");
        hidden("plain sentence", "two words", "9 bytes of text that are not a property list");
        hidden("binary junk", QByteArray("\x01\x02\xff", 3), "3 bytes that are not text");
    }
    void showsAndDescribes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QFETCH(QString, unshown);
        QCOMPARE(decodeAttributeString(bytes), shown);
        QCOMPARE(describeUnshownValue(bytes).value_or(QString()), unshown);
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
