// The XML and old-style text forms, and how the reader tells the three forms apart.

#include <QStringEncoder>
#include <QTest>

#include "plist/PlistReader.h"

using namespace Qt::StringLiterals;
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

// `depth` arrays, the innermost empty, as written and as read.
QByteArray nested(const QByteArray &open, const QByteArray &close, int depth)
{
    return open.repeated(depth) + close.repeated(depth);
}
Value nested(int depth)
{
    Value value = Value::fromArray({});
    for (int i = 1; i < depth; ++i)
        value = Value::fromArray({ value });
    return value;
}

QByteArray utf16(const char *text, QStringConverter::Encoding encoding)
{
    return QStringEncoder(encoding).encode(QString::fromUtf8(text));
}

// ` a0="" a1=""...`, `count` attributes.
QByteArray attributes(int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += " a" + QByteArray::number(i) + "=\"\"";
    return out;
}

// Ten entities each referring ten times to the one before: 10^9 expansions from a few hundred bytes.
QByteArray billionLaughs()
{
    QByteArray doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n<!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i < 10; ++i)
        doc += "<!ENTITY lol" + QByteArray::number(i) + " \""
            + ("&lol" + QByteArray::number(i - 1) + ';').repeated(10) + "\">\n";
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
        const auto xml = [](const char *name, const QByteArray &bytes, const Value &expected) {
            QTest::addRow("xml: %s", name) << bytes << Format::Xml << expected;
        };
        const auto oldStyle = [](const char *name, const QByteArray &bytes, const Value &expected) {
            QTest::addRow("old-style: %s", name) << bytes << Format::OpenStep << expected;
        };
        const QByteArray nul(1, '\0');
        // clang-format off
        xml("entities and character references", plistDoc("<string>&lt;&gt;&amp;&quot;&apos;&#65;&#x1F600;&#233;</string>"), str("<>&\"'A\U0001F600\u00e9"));
        xml("CDATA and comments join", plistDoc("<string>a<![CDATA[<b>]]><!-- c -->d</string>"), str("a<b>d"));
        xml("spaces kept", plistDoc("<string>  two\n lines \t</string>"), str("  two\n lines \t"));
        xml("raw CR read as LF, &#13; kept", plistDoc("<string>a\r\nb\rc&#13;</string>"), str("a\nb\nc\r"));
        xml("empty string element", plistDoc("<string/>"), str(""));
        xml("bare value root", "<?xml version=\"1.0\"?><integer>-7</integer>", Value::fromInteger(-7));
        xml("no DOCTYPE nor declaration, leading space", "\n  <plist><false/></plist>", Value::fromBool(false));
        xml("hexadecimal integer", plistDoc("<integer> 0x1F </integer>"), Value::fromInteger(31));
        xml("largest 128-bit integer", plistDoc("<integer>170141183460469231731687303715884105727</integer>"), Value::fromInteger128(INT64_MAX, UINT64_MAX));
        xml("real infinity", plistDoc("<real>-inf</real>"), Value::fromReal(-std::numeric_limits<double>::infinity()));
        xml("date with year only", plistDoc("<date>2001Z</date>"), Value::fromDate(0));
        xml("dict, last duplicate wins", plistDoc("<dict><key>a</key><string>1</string><key>b</key><array/><key>a</key><string>2</string></dict>"), Value::fromDictionary({ u"a"_s, u"b"_s }, { str("2"), Value::fromArray({}) }));
        xml("UTF-16LE with BOM", "\xFF\xFE" + utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist><string>é😀</string></plist>", QStringConverter::Utf16LE), str("é😀"));
        xml("UTF-16BE without BOM", utf16("<plist><string>東京</string></plist>", QStringConverter::Utf16BE), str("東京"));
        xml("Latin-1 declared", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><plist><string>caf\xe9</string></plist>", str("café"));
        xml("UTF-8 BOM, UTF-8 declared", "\xEF\xBB\xBF" + plistDoc("<string>\xC3\xA9</string>"), str("é"));
        xml("US-ASCII declared", "<?xml version='1.0' encoding='us-ascii'?><plist><string>a</string></plist>", str("a"));
        xml("UTF-16BE BOM, UTF-16BE declared", "\xFE\xFF" + utf16("<?xml version=\"1.0\" encoding=\"UTF-16BE\"?><plist><true/></plist>", QStringConverter::Utf16BE), Value::fromBool(true));
        xml("16 attributes on a tag", "<plist" + attributes(16) + "><true/></plist>", Value::fromBool(true));
        xml("many attributes in a comment", plistDoc("<!--<a" + attributes(40) + ">--><true/>"), Value::fromBool(true));
        xml("data, two characters past a group", plistDoc("<data>QUJDRA==</data>"), Value::fromData("ABCD"));
        xml("comment and space after the root", plistDoc("<true/>") + "\n<!-- end -->\n", Value::fromBool(true));
        xml("followed by one NUL", plistDoc("<string>x</string>") + nul, str("x"));
        xml("512 levels of nesting", plistDoc(nested("<array>", "</array>", 512)), nested(512));

        oldStyle("unquoted string", "Keyword_1.0", str("Keyword_1.0"));
        oldStyle("quoted with escapes", "\"a\\\"b\\n\\t\\\\ \\101 \\U00e9 caf\xc3\xa9\"", str("a\"b\n\t\\ A \u00e9 caf\u00e9"));
        oldStyle("single quotes", "'it is'", str("it is"));
        oldStyle("feed shape with comments", "( /* one */ { AppName = Corvane; Version = \"2.0\"; // v\n URL = \"x\"; }, )", Value::fromArray({ Value::fromDictionary({ u"AppName"_s, u"Version"_s, u"URL"_s }, { str("Corvane"), str("2.0"), str("x") }) }));
        oldStyle("data", "<0001 02ff>", Value::fromData(QByteArray("\x00\x01\x02\xff", 4)));
        oldStyle("strings file", "a = b;\n\"c\" = (d);", Value::fromDictionary({ u"a"_s, u"c"_s }, { str("b"), Value::fromArray({ str("d") }) }));
        oldStyle("UTF-8 BOM", "\xEF\xBB\xBF( a, \"\xC3\xA9\" )", Value::fromArray({ str("a"), str("é") }));
        oldStyle("UTF-16LE strings file with BOM", "\xFF\xFE" + utf16("/* c */\n\"k\" = \"Grüß\";\n", QStringConverter::Utf16LE), Value::fromDictionary({ u"k"_s }, { str("Grüß") }));
        oldStyle("UTF-16BE data with BOM", "\xFE\xFF" + utf16(" <00ff>", QStringConverter::Utf16BE), Value::fromData(QByteArray("\x00\xff", 2)));
        oldStyle("followed by one NUL", "\"x\"" + nul, str("x"));
        oldStyle("512 levels of nesting", nested("(", ")", 512), nested(512));
        // clang-format on
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
        const auto row = [](const char *name, const char *reason, const QByteArray &bytes) {
            QTest::newRow(name) << QString::fromUtf8(reason) << bytes;
        };
        // clang-format off
        row("empty input", "empty", QByteArray());
        row("xml guard: billion laughs", "internal subset", billionLaughs());
        row("xml guard: quadratic blow-up", "internal subset", "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"" + QByteArray(50000, 'a') + "\">]><plist><string>" + QByteArray("&a;").repeated(50000) + "</string></plist>");
        row("xml guard: external entity declared", "internal subset", "<!DOCTYPE plist [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><plist><string>&x;</string></plist>");
        row("xml guard: parameter entity", "internal subset", "<!DOCTYPE plist [<!ENTITY % p \"<!ENTITY x 'y'>\"> %p;]><plist><true/></plist>");
        row("xml guard: bare entity declaration", "declaration", "<?xml version=\"1.0\"?><!ENTITY x \"y\"><plist/>");
        row("xml guard: undeclared entity", "undeclared entity", plistDoc("<string>&bogus;</string>"));
        row("xml guard: late DOCTYPE", "DOCTYPE after the root", "<plist><true/></plist><!DOCTYPE plist [<!ENTITY a \"b\">]>");
        row("xml guard: DOCTYPE inside the root", "unexpected content", "<plist><!DOCTYPE plist><true/></plist>");
        row("xml guard: text after the root", "Extra content", plistDoc("<true/>") + "junk");
        row("xml guard: instruction after the root", "after the root", plistDoc("<true/>") + "<?pi x?>");
        row("xml: two NULs", "Extra content", plistDoc("<true/>") + QByteArray(2, '\0'));
        row("xml: truncated", "Premature end", plistDoc("<string>abc</string>").chopped(4));
        row("xml: invalid UTF-8", "encoding", plistDoc("<string>\xC3\x28</string>"));
        row("xml: unknown encoding", "encoding", "<?xml version=\"1.0\" encoding=\"x-bogus\"?><plist/>");
        row("xml: control character reference", "character reference", plistDoc("<string>&#1;</string>"));
        row("xml: raw control character", "XML:", plistDoc("<string>\x01</string>"));
        row("xml: empty plist", "empty plist", plistDoc(""));
        row("xml: two values", "more than one", plistDoc("<true/><false/>"));
        row("xml: unknown element", "unknown element", plistDoc("<uid>1</uid>"));
        row("xml: text in an array", "text between", plistDoc("<array>x</array>"));
        row("xml: element in a string", "element inside", plistDoc("<string><true/></string>"));
        row("xml: text in true", "empty element", plistDoc("<true>yes</true>"));
        row("xml: key without value", "without a value", plistDoc("<dict><key>a</key></dict>"));
        row("xml: value without key", "without a key", plistDoc("<dict><string>a</string></dict>"));
        row("xml: integer past 128 bits", "integer", plistDoc("<integer>170141183460469231731687303715884105728</integer>"));
        row("xml: integer with junk", "integer", plistDoc("<integer>12a</integer>"));
        row("xml: real with junk", "real", plistDoc("<real>1.5x</real>"));
        row("xml: date without Z", "date", plistDoc("<date>2020-01-01T00:00:00</date>"));
        row("xml: date 30 February", "date", plistDoc("<date>2020-02-30Z</date>"));
        row("xml: bad base64", "base64", plistDoc("<data>A$==</data>"));
        row("xml: base64 with a dangling character", "base64", plistDoc("<data>QUJDR</data>"));
        row("xml guard: 17 attributes", "more than 16 attributes", "<plist" + attributes(17) + "><true/></plist>");
        row("xml guard: 17 attributes on an inner tag", "more than 16 attributes", plistDoc("<array><true" + attributes(17) + "/></array>"));
        row("xml guard: 17 attributes in UTF-16", "more than 16 attributes", "\xFF\xFE" + utf16(("<plist" + attributes(17) + "><true/></plist>").constData(), QStringConverter::Utf16LE));
        row("xml guard: UTF-8 BOM, UTF-7 declared", "disagrees", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-7\"?><!DOCTYPE plist +AFs-<!ENTITY a \"b\">+AF0-><plist><string>&a;</string></plist>");
        row("xml guard: UTF-8 BOM, windows-1252 declared", "disagrees", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"windows-1252\"?><plist><string>\x80</string></plist>");
        row("xml guard: UTF-16 BOM, UTF-8 declared", "disagrees", "\xFF\xFE" + utf16("<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist><true/></plist>", QStringConverter::Utf16LE));
        row("xml guard: UTF-16LE BOM, UTF-16BE declared", "disagrees", "\xFF\xFE" + utf16("<?xml version=\"1.0\" encoding=\"UTF-16BE\"?><plist><true/></plist>", QStringConverter::Utf16LE));
        row("xml guard: bytes declaring UTF-16", "disagrees", "<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist/>");
        row("xml guard: Shift_JIS declared", "unsupported encoding", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><plist><true/></plist>");
        row("xml guard: US-ASCII with a byte above 127", "encoding", "<?xml version=\"1.0\" encoding=\"US-ASCII\"?><plist><string>\xC3\xA9</string></plist>");
        row("xml guard: encoding declared twice", "malformed XML declaration", "<?xml version=\"1.0\" encoding=\"UTF-8\" encoding=\"UTF-7\"?><plist/>");
        row("xml guard: declaration after a second BOM", "malformed data", "\xEF\xBB\xBF\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-7\"?><plist/>");
        row("xml guard: UTF-16 pattern after a UTF-8 BOM", "malformed data", "\xEF\xBB\xBF" + utf16("<?xml version=\"1.0\"?><plist/>", QStringConverter::Utf16LE));
        row("xml guard: declaration not at the start", "not at the start", "\n<?xml version=\"1.0\" encoding=\"UTF-7\"?><plist/>");
        row("xml: nesting 513 levels", "nesting", plistDoc(nested("<array>", "</array>", 513)));
        row("old-style: plain sentence", "after the value", "hello world");
        row("old-style: unterminated string", "unterminated", "\"abc");
        row("old-style: unterminated comment", "comment", "x /* y");
        row("old-style: missing semicolon", "';'", "{ a = b }");
        row("old-style: missing comma", "','", "(a b)");
        row("old-style: odd hex digits", "odd", "<abc>");
        row("old-style: invalid UTF-8", "UTF-8", "\"\xff\"");
        row("old-style: nesting 513 levels", "nesting", nested("(", ")", 513));
        // clang-format on
    }
    void refuses()
    {
        QFETCH(QString, reason);
        QFETCH(QByteArray, bytes);
        QString error;
        QVERIFY(!corvane::plist::parse(bytes, &error));
        QVERIFY2(!error.isEmpty() && error.contains(reason), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestPlistText)
#include "tst_plist_text.moc"
