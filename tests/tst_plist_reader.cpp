// The reader over every form: what python3's plistlib writes in binary and XML, the old-style text
// form, how the three are told apart, and the guards against hostile input in each.

#include <QStringEncoder>
#include <QTest>

#include "plist/PlistReader.h"
#include "support/TestSupport.h"

using namespace Qt::StringLiterals;
using corvane::plist::Format;
using corvane::plist::Value;

namespace {

// Assembles a bplist00 from raw objects, so that each guard can be hit with everything else well formed.
struct Bplist {
    QList<QByteArray> objects = {};
    int offsetSize = 1;
    int refSize = 1;
    quint64 top = 0;
    std::optional<quint64> objectCount = {};
    std::optional<quint64> tableOffset = {};
    QList<int> aliases = {}; // further table entries, each the offset of the object given

    QByteArray bytes() const
    {
        const auto bigEndian = [](quint64 value, int width) {
            QByteArray out;
            for (int i = width - 1; i >= 0; --i)
                out += char(i >= 8 ? 0 : (value >> (8 * i)) & 0xFF);
            return out;
        };
        QByteArray out("bplist00"), table;
        QList<qsizetype> offsets;
        for (const QByteArray &object : objects) {
            offsets.append(out.size());
            table += bigEndian(out.size(), offsetSize);
            out += object;
        }
        for (int alias : aliases)
            table += bigEndian(offsets.at(alias), offsetSize);
        return out + table + QByteArray(6, '\0') + char(offsetSize) + char(refSize)
            + bigEndian(objectCount.value_or(objects.size() + aliases.size()), 8) + bigEndian(top, 8)
            + bigEndian(tableOffset.value_or(out.size()), 8);
    }
};

QByteArray obj(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (int b : bytes)
        out.append(char(b));
    return out;
}

QByteArray plist(const QList<QByteArray> &objects)
{
    return Bplist { .objects = objects }.bytes();
}

Bplist nestedArrays(int depth)
{
    Bplist nested { .offsetSize = 2, .refSize = 2 };
    for (int level = 0; level < depth; ++level)
        nested.objects.append(obj({ 0xA1, (level + 1) >> 8, (level + 1) & 0xFF }));
    nested.objects.append(obj({ 0x00 }));
    return nested;
}

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

// A refusal: the bytes, and the words of the guard that must refuse them.
void refusal(const char *name, const char *reason, const QByteArray &bytes)
{
    QTest::newRow(name) << QString::fromUtf8(reason) << bytes;
}

// Every type plistlib writes, in both its forms, and what only hand-made bytes can carry.
void addBinaryReads()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    QList<Value> many;
    for (int i = 0; i < 300; ++i)
        many.append(Value::fromInteger(i));
    const auto s = [](const char *text) { return Value::fromString(QString::fromUtf8(text)); };
    const QList<std::tuple<const char *, const char *, Value>> cases = {
        { "string", "'h\u00e9llo <&>'", s("h\u00e9llo <&>") },
        { "true", "True", Value::fromBool(true) },
        { "false", "False", Value::fromBool(false) },
        { "integer 0", "0", Value::fromInteger(0) },
        { "integer 256, two bytes", "256", Value::fromInteger(256) },
        { "integer 2**32, eight bytes", "2**32", Value::fromInteger(qint64(1) << 32) },
        { "integer min int64", "-2**63", Value::fromInteger(INT64_MIN) },
        { "integer 2**64-1, sixteen bytes", "2**64-1", Value::fromUnsignedInteger(UINT64_MAX) },
        { "real", "1.5", Value::fromReal(1.5) },
        { "date", "datetime.datetime(2024,2,29,13,14,15)", Value::fromDate(730905255.0) },
        { "date before 2001", "datetime.datetime(1970,1,1)", Value::fromDate(-978307200.0) },
        { "data", "bytes(range(256))", Value::fromData(all) },
        { "empty data", "b''", Value::fromData({}) },
        { "array of mixed", "['a', 1, [True], {}]",
            Value::fromArray({ s("a"), Value::fromInteger(1), Value::fromArray({ Value::fromBool(true) }),
                Value::fromDictionary({}, {}) }) },
        // plistlib sorts keys
        { "feed shape", "[{'AppName':'Corvane','Version':'2.0','URL':'x'}]",
            Value::fromArray({ Value::fromDictionary(
                { u"AppName"_s, u"URL"_s, u"Version"_s }, { s("Corvane"), s("x"), s("2.0") }) }) },
        { "300 elements, two-byte references", "list(range(300))", Value::fromArray(many) },
    };
    QList<QByteArray> expressions;
    for (const auto &row : cases)
        expressions.append(std::get<1>(row));
    const auto fields = corvane::test::runPythonPerLine(
        QStringLiteral("plistlib.dumps(eval(line),fmt=f) for f in (plistlib.FMT_BINARY,plistlib.FMT_XML)"),
        expressions);
    QCOMPARE(fields.size(), cases.size());
    for (qsizetype i = 0; i < cases.size(); ++i) {
        const auto &[name, expression, expected] = cases[i];
        QTest::addRow("plistlib binary: %s", name) << fields[i].value(0) << Format::Binary << expected;
        QTest::addRow("plistlib XML: %s", name) << fields[i].value(1) << Format::Xml << expected;
    }

