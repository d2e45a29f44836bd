// Both writers against python3's plistlib: its bytes for the same value, in both forms.

#include <QTest>

#include "plist/PlistReader.h"
#include "plist/PlistWriter.h"
#include "support/TestSupport.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using corvane::plist::Value;

namespace {

Value s(const QString &text)
{
    return Value::fromString(text);
}

Value nested(int depth, const Value &inner)
{
    Value value = inner;
    for (int i = 0; i < depth; ++i)
        value = Value::fromArray({ value });
    return value;
}

} // namespace

class TestPlistWriters : public QObject {
    Q_OBJECT
private slots:
    // plistlib writes a Python value in both forms; our reader reads its binary bytes, and our writers
    // must give back exactly what plistlib wrote. Sharing follows: what plistlib wrote once, our reader
    // shares, and the writer writes once again. "B|" rows have no XML form in plistlib.
    void matchesPlistlib_data()
    {
        QTest::addColumn<QByteArray>("binary");
        QTest::addColumn<QByteArray>("xml");
        const QList<std::pair<const char *, const char *>> cases = {
            { "string: empty", "X|''" },
            { "string: ASCII with markup", "X|'Keywords & <tags>, \"quoted\"'" },
            { "string: 14 characters, length in the marker", "X|'a'*14" },
            { "string: 15 characters, one-byte length", "X|'b'*15" },
            { "string: 256 characters, two-byte length", "X|'e'*256" },
            { "string: 70000 characters, four-byte length and offsets", "X|'f'*70000" },
            { "string: 70000 non-ASCII units", "X|'\\u00e9'*70000" },
            { "string: accents and CJK in UTF-16", "X|'Cr\\u00e8me br\\u00fbl\\u00e9e \\u6771\\u4eac'" },
            { "string: emoji, a surrogate pair", "X|'ok \\U0001F600 done'" },
            { "string: DEL is still ASCII", "X|'\\x7f'" },
            { "string: tab and line feed", "X|'a\\tb\\nc'" },
            { "boolean: true", "X|True" },
            { "boolean: false", "X|False" },
            { "integer: 0", "X|0" },
            { "integer: widths 1, 2, 4, 8 at each limit",
                "X|[255, 256, 65535, 65536, 2**32-1, 2**32, 2**63-1]" },
            { "integer: 2**63 and 2**64-1, sixteen bytes", "X|[2**63, 2**64-1]" },
            { "integer: negative, always eight bytes", "X|[-1, -255, -2**63]" },
            { "real: ordinary and extreme",
                "X|[0.5, 0.1, 1.0, 100.0, 123456789.125, 1.5e300, 5e-324, -2.5e-7]" },
            { "real: repr switches to exponents at 1e16 and 1e-4",
                "X|[1e15, 1e16, 1.5e16, 0.0001, 0.00001, 1e22, 123456789012345678.0]" },
            { "real: -0.0", "X|-0.0" },
            { "real: NaN and infinities", "X|[float('nan'), float('inf'), float('-inf')]" },
            { "real: 300 of random magnitude",
                "X|(lambda r: [r.uniform(-1, 1) * 10.0 ** r.randint(-40, 40) for _ in range(300)])"
                "(__import__('random').Random(19))" },
            { "real: 300 of random bits",
                "X|(lambda r: [__import__('struct').unpack('>d', r.randbytes(8))[0] for _ in range(300)])"
                "(__import__('random').Random(7))" },
            { "date: 2024 leap day", "X|datetime.datetime(2024, 2, 29, 13, 14, 15)" },
            { "date: before 2001",
                "X|[datetime.datetime(1970, 1, 1), datetime.datetime(1600, 3, 1, 12, 0, 1)]" },
            { "date: with a fraction, dropped in XML",
                "X|[datetime.datetime(2020, 5, 6, 7, 8, 9, 250000), datetime.datetime(1999, 12, 31, 23, 59, "
                "59, 999999)]" },
            { "date: first and last that XML holds",
                "X|[datetime.datetime(1, 1, 1), datetime.datetime(9999, 12, 31, 23, 59, 59)]" },
            { "data: empty", "X|b''" },
            { "data: 256 bytes in 76-column lines", "X|bytes(range(256))" },
            { "data: 15 bytes, one-byte length", "X|bytes(15)" },
            { "data: lines shorten with each level of indentation",
                "X|[bytes(range(100)), [bytes(range(100)), [[[[[[[[bytes(range(100))]]]]]]]]]]" },
            { "array: empty, and two empty ones", "X|[[], [[], []], {}]" },
            { "array: 15 items, one-byte count", "X|list('abcdefghijklmno')" },
            { "array: 300 objects, two-byte references", "X|list(range(300))" },
            { "array: 70000 objects, four-byte references", "X|list(range(70000))" },
            { "dictionary: keys sorted", "X|{'b': 1, 'a': 2, 'B': 3, '': 4}" },
            { "dictionary: keys sorted by code point, not UTF-16",
                "X|{'\\U0001F600': 1, '\\uff21': 2, '\\ud7ff': 3}" },
            { "dictionary: nested", "X|{'a': [{'b': [[], {}, [b'']]}], 'c': {'d': 'e'}}" },
            { "dictionary: 15 entries", "X|{chr(65 + i): i for i in range(15)}" },
            { "sharing: equal scalars once, each kind apart",
                "X|['same', 'same', 7, 7, 7.0, True, 1, 1.0, b'x', b'x', 'x', "
                "datetime.datetime(2001, 1, 1), datetime.datetime(2001, 1, 1), 0.0]" },
            { "sharing: a key and an equal string", "X|{'a': 'a', 'b': ['a', 'b']}" },
            { "sharing: one list referenced twice", "X|(lambda a: [a, a, [1, 2]])([1, 2])" },
            { "sharing: one NaN object twice, two NaN objects",
                "X|(lambda n: [n, n, float('nan')])(float('nan'))" },
            { "null: no XML form", "B|[None, None, {'k': None}]" },
            { "UID: each width",
                "B|[plistlib.UID(5), plistlib.UID(300), plistlib.UID(70000), plistlib.UID(2**40)]" },
        };
        QList<QByteArray> lines;
        for (const auto &row : cases)
            lines.append(row.second);
        const auto fields = corvane::test::runPythonPerLine(
            QStringLiteral("plistlib.dumps(v:=eval(line[2:]), fmt=plistlib.FMT_BINARY),"
                           "plistlib.dumps(v, fmt=plistlib.FMT_XML) if line[0] == 'X' else b''"),
            lines);
        QCOMPARE(fields.size(), cases.size());
        for (qsizetype i = 0; i < cases.size(); ++i)
            QTest::newRow(cases[i].first) << fields[i].value(0) << fields[i].value(1);
    }
    void matchesPlistlib()
    {
        QFETCH(QByteArray, binary);
        QFETCH(QByteArray, xml);
        QString error;
        const std::optional<Value> value = corvane::plist::parse(binary, &error);
        QVERIFY2(value, qPrintable(error));
        QCOMPARE(corvane::plist::writeBinary(*value), binary);
        if (value->isString())
            QCOMPARE(corvane::plist::writeBinary(value->toString()), binary);
        if (xml.isEmpty()) {
            QVERIFY(!corvane::plist::writeXml(*value, &error));
            QVERIFY(!error.isEmpty());
            return;
        }
        QCOMPARE(corvane::plist::writeXml(*value, &error).value_or(error.toUtf8()), xml);
        // Found in XML, written back as XML.
        const std::optional<Value> fromXml = corvane::plist::parse(xml, &error);
        QVERIFY2(fromXml, qPrintable(error));
        QCOMPARE(corvane::plist::writeXml(*fromXml).value_or(QByteArray()), xml);
    }

