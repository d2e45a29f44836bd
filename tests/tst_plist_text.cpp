// The XML and old-style text forms, and how the reader tells the three forms apart.

#include <QTest>

#include "plist/PlistReader.h"

using corvane::plist::Format;
using corvane::plist::Value;

namespace {

const QByteArray xmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";

QByteArray plistDoc(const QByteArray &body)
{
    return xmlHead + "<plist version=\"1.0\">" + body + "</plist>";
}

Value str(const char *text)
{
    return Value::fromString(QString::fromUtf8(text));
}

QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray out;
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out += bigEndian ? QByteArray { &hi, 1 } + QByteArray { &lo, 1 }
                         : QByteArray { &lo, 1 } + QByteArray { &hi, 1 };
    }
    return out;
}

// n entities each referring ten times to the one before: 10^n expansions from a few hundred bytes.
QByteArray billionLaughs()
{
    QByteArray doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n<!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i < 10; ++i) {
        doc += "<!ENTITY lol" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k)
            doc += "&lol" + QByteArray::number(i - 1) + ';';
        doc += "\">\n";
    }
    return doc + "]>\n<plist><string>&lol9;</string></plist>";
}

} // namespace

class TestPlistText : public QObject {
    Q_OBJECT
private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Format>("format");
        QTest::addColumn<Value>("expected");

