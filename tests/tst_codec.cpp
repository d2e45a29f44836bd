// The attribute value codec: what Save stores for a text and what the editor shows for stored bytes.

#include <QTest>

#include "editor/AttributeCodec.h"
#include "plist/PlistWriter.h"
#include "support/TestSupport.h"

using corvane::decodeAttributeString;
using corvane::describeUnshownValue;
using corvane::encodeAttributeString;

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void storesTheTextUnchanged_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("readByPlistlib");
        const QList<std::pair<const char *, QString>> cases = {
            { "one space", QStringLiteral(" ") },
            { "ASCII", QStringLiteral("holiday, beach") },
            { "markup is escaped, not stored escaped", QStringLiteral("a<b>&c") },
            { "an entity typed as text", QStringLiteral("&lt;") },
            { "a character reference typed as text", QStringLiteral("&#13;") },
            { "quotes and apostrophes", QStringLiteral("\"q\" 'a'") },
            { "CDATA end marker", QStringLiteral("]]>") },
            { "LF line breaks", QStringLiteral("one\ntwo\n") },
            { "CR kept, not turned into LF", QStringLiteral("mac\rline") },
            { "CRLF kept", QStringLiteral("dos\r\nline\r\n") },
            { "leading and trailing space kept", QStringLiteral("  \t padded \t  ") },
            { "accents, CJK, emoji", QStringLiteral("Ærø 東京 😀") },
            { "long text", QString(70000, u'x') },
        };
        // One python3 for all rows: our stored bytes in, the string plistlib reads out.
        QByteArray input;
        for (const auto &[name, text] : cases)
            input += encodeAttributeString(text).value_or(QByteArray()).toBase64() + '\n';
        const auto result
            = corvane::test::runPython(QStringLiteral("import plistlib,sys,base64\n"
                                                      "for line in sys.stdin:\n"
                                                      "    s=plistlib.loads(base64.b64decode(line))\n"
                                                      "    print(base64.b64encode(s.encode()).decode())\n"),
                input);
        QCOMPARE(result.exitCode, 0);
        const QList<QByteArray> lines = result.out.split('\n');
        QVERIFY(lines.size() > cases.size());
        for (qsizetype i = 0; i < cases.size(); ++i)
            QTest::newRow(cases[i].first)
                << cases[i].second << QString::fromUtf8(QByteArray::fromBase64(lines[i]));
    }
    void storesTheTextUnchanged()
    {
        QFETCH(QString, text);
        QFETCH(QString, readByPlistlib);
        QString error;
        const std::optional<QByteArray> bytes = encodeAttributeString(text, &error);
        QVERIFY2(bytes, qPrintable(error));
        QVERIFY(bytes->startsWith("bplist00"));
        QCOMPARE(*bytes, corvane::plist::writeBinary(text));
        QCOMPARE(readByPlistlib, text);
        QCOMPARE(decodeAttributeString(*bytes), text);
        QCOMPARE(describeUnshownValue(*bytes), std::nullopt);
    }

    void refusesWhatXmlCannotCarry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("U+0001") << QStringLiteral("a\x01") << QStringLiteral("U+0001");
        QTest::newRow("NUL") << QString(QChar(u'\0')) << QStringLiteral("U+0000");
        QTest::newRow("escape U+001B") << QStringLiteral("\x1b[0m") << QStringLiteral("U+001B");
        QTest::newRow("U+FFFE") << QString(QChar(u'\uFFFE')) << QStringLiteral("U+FFFE");
        QTest::newRow("lone high surrogate") << QString(QChar(u'\xD83D')) + u'x' << QStringLiteral("U+D83D");
        QTest::newRow("lone low surrogate at the end")
            << u'x' + QString(QChar(u'\xDE00')) << QStringLiteral("U+DE00");
    }
    void refusesWhatXmlCannotCarry()
    {
        QFETCH(QString, text);
        QFETCH(QString, mentions);
        QString error;
        QCOMPARE(encodeAttributeString(text, &error), std::nullopt);
        QVERIFY2(error.contains(mentions), qPrintable(error));
    }

    void showsAndDescribes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("unshown"); // empty: nothing hidden
        const QByteArray xmlHead = "<?xml version=\"1.0\"?><plist>";
        QTest::newRow("zero bytes") << QByteArray() << QString() << QString();
        QTest::newRow("XML string with entities")
            << xmlHead + "<string>a &amp; b</string></plist>" << QStringLiteral("a & b") << QString();
        QTest::newRow("old-style word") << QByteArray("hello") << QStringLiteral("hello") << QString();
        QTest::newRow("string with one NUL appended")
            << corvane::plist::writeBinary(QStringLiteral("x")) + '\0' << QStringLiteral("x") << QString();
        QTest::newRow("array of strings") << xmlHead
                + "<array><string>a</string><string>b</string>"
                  "<string>c</string></array></plist>"
                                          << QString() << QStringLiteral("an array of 3 items");
        QTest::newRow("array of one") << xmlHead + "<array><true/></array></plist>" << QString()
                                      << QStringLiteral("an array of 1 item");
        QTest::newRow("dictionary") << xmlHead + "<dict><key>a</key><true/><key>b</key><true/></dict></plist>"
                                    << QString() << QStringLiteral("a dictionary of 2 entries");
        QTest::newRow("empty dictionary")
            << QByteArray("{}") << QString() << QStringLiteral("an empty dictionary");
        QTest::newRow("integer") << xmlHead + "<integer>5</integer></plist>" << QString()
                                 << QStringLiteral("a number");
        QTest::newRow("real") << xmlHead + "<real>5.5</real></plist>" << QString()
                              << QStringLiteral("a number");
        QTest::newRow("date") << xmlHead + "<date>2020-01-01T00:00:00Z</date></plist>" << QString()
                              << QStringLiteral("a date");
        QTest::newRow("boolean") << xmlHead + "<false/></plist>" << QString()
                                 << QStringLiteral("a true or false value");
        QTest::newRow("data") << QByteArray("<00ff00>") << QString()
                              << QStringLiteral("3 bytes of binary data");
        QTest::newRow("plain sentence") << QByteArray("two words") << QString()
                                        << QStringLiteral("9 bytes of text that are not a property list");
        QTest::newRow("binary junk") << QByteArray("\x01\x02\xff", 3) << QString()
                                     << QStringLiteral("3 bytes that are not text");
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