    // Trees made in memory rather than read: the objects are fresh, and dates carry any fraction.
    void writesBuiltTrees_data()
    {
        QTest::addColumn<Value>("value");
        QTest::addColumn<QByteArray>("python");
        const Value keyword = s(u"beach"_s);
        const Value pair = Value::fromArray({ s(u"x"_s) });
        // clang-format off
        QTest::newRow("keywords made one by one") << Value::fromArray({ s(u"holiday"_s), s(u"beach"_s), s(u"holiday"_s) }) << "['holiday', 'beach', 'holiday']"_ba;
        QTest::newRow("one string value twice") << Value::fromArray({ keyword, keyword }) << "['beach', 'beach']"_ba;
        QTest::newRow("empty arrays made apart stay apart") << Value::fromArray({ Value::fromArray({}), Value::fromArray({}), Value::fromDictionary({}, {}) }) << "[[], [], {}]"_ba;
        QTest::newRow("one array copied twice is written once") << Value::fromArray({ pair, pair }) << "(lambda a: [a, a])(['x'])"_ba;
        QTest::newRow("equal arrays made apart are two") << Value::fromArray({ pair, Value::fromArray({ s(u"x"_s) }) }) << "[['x'], ['x']]"_ba;
        QTest::newRow("date with milliseconds") << Value::fromDate(612345678.125) << "datetime.datetime(2020, 5, 28, 8, 1, 18, 125000)"_ba;
        QTest::newRow("date before 2001 with a fraction") << Value::fromDate(-0.5) << "datetime.datetime(2000, 12, 31, 23, 59, 59, 500000)"_ba;
        QTest::newRow("integers from each constructor") << Value::fromArray({ Value::fromInteger(-7), Value::fromUnsignedInteger(UINT64_MAX), Value::fromInteger128(0, 5) }) << "[-7, 2**64-1, 5]"_ba;
        QTest::newRow("dictionary keys given unsorted") << Value::fromDictionary({ u"z"_s, u"a"_s }, { Value::fromBool(true), Value::fromReal(2.5) }) << "{'z': True, 'a': 2.5}"_ba;
        // clang-format on
    }
    void writesBuiltTrees()
    {
        QFETCH(Value, value);
        QFETCH(QByteArray, python);
        const auto fields = corvane::test::runPythonPerLine(
            QStringLiteral("plistlib.dumps(v:=eval(line), fmt=plistlib.FMT_BINARY),"
                           "plistlib.dumps(v, fmt=plistlib.FMT_XML)"),
            { python });
        QCOMPARE(fields.size(), 1);
        QCOMPARE(corvane::plist::writeBinary(value), fields[0].value(0));
        QCOMPARE(corvane::plist::writeXml(value).value_or(QByteArray()), fields[0].value(1));
    }