    const auto row = [](const char *name, const QList<QByteArray> &objects, const Value &expected) {
        QTest::newRow(name) << plist(objects) << Format::Binary << expected;
    };
    const Value t = Value::fromBool(true);
    // clang-format off
    row("null", { obj({ 0x00 }) }, Value());
    row("set", { obj({ 0xC2, 1, 1 }), obj({ 0x51, 'x' }) }, Value::fromSet({ s("x"), s("x") }));
    row("UID of 2 bytes", { obj({ 0x81, 0x01, 0x02 }) }, Value::fromUid(0x102));
    row("4-byte real", { obj({ 0x22, 0x3F, 0xC0, 0, 0 }) }, Value::fromReal(1.5));
    row("16-byte negative integer", { obj({ 0x14 }) + QByteArray(15, char(0xFF)) + char(0xFE) }, Value::fromInteger(-2));
    row("shared object read once per reference", { obj({ 0xA3, 1, 1, 1 }), obj({ 0x09 }) }, Value::fromArray({ t, t, t }));
    // Table entries 2 and 3 name the bytes of entry 1: read once, the value is the same at each.
    QTest::newRow("aliases of one object") << Bplist { .objects = { obj({ 0xA3, 1, 2, 3 }), obj({ 0x51, 'x' }) }, .aliases = { 1, 1 } }.bytes() << Format::Binary << Value::fromArray({ s("x"), s("x"), s("x") });
    QTest::newRow("3-byte offsets and references") << Bplist { .objects = { obj({ 0xA1, 0, 0, 1 }), obj({ 0x09 }) }, .offsetSize = 3, .refSize = 3 }.bytes() << Format::Binary << Value::fromArray({ t });
    Value deepest;
    for (int i = 0; i < 512; ++i)
        deepest = Value::fromArray({ deepest });
    QTest::newRow("512 levels of nesting") << nestedArrays(512).bytes() << Format::Binary << deepest;
    QTest::newRow("followed by one NUL") << plist({ obj({ 0x51, 'z' }) }) + '\0' << Format::Binary << s("z");
    // clang-format on
}