        QTest::newRow("xml: predefined entities")
            << plistDoc("<string>&lt;&gt;&amp;&quot;&apos;</string>") << Format::Xml << str("<>&\"'");
        QTest::newRow("xml: character references")
            << plistDoc("<string>&#65;&#x1F600;&#233;</string>") << Format::Xml << str("A\U0001F600\u00e9");
        QTest::newRow("xml: CDATA and comments join")
            << plistDoc("<string>a<![CDATA[<b>]]><!-- c -->d</string>") << Format::Xml << str("a<b>d");
        QTest::newRow("xml: spaces kept")
            << plistDoc("<string>  two\n lines \t</string>") << Format::Xml << str("  two\n lines \t");
        QTest::newRow("xml: raw CR read as LF, &#13; kept")
            << plistDoc("<string>a\r\nb\rc&#13;</string>") << Format::Xml << str("a\nb\nc\r");
        QTest::newRow("xml: empty string element") << plistDoc("<string/>") << Format::Xml << str("");
        QTest::newRow("xml: no DOCTYPE, no declaration")
            << QByteArray("<plist><true/></plist>") << Format::Xml << Value::fromBool(true);
        QTest::newRow("xml: bare value root") << QByteArray("<?xml version=\"1.0\"?><integer>-7</integer>")
                                              << Format::Xml << Value::fromInteger(-7);
        QTest::newRow("xml: leading space before plist")
            << QByteArray("\n  <plist><false/></plist>") << Format::Xml << Value::fromBool(false);
        QTest::newRow("xml: hexadecimal integer")
            << plistDoc("<integer> 0x1F </integer>") << Format::Xml << Value::fromInteger(31);
        QTest::newRow("xml: largest 128-bit integer")
            << plistDoc("<integer>170141183460469231731687303715884105727</integer>") << Format::Xml
            << Value::fromInteger128(INT64_MAX, UINT64_MAX);
        QTest::newRow("xml: real infinity") << plistDoc("<real>-inf</real>") << Format::Xml
                                            << Value::fromReal(-std::numeric_limits<double>::infinity());
        QTest::newRow("xml: date with year only")
            << plistDoc("<date>2001Z</date>") << Format::Xml << Value::fromDate(0);
        QTest::newRow("xml: data with line breaks")
            << plistDoc("<data>\n\tAAEC\n\t/w==\n</data>") << Format::Xml
            << Value::fromData(QByteArray("\x00\x01\x02\xff", 4));
        QTest::newRow("xml: dict, last duplicate wins")
            << plistDoc(
                   "<dict><key>a</key><string>1</string><key>b</key><array/><key>a</key><string>2</string>"
                   "</dict>")
            << Format::Xml
            << Value::fromDictionary(
                   { QStringLiteral("a"), QStringLiteral("b") }, { str("2"), Value::fromArray({}) });
        QTest::newRow("xml: UTF-16LE with BOM") << QByteArray("\xFF\xFE", 2)
                + utf16(QStringLiteral(
                            "<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist><string>é😀</string></plist>"),
                    false) << Format::Xml << str("é😀");
        QTest::newRow("xml: UTF-16BE without BOM")
            << utf16(QStringLiteral("<plist><string>東京</string></plist>"), true) << Format::Xml
            << str("東京");
        QTest::newRow("xml: Latin-1 declared") << QByteArray(
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><plist><string>caf\xe9</string></plist>")
                                               << Format::Xml << str("café");
        QTest::newRow("xml: comment and space after the root") << plistDoc("<true/>") + "\n<!-- end -->\n"
                                                               << Format::Xml << Value::fromBool(true);
        QTest::newRow("xml: followed by one NUL")
            << plistDoc("<string>x</string>") + QByteArray(1, '\0') << Format::Xml << str("x");

        QTest::newRow("old-style: unquoted string")
            << QByteArray("Keyword_1.0") << Format::OpenStep << str("Keyword_1.0");
        QTest::newRow("old-style: quoted with escapes")
            << QByteArray("\"a\\\"b\\n\\t\\\\ \\101 \\U00e9 caf\xc3\xa9\"") << Format::OpenStep
            << str("a\"b\n\t\\ A \u00e9 caf\u00e9");
        QTest::newRow("old-style: single quotes")
            << QByteArray("'it is'") << Format::OpenStep << str("it is");
        QTest::newRow("old-style: feed shape with comments")
            << QByteArray("( /* one */ { AppName = Corvane; Version = \"2.0\"; // v\n URL = \"x\"; }, )")
            << Format::OpenStep
            << Value::fromArray({ Value::fromDictionary(
                   { QStringLiteral("AppName"), QStringLiteral("Version"), QStringLiteral("URL") },
                   { str("Corvane"), str("2.0"), str("x") }) });
        QTest::newRow("old-style: data") << QByteArray("<0001 02ff>") << Format::OpenStep
                                         << Value::fromData(QByteArray("\x00\x01\x02\xff", 4));
        QTest::newRow("old-style: strings file")
            << QByteArray("a = b;\n\"c\" = (d);") << Format::OpenStep
            << Value::fromDictionary({ QStringLiteral("a"), QStringLiteral("c") },
                   { str("b"), Value::fromArray({ str("d") }) });
        QTest::newRow("old-style: followed by one NUL")
            << QByteArray("\"x\"", 3) + QByteArray(1, '\0') << Format::OpenStep << str("x");
    }
    void reads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Format, format);
        QFETCH(Value, expected);
        QString error;
        Format detected;
        const auto value = corvane::plist::parse(bytes, &error, &detected);
        QVERIFY2(value, qPrintable(error));
        QCOMPARE(detected, format);
        QVERIFY(*value == expected);
    }

    void refuses_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty input") << QStringLiteral("empty") << QByteArray();
        QTest::newRow("xml guard: billion laughs") << QStringLiteral("internal subset") << billionLaughs();
        QTest::newRow("xml guard: quadratic blow-up")
            << QStringLiteral("internal subset")
            << "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"" + QByteArray(50000, 'a')
                + "\">]><plist><string>" + QByteArray("&a;").repeated(50000) + "</string></plist>";
        QTest::newRow("xml guard: empty internal subset")
            << QStringLiteral("internal subset") << QByteArray("<!DOCTYPE plist []><plist><true/></plist>");
        QTest::newRow("xml guard: parameter entity")
            << QStringLiteral("internal subset")
            << QByteArray("<!DOCTYPE plist [<!ENTITY % p \"<!ENTITY x 'y'>\"> %p;]><plist><true/></plist>");
        QTest::newRow("xml guard: external entity declared")
            << QStringLiteral("internal subset")
            << QByteArray(
                   "<!DOCTYPE plist [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><plist><string>&x;</string>"
                   "</plist>");
        QTest::newRow("xml guard: bare entity declaration") << QStringLiteral(
            "declaration") << QByteArray("<?xml version=\"1.0\"?><!ENTITY x \"y\"><plist/>");
        QTest::newRow("xml guard: undeclared entity")
            << QStringLiteral("undeclared entity") << plistDoc("<string>&bogus;</string>");
        QTest::newRow("xml guard: late DOCTYPE")
            << QStringLiteral("DOCTYPE after the root")
            << QByteArray("<plist><true/></plist><!DOCTYPE plist [<!ENTITY a \"b\">]>");
        QTest::newRow("xml guard: DOCTYPE inside the root")
            << QStringLiteral("unexpected content") << QByteArray("<plist><!DOCTYPE plist><true/></plist>");
        QTest::newRow("xml guard: text after the root")
            << QStringLiteral("Extra content") << plistDoc("<true/>") + "junk";
        QTest::newRow("xml guard: instruction after the root")
            << QStringLiteral("after the root") << plistDoc("<true/>") + "<?pi x?>";
        QTest::newRow("xml guard: second root")
            << QStringLiteral("Extra content") << plistDoc("<true/>") + "<plist/>";
        QTest::newRow("xml: two NULs")
            << QStringLiteral("Extra content") << plistDoc("<true/>") + QByteArray(2, '\0');
        QTest::newRow("xml: truncated")
            << QStringLiteral("Premature end") << plistDoc("<string>abc</string>").chopped(4);
        QTest::newRow("xml: invalid UTF-8")
            << QStringLiteral("encoding") << plistDoc("<string>\xC3\x28</string>");
        QTest::newRow("xml: unknown encoding") << QStringLiteral(
            "encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"x-bogus\"?><plist/>");
        QTest::newRow("xml: control character reference")
            << QStringLiteral("character reference") << plistDoc("<string>&#1;</string>");
        QTest::newRow("xml: raw control character")
            << QStringLiteral("XML:") << plistDoc("<string>\x01</string>");
        QTest::newRow("xml: empty plist") << QStringLiteral("empty plist") << plistDoc("");
        QTest::newRow("xml: two values") << QStringLiteral("more than one") << plistDoc("<true/><false/>");
        QTest::newRow("xml: unknown element")
            << QStringLiteral("unknown element") << plistDoc("<uid>1</uid>");
        QTest::newRow("xml: text in an array")
            << QStringLiteral("text between") << plistDoc("<array>x</array>");
        QTest::newRow("xml: element in a string")
            << QStringLiteral("element inside") << plistDoc("<string><true/></string>");
        QTest::newRow("xml: text in true") << QStringLiteral("empty element") << plistDoc("<true>yes</true>");
        QTest::newRow("xml: key without value")
            << QStringLiteral("without a value") << plistDoc("<dict><key>a</key></dict>");
        QTest::newRow("xml: value without key")
            << QStringLiteral("without a key") << plistDoc("<dict><string>a</string></dict>");
        QTest::newRow("xml: integer past 128 bits") << QStringLiteral(
            "integer") << plistDoc("<integer>170141183460469231731687303715884105728</integer>");
        QTest::newRow("xml: integer with junk")
            << QStringLiteral("integer") << plistDoc("<integer>12a</integer>");
        QTest::newRow("xml: real with junk") << QStringLiteral("real") << plistDoc("<real>1.5x</real>");
        QTest::newRow("xml: date without Z")
            << QStringLiteral("date") << plistDoc("<date>2020-01-01T00:00:00</date>");
        QTest::newRow("xml: date 30 February")
            << QStringLiteral("date") << plistDoc("<date>2020-02-30Z</date>");
        QTest::newRow("xml: bad base64") << QStringLiteral("base64") << plistDoc("<data>A$==</data>");
        QTest::newRow("xml: nesting 513 levels")
            << QStringLiteral("nesting")
            << plistDoc(QByteArray("<array>").repeated(513) + QByteArray("</array>").repeated(513));

        QTest::newRow("old-style: plain sentence")
            << QStringLiteral("after the value") << QByteArray("hello world");
        QTest::newRow("old-style: unterminated string")
            << QStringLiteral("unterminated") << QByteArray("\"abc");
        QTest::newRow("old-style: unterminated comment") << QStringLiteral("comment") << QByteArray("x /* y");
        QTest::newRow("old-style: missing semicolon") << QStringLiteral("';'") << QByteArray("{ a = b }");
        QTest::newRow("old-style: missing comma") << QStringLiteral("','") << QByteArray("(a b)");
        QTest::newRow("old-style: odd hex digits") << QStringLiteral("odd") << QByteArray("<abc>");
        QTest::newRow("old-style: invalid UTF-8") << QStringLiteral("UTF-8") << QByteArray("\"\xff\"");
        QTest::newRow("old-style: nesting 513 levels")
            << QStringLiteral("nesting") << QByteArray("(").repeated(513) + QByteArray(")").repeated(513);
        QTest::newRow("binary magic with a bad version")
            << QStringLiteral("version") << QByteArray("bplist01").repeated(8);
    }
    void refuses()
    {
        QFETCH(QString, reason);
        QFETCH(QByteArray, bytes);
        QString error;
        QVERIFY(!corvane::plist::parse(bytes, &error));
        QVERIFY2(!error.isEmpty() && error.contains(reason), qPrintable(error));
    }

    void nestingLimitIsInclusive()
    {
        QVERIFY(corvane::plist::parse(
            plistDoc(QByteArray("<array>").repeated(512) + QByteArray("</array>").repeated(512))));
        QVERIFY(corvane::plist::parse(QByteArray("(").repeated(512) + QByteArray(")").repeated(512)));
    }
};

QTEST_GUILESS_MAIN(TestPlistText)
#include "tst_plist_text.moc"