    // Where plistlib would change the value, we keep it: plistlib itself reads ours back exactly.
    void keepsWhatPlistlibWouldChange()
    {
        const Value zeros
            = Value::fromArray({ Value::fromReal(0.0), Value::fromReal(-0.0), Value::fromReal(0.0) });
        const Value returns = Value::fromDictionary({ u"a\r\nb"_s }, { s(u"c\rd\r\ne"_s) });
        const QList<QByteArray> ours = {
            corvane::plist::writeBinary(zeros).toBase64(),
            corvane::plist::writeXml(zeros).value_or(QByteArray()).toBase64(),
            corvane::plist::writeBinary(returns).toBase64(),
            corvane::plist::writeXml(returns).value_or(QByteArray()).toBase64(),
        };
        const auto fields = corvane::test::runPythonPerLine(
            QStringLiteral("repr(plistlib.loads(base64.b64decode(line))).encode(),"), ours);
        QCOMPARE(fields.size(), 4);
        for (qsizetype i : { 0, 1 })
            QCOMPARE(fields[i].value(0), "[0.0, -0.0, 0.0]"_ba);
        for (qsizetype i : { 2, 3 })
            QCOMPARE(fields[i].value(0), "{'a\\r\\nb': 'c\\rd\\r\\ne'}"_ba);
        QVERIFY(corvane::plist::parse(QByteArray::fromBase64(ours[3])).value_or(Value()) == returns);
    }

    // What plistlib refuses but the binary format holds reads back the same from our bytes.
    void binaryHoldsWhatPlistlibRefuses_data()
    {
        QTest::addColumn<Value>("value");
        // clang-format off
        QTest::newRow("integer 2**100") << Value::fromInteger128(qint64(1) << 36, 0);
        QTest::newRow("integer -2**100") << Value::fromInteger128(-(qint64(1) << 36), 0);
        QTest::newRow("set") << Value::fromSet({ s(u"a"_s), Value::fromInteger(1) });
        QTest::newRow("string with a lone surrogate") << s(QString(QChar(0xD800)) + u"x"_s);
        QTest::newRow("date beyond year 9999") << Value::fromDate(1e12);
        QTest::newRow("512 levels of nesting") << nested(512, Value::fromBool(true));
        // clang-format on
    }
    void binaryHoldsWhatPlistlibRefuses()
    {
        QFETCH(Value, value);
        QString error;
        const auto back = corvane::plist::parse(corvane::plist::writeBinary(value), &error);
        QVERIFY2(back, qPrintable(error));
        QVERIFY(*back == value);
    }

    void xmlRefuses_data()
    {
        QTest::addColumn<Value>("value");
        QTest::addColumn<QString>("reason");
        // clang-format off
        QTest::newRow("null") << Value::fromArray({ Value() }) << u"null"_s;
        QTest::newRow("UID") << Value::fromUid(1) << u"UID"_s;
        QTest::newRow("set") << Value::fromSet({}) << u"set"_s;
        QTest::newRow("control character") << s(u"a\u0001b"_s) << u"U+0001"_s;
        QTest::newRow("control character in a key") << Value::fromDictionary({ u"\u001f"_s }, { s({}) }) << u"U+001F"_s;
        QTest::newRow("lone surrogate") << s(QString(QChar(0xDC00))) << u"U+DC00"_s;
        QTest::newRow("U+FFFE") << s(u"\ufffe"_s) << u"U+FFFE"_s;
        QTest::newRow("date in year 10000") << Value::fromDate(252423993600.0) << u"date"_s;
        QTest::newRow("date before year 1") << Value::fromDate(-63113904001.0) << u"date"_s;
        QTest::newRow("date NaN") << Value::fromDate(std::numeric_limits<double>::quiet_NaN()) << u"date"_s;
        QTest::newRow("513 levels of nesting") << nested(513, Value::fromBool(true)) << u"nested"_s;
        QTest::newRow("one long string, shared, written out 300 times") << Value::fromArray(QList<Value>(300, s(QString(60000, u'x')))) << u"larger than 16 MiB"_s;
        // clang-format on
    }
    void xmlRefuses()
    {
        QFETCH(Value, value);
        QFETCH(QString, reason);
        QString error;
        QCOMPARE(corvane::plist::writeXml(value, &error), std::nullopt);
        QVERIFY2(error.contains(reason), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestPlistWriters)
#include "tst_plist_writers.moc"