void addTextReads()
{
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

void addBinaryRefusals()
{
    const QByteArray a = obj({ 0x51, 'a' });
    const QByteArray good = plist({ a });
    QByteArray outside = good;
    outside[outside.size() - 32 - 1] = char(0xF0);
    // clang-format off
    refusal("size: 41 bytes", "too short", good.first(41));
    refusal("magic: version 15", "version", "bplist15" + good.sliced(8));
    refusal("trailer: truncated", "too short", good.chopped(3));
    refusal("width: offset size 0", "offset width", Bplist { .objects = { a }, .offsetSize = 0 }.bytes());
    refusal("width: offset size 9", "offset width", Bplist { .objects = { a }, .offsetSize = 9 }.bytes());
    refusal("width: reference size 0", "reference width", Bplist { .objects = { a }, .refSize = 0 }.bytes());
    refusal("width: reference size 9", "reference width", Bplist { .objects = { a }, .refSize = 9 }.bytes());
    refusal("table: no objects", "no objects", Bplist { .objects = { a }, .objectCount = 0 }.bytes());
    refusal("table: count times width overflows", "offset table runs past", Bplist { .objects = { a }, .objectCount = UINT64_MAX / 2 }.bytes());
    refusal("table: top object past the count", "top object", Bplist { .objects = { a }, .top = 1 }.bytes());
    refusal("table: offset table past the end", "offset table outside", Bplist { .objects = { a }, .tableOffset = 1ull << 62 }.bytes());
    refusal("table: offset table inside the header", "offset table outside", Bplist { .objects = { a }, .tableOffset = 4 }.bytes());
    refusal("offset: object past the object area", "object offset", outside);
    refusal("reference: past the count", "reference outside", plist({ obj({ 0xA1, 5 }), obj({ 0x00 }) }));
    refusal("cycle: array holds itself", "cycle", plist({ obj({ 0xA1, 0 }) }));
    refusal("cycle: two dictionaries", "cycle", plist({ obj({ 0xD1, 2, 1 }), obj({ 0xD1, 2, 0 }), obj({ 0x51, 'k' }) }));
    refusal("length: huge string marker", "string length", plist({ obj({ 0x5F, 0x13, 0x7F }) + QByteArray(7, char(0xFF)) + 'a' }));
    refusal("length: huge array marker", "container length", plist({ obj({ 0xAF, 0x13 }) + QByteArray(8, char(0xFF)) + '\0' }));
    refusal("length: huge dictionary marker", "container length", plist({ obj({ 0xDF, 0x13, 0x40 }) + QByteArray(8, '\0') }));
    refusal("length: UTF-16 past the end", "string length", plist({ obj({ 0x63, 0, 'a', 0, 'b' }) }));
    refusal("length: marker not an integer", "malformed length", plist({ obj({ 0x5F, 0x51, 'a' }) }));
    refusal("ASCII: byte 0x80", "non-ASCII", plist({ obj({ 0x52, 'a', 0x80 }) }));
    refusal("cycle: through an alias of the array", "cycle", Bplist { .objects = { obj({ 0xA1, 1 }) }, .aliases = { 0 } }.bytes());
    refusal("key: integer key", "key is not a string", plist({ obj({ 0xD1, 1, 1 }), obj({ 0x10, 0x01 }) }));
    refusal("marker: fill as a value", "unknown object marker", plist({ obj({ 0x0F }) }));
    refusal("marker: ordered set", "unknown object marker", plist({ obj({ 0xB0 }) }));
    refusal("marker: 0x70", "unknown object marker", plist({ obj({ 0x70 }) }));
    refusal("marker: 32-byte integer", "integer wider", plist({ obj({ 0x15, 0, 0 }) }));
    refusal("marker: 2-byte real", "real neither", plist({ obj({ 0x21, 0, 0 }) }));
    refusal("nesting: 513 levels", "nesting", nestedArrays(513).bytes());
    // clang-format on
    // 512 levels read alone, then referenced once more from one level down: directly, and through
    // entry 514 (0x0202), an alias of entry 0.
    Bplist deeper = nestedArrays(512), aliased = nestedArrays(512);
    deeper.objects.append(obj({ 0xA1, 0, 0 }));
    aliased.aliases = { 0 };
    aliased.objects.append(obj({ 0xA1, 0x02, 0x02 }));
    deeper.top = aliased.top = 513;
    refusal("nesting: shared subtree reached deeper", "nesting", deeper.bytes());
    refusal("alias: of a container reached deeper", "nesting", aliased.bytes());
    // 11 levels of arrays, each holding 14 references to the next: 14^11 nodes from ~200 bytes.
    QList<QByteArray> bomb;
    for (int level = 0; level < 11; ++level)
        bomb.append(char(0xA0 | 14) + QByteArray(14, char(level + 1)));
    bomb.append(obj({ 0x00 }));
    refusal("bomb: 14 to the 11th nodes from ~200 bytes", "too many nodes", plist(bomb));
}

void addTextRefusals()
{
    // clang-format off
    refusal("empty input", "empty", QByteArray());
    refusal("xml guard: billion laughs", "internal subset", billionLaughs());
    refusal("xml guard: quadratic blow-up", "internal subset", "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"" + QByteArray(50000, 'a') + "\">]><plist><string>" + QByteArray("&a;").repeated(50000) + "</string></plist>");
    refusal("xml guard: external entity declared", "internal subset", "<!DOCTYPE plist [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><plist><string>&x;</string></plist>");
    refusal("xml guard: parameter entity", "internal subset", "<!DOCTYPE plist [<!ENTITY % p \"<!ENTITY x 'y'>\"> %p;]><plist><true/></plist>");
    refusal("xml guard: bare entity declaration", "declaration", "<?xml version=\"1.0\"?><!ENTITY x \"y\"><plist/>");
    refusal("xml guard: undeclared entity", "undeclared entity", plistDoc("<string>&bogus;</string>"));
    refusal("xml guard: late DOCTYPE", "DOCTYPE after the root", "<plist><true/></plist><!DOCTYPE plist [<!ENTITY a \"b\">]>");
    refusal("xml guard: DOCTYPE inside the root", "unexpected content", "<plist><!DOCTYPE plist><true/></plist>");
    refusal("xml guard: text after the root", "Extra content", plistDoc("<true/>") + "junk");
    refusal("xml guard: instruction after the root", "after the root", plistDoc("<true/>") + "<?pi x?>");
    refusal("xml: two NULs", "Extra content", plistDoc("<true/>") + QByteArray(2, '\0'));
    refusal("xml: truncated", "Premature end", plistDoc("<string>abc</string>").chopped(4));
    refusal("xml: invalid UTF-8", "encoding", plistDoc("<string>\xC3\x28</string>"));
    refusal("xml: unknown encoding", "encoding", "<?xml version=\"1.0\" encoding=\"x-bogus\"?><plist/>");
    refusal("xml: control character reference", "character reference", plistDoc("<string>&#1;</string>"));
    refusal("xml: raw control character", "XML:", plistDoc("<string>\x01</string>"));
    refusal("xml: empty plist", "empty plist", plistDoc(""));
    refusal("xml: two values", "more than one", plistDoc("<true/><false/>"));
    refusal("xml: unknown element", "unknown element", plistDoc("<uid>1</uid>"));
    refusal("xml: text in an array", "text between", plistDoc("<array>x</array>"));
    refusal("xml: element in a string", "element inside", plistDoc("<string><true/></string>"));
    refusal("xml: text in true", "empty element", plistDoc("<true>yes</true>"));
    refusal("xml: key without value", "without a value", plistDoc("<dict><key>a</key></dict>"));
    refusal("xml: value without key", "without a key", plistDoc("<dict><string>a</string></dict>"));
    refusal("xml: integer past 128 bits", "integer", plistDoc("<integer>170141183460469231731687303715884105728</integer>"));
    refusal("xml: integer with junk", "integer", plistDoc("<integer>12a</integer>"));
    refusal("xml: real with junk", "real", plistDoc("<real>1.5x</real>"));
    refusal("xml: date without Z", "date", plistDoc("<date>2020-01-01T00:00:00</date>"));
    refusal("xml: date 30 February", "date", plistDoc("<date>2020-02-30Z</date>"));
    refusal("xml: bad base64", "base64", plistDoc("<data>A$==</data>"));
    refusal("xml: base64 with a dangling character", "base64", plistDoc("<data>QUJDR</data>"));
    refusal("xml guard: 17 attributes", "more than 16 attributes", "<plist" + attributes(17) + "><true/></plist>");
    refusal("xml guard: 17 attributes on an inner tag", "more than 16 attributes", plistDoc("<array><true" + attributes(17) + "/></array>"));
    refusal("xml guard: 17 attributes in UTF-16", "more than 16 attributes", "\xFF\xFE" + utf16(("<plist" + attributes(17) + "><true/></plist>").constData(), QStringConverter::Utf16LE));
    refusal("xml guard: UTF-8 BOM, UTF-7 declared", "disagrees", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-7\"?><!DOCTYPE plist +AFs-<!ENTITY a \"b\">+AF0-><plist><string>&a;</string></plist>");
    refusal("xml guard: UTF-8 BOM, windows-1252 declared", "disagrees", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"windows-1252\"?><plist><string>\x80</string></plist>");
    refusal("xml guard: UTF-16 BOM, UTF-8 declared", "disagrees", "\xFF\xFE" + utf16("<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist><true/></plist>", QStringConverter::Utf16LE));
    refusal("xml guard: UTF-16LE BOM, UTF-16BE declared", "disagrees", "\xFF\xFE" + utf16("<?xml version=\"1.0\" encoding=\"UTF-16BE\"?><plist><true/></plist>", QStringConverter::Utf16LE));
    refusal("xml guard: bytes declaring UTF-16", "disagrees", "<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist/>");
    refusal("xml guard: Shift_JIS declared", "unsupported encoding", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><plist><true/></plist>");
    refusal("xml guard: US-ASCII with a byte above 127", "encoding", "<?xml version=\"1.0\" encoding=\"US-ASCII\"?><plist><string>\xC3\xA9</string></plist>");
    refusal("xml guard: encoding declared twice", "malformed XML declaration", "<?xml version=\"1.0\" encoding=\"UTF-8\" encoding=\"UTF-7\"?><plist/>");
    refusal("xml guard: declaration after a second BOM", "malformed data", "\xEF\xBB\xBF\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-7\"?><plist/>");
    refusal("xml guard: UTF-16 pattern after a UTF-8 BOM", "malformed data", "\xEF\xBB\xBF" + utf16("<?xml version=\"1.0\"?><plist/>", QStringConverter::Utf16LE));
    refusal("xml guard: declaration not at the start", "not at the start", "\n<?xml version=\"1.0\" encoding=\"UTF-7\"?><plist/>");
    refusal("xml: nesting 513 levels", "nesting", plistDoc(nested("<array>", "</array>", 513)));
    refusal("old-style: plain sentence", "after the value", "hello world");
    refusal("old-style: unterminated string", "unterminated", "\"abc");
    refusal("old-style: unterminated comment", "comment", "x /* y");
    refusal("old-style: missing semicolon", "';'", "{ a = b }");
    refusal("old-style: missing comma", "','", "(a b)");
    refusal("old-style: odd hex digits", "odd", "<abc>");
    refusal("old-style: invalid UTF-8", "UTF-8", "\"\xff\"");
    refusal("old-style: nesting 513 levels", "nesting", nested("(", ")", 513));
    // clang-format on
}

} // namespace

class TestPlistReader : public QObject {
    Q_OBJECT
private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Format>("format");
        QTest::addColumn<Value>("expected");
        addBinaryReads();
        addTextReads();
    }
    void reads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Format, format);
        QFETCH(Value, expected);
        Format detected;
        QString error;
        const auto value = corvane::plist::parse(bytes, &error, &detected);
        QVERIFY2(value, qPrintable(error));
        QCOMPARE(detected, format);
        QVERIFY(*value == expected);
    }

    void refuses_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QByteArray>("bytes");
        addBinaryRefusals();
        addTextRefusals();
    }
    void refuses()
    {
        QFETCH(QString, reason);
        QFETCH(QByteArray, bytes);
        QString error;
        QVERIFY(!corvane::plist::parse(bytes, &error));
        // Refused by the guard meant, not by some other check that happens to trip first.
        QVERIFY2(!error.isEmpty() && error.contains(reason), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestPlistReader)
#include "tst_plist_reader.moc"
