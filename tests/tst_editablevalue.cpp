// Values decoded into the editor's kinds and written back, against python3's plistlib: what it writes
// is read, edited and must come back as what plistlib writes for the edited value, in the same form.

#include <QTest>

#include "attributes/EditableValue.h"
#include "support/TestSupport.h"

#include <QTimeZone>

#include <functional>

using namespace Qt::StringLiterals;
using namespace corvane;
using Edit = std::function<void(EditableValue &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

QDateTime utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, ms), QTimeZone::utc());
}

const QByteArray keywords = "user.com.apple.metadata:kMDItemKeywords";
const QByteArray tagsName = "user.com.apple.metadata:_kMDItemUserTags";

} // namespace

class TestEditableValue : public QObject {
    Q_OBJECT
private slots:
    // Stored bytes and the bytes expected after the edit are Python expressions, run in one python3.
    void editsInTheFormFound_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<EditKind>("kind");
        QTest::addColumn<ValueForm>("form");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QByteArray>("expected");
        struct Row {
            const char *row;
            QByteArray name;
            const char *stored;
            EditKind kind;
            ValueForm form;
            Edit edit;
            const char *expected;
        };
        const auto B = ValueForm::BinaryPropertyList, X = ValueForm::XmlPropertyList,
                   P = ValueForm::PlainText;
        // clang-format off
        const QList<Row> rows = {
            { "text: binary", "user.com.apple.metadata:kMDItemComment", "b('x')", EditKind::Text, B, [](EditableValue &v) { v.text = u"Sent by “Ann” 😀"_s; }, "b('Sent by \\u201cAnn\\u201d \\U0001F600')" },
            { "text: XML with a trailing NUL", "user.com.apple.metadata:kMDItemComment", "x('x') + b'\\0'", EditKind::Text, X, [](EditableValue &v) { v.text = u"a & b"_s; }, "x('a & b') + b'\\0'" },
            { "text: plain, the desktop's comment", "user.xdg.comment", "b'Sent by Ann'", EditKind::Text, P, [](EditableValue &v) { v.text = u"Gesendet von Anna\nZeile 2"_s; }, "'Gesendet von Anna\\nZeile 2'.encode()" },
            { "text: plain with a trailing NUL", "user.com.apple.metadata:kMDItemComment", "b'note\\0'", EditKind::Text, P, [](EditableValue &v) { v.text = u"é"_s; }, "'é'.encode() + b'\\0'" },
            { "text: plain, its byte order mark kept", "user.xdg.comment", "b'\\xef\\xbb\\xbfnote'", EditKind::Text, P, [](EditableValue &v) { v.text += u"!"_s; }, "b'\\xef\\xbb\\xbfnote!'" },
            { "texts: binary keywords", keywords, "b(['holiday', 'beach'])", EditKind::TextList, B, [](EditableValue &v) { v.texts.append(u"family"_s); }, "b(['holiday', 'beach', 'family'])" },
            { "texts: XML, an empty item kept", "user.com.apple.metadata:kMDItemWhereFroms", "x(['https://example.com/a', ''])", EditKind::TextList, X, [](EditableValue &v) { v.texts[0] = u"https://example.org/b?x=1&y=<2>"_s; }, "x(['https://example.org/b?x=1&y=<2>', ''])" },
            { "texts: a thousand keywords", keywords, "b(['k%d' % i for i in range(1000)])", EditKind::TextList, B, [](EditableValue &v) { v.texts.removeLast(); }, "b(['k%d' % i for i in range(999)])" },
            { "tags: colours changed and added", tagsName, "b(['Red\\n6', 'Work'])", EditKind::Tags, B, [](EditableValue &v) { v.tags[1].colour = TagColour::Green; v.tags.append({ u"Blue"_s, TagColour::Blue }); v.tags.append({ u"Plain"_s }); }, "b(['Red\\n6', 'Work\\n2', 'Blue\\n4', 'Plain'])" },
            { "tags: a colour removed is the bare name", tagsName, "b(['Grey\\n1', 'Orange\\n7'])", EditKind::Tags, B, [](EditableValue &v) { v.tags[0].colour = TagColour::None; }, "b(['Grey', 'Orange\\n7'])" },
            { "tags: an explicit no-colour kept as stored", tagsName, "b(['Work\\n0', 'Home\\n3'])", EditKind::Tags, B, [](EditableValue &v) { v.tags.append({ u"New"_s }); }, "b(['Work\\n0', 'Home\\n3', 'New'])" },
            { "date: binary, before 2001", "user.com.apple.metadata:kMDItemDueDate", "b(datetime.datetime(1969, 7, 20, 20, 17))", EditKind::Date, B, [](EditableValue &v) { v.dates = { utc(2030, 1, 2, 3, 4, 5, 250) }; }, "b(datetime.datetime(2030, 1, 2, 3, 4, 5, 250000))" },
            { "date: XML", "user.com.apple.metadata:kMDItemDueDate", "x(datetime.datetime(2024, 2, 29))", EditKind::Date, X, [](EditableValue &v) { v.dates = { utc(2024, 3, 1, 12) }; }, "x(datetime.datetime(2024, 3, 1, 12))" },
            { "dates: microseconds of the dates left alone kept", "user.com.apple.metadata:kMDItemDownloadedDate", "b([datetime.datetime(2020, 1, 2, 3, 4, 5, 123456), datetime.datetime(2021, 6, 7, 8, 9, 10, 999999)])", EditKind::DateList, B, [](EditableValue &v) { v.dates.move(0, 1); v.dates.append(utc(2022, 1, 1)); }, "b([datetime.datetime(2021, 6, 7, 8, 9, 10, 999999), datetime.datetime(2020, 1, 2, 3, 4, 5, 123456), datetime.datetime(2022, 1, 1)])" },
            { "integer: binary", "user.com.apple.metadata:kMDItemStarRating", "b(3)", EditKind::Integer, B, [](EditableValue &v) { v.integer = -2; }, "b(-2)" },
            { "integer: XML, beyond 32 bits", "user.com.apple.metadata:kMDItemStarRating", "x(2**40)", EditKind::Integer, X, [](EditableValue &v) { v.integer = INT64_MAX; }, "x(2**63-1)" },
            { "real: binary", "user.com.apple.metadata:kMDItemFNumber", "b(1.5)", EditKind::Real, B, [](EditableValue &v) { v.real = 0.1; }, "b(0.1)" },
            { "real: XML", "user.com.apple.metadata:kMDItemFNumber", "x(float('nan'))", EditKind::Real, X, [](EditableValue &v) { v.real = 1e16; }, "x(1e16)" },
            { "boolean: binary", "user.com.apple.metadata:kMDItemIsScreenCapture", "b(False)", EditKind::Boolean, B, [](EditableValue &v) { v.boolean = true; }, "b(True)" },
        };
        // clang-format on
        QList<QByteArray> lines;
        for (const Row &row : rows)
            lines.append(QByteArray(row.stored) + '|' + row.expected);
        const auto fields = corvane::test::runPythonPerLine(
            QStringLiteral("[eval(e, dict(globals(), b=lambda v: plistlib.dumps(v, fmt=plistlib.FMT_BINARY),"
                           "x=lambda v: plistlib.dumps(v, fmt=plistlib.FMT_XML))) for e in line.split('|')]"),
            lines);
        QCOMPARE(fields.size(), rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const Row &r = rows[i];
            QTest::newRow(r.row) << r.name << fields[i].value(0) << r.kind << r.form << r.edit
                                 << fields[i].value(1);
        }
    }
    void editsInTheFormFound()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, stored);
        QFETCH(EditKind, kind);
        QFETCH(ValueForm, form);
        QFETCH(Edit, edit);
        QFETCH(QByteArray, expected);
        const EditableValue found = decodeEditableValue(recogniseAttributeName(name), stored);
        QCOMPARE(found.kind, kind);
        QCOMPARE(found.form, form);
        QCOMPARE(found.trailingNul, stored.endsWith('\0'));
        // Unchanged, it is the stored bytes again.
        QCOMPARE(encodeEditableValue(found).value_or("refused"), stored);
        EditableValue edited = found;
        edit(edited);
        QString error;
        QCOMPARE(encodeEditableValue(edited, &error).value_or(error.toUtf8()), expected);
        // Read back, the edit is what was written.
        QVERIFY(decodeEditableValue(recogniseAttributeName(name), expected) == edited);
    }

    void readOnly_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("expression");
        // clang-format off
        const QList<std::tuple<const char *, QByteArray, const char *>> rows = {
            { "dictionary", keywords, "plistlib.dumps({'a': 'b'})" },
            { "data", keywords, "plistlib.dumps(b'xyz', fmt=plistlib.FMT_BINARY)" },
            { "nested list", keywords, "plistlib.dumps([['a']], fmt=plistlib.FMT_BINARY)" },
            { "mixed list", keywords, "plistlib.dumps(['a', 1], fmt=plistlib.FMT_BINARY)" },
            { "list item with a line break", keywords, "plistlib.dumps(['a\\nb'], fmt=plistlib.FMT_BINARY)" },
            { "tag with colour 8", tagsName, "plistlib.dumps(['Red\\n8'], fmt=plistlib.FMT_BINARY)" },
            { "tag without a name", tagsName, "plistlib.dumps(['\\n6'], fmt=plistlib.FMT_BINARY)" },
            { "tag with two digits", tagsName, "plistlib.dumps(['a\\n66'], fmt=plistlib.FMT_BINARY)" },
            { "tag with a third line", tagsName, "plistlib.dumps(['a\\n6\\n'], fmt=plistlib.FMT_BINARY)" },
            { "integer beyond 63 bits", "user.com.apple.metadata:kMDItemStarRating", "plistlib.dumps(2**64-1, fmt=plistlib.FMT_BINARY)" },
            { "a long tag shared a thousand times", tagsName, "plistlib.dumps(['x' * 60000 + '\\n6'] * 1000, fmt=plistlib.FMT_BINARY)" },
            { "quarantine record", "user.com.apple.quarantine", "b'0083;5f1e2b3b;Safari;F643CD5F-6071-46AB-83AB-390BA944DEC5'" },
            { "last-used date", "user.com.apple.lastuseddate#PS", "bytes(16)" },
            { "Samba's stream form", "user.DosStream.com.apple.metadata\xef\x80\xa2kMDItemComment:$DATA", "plistlib.dumps('x', fmt=plistlib.FMT_BINARY) + b'\\0'" },
            { "HFS+ driver's form", "osx.com.apple.metadata:kMDItemComment", "plistlib.dumps('x', fmt=plistlib.FMT_BINARY)" },
            { "outside user.", "trusted.comment", "b'text'" },
            { "bytes that are not text", "user.blob", "b'\\x01\\x02\\xff'" },
        };
        // clang-format on
        QList<QByteArray> lines;
        for (const auto &row : rows)
            lines.append(std::get<2>(row));
        const auto fields = corvane::test::runPythonPerLine(QStringLiteral("eval(line),"), lines);
        QCOMPARE(fields.size(), rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i)
            QTest::newRow(std::get<0>(rows[i])) << std::get<1>(rows[i]) << fields[i].value(0);
    }
    void readOnly()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, expression);
        const EditableValue value = decodeEditableValue(recogniseAttributeName(name), expression);
        QCOMPARE(value.kind, EditKind::None);
        QCOMPARE(encodeEditableValue(value), std::nullopt);
    }

    // New attributes: plain text for the desktop's names, a binary property list for all others.
    void writesNewValues_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<Edit>("fill");
        QTest::addColumn<QByteArray>("expected"); // empty: refused
        // clang-format off
        // plistlib's bytes for ['a', 'b']
        QTest::newRow("keywords") << keywords << Edit([](EditableValue &v) { v.kind = EditKind::TextList; v.texts = { u"a"_s, u"b"_s }; }) << "bplist00\xa2\x01\x02QaQb\x08\x0b\x0d\x00\x00\x00\x00\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x0f"_ba;
        QTest::newRow("desktop comment") << "user.xdg.comment"_ba << Edit([](EditableValue &v) { v.kind = EditKind::Text; v.text = u"naïve"_s; }) << "na\xc3\xafve"_ba;
        QTest::newRow("desktop tags, comma-separated") << "user.xdg.tags"_ba << Edit([](EditableValue &v) { v.kind = EditKind::Tags; v.tags = { { u"a"_s }, { u"b c"_s } }; }) << "a,b c"_ba;
        QTest::newRow("desktop date in ISO 8601") << "user.xdg.due"_ba << Edit([](EditableValue &v) { v.kind = EditKind::Date; v.dates = { utc(2026, 12, 6, 9, 30) }; }) << "2026-12-06T09:30:00Z"_ba;
        QTest::newRow("desktop rating") << "user.baloo.rating"_ba << Edit([](EditableValue &v) { v.kind = EditKind::Integer; v.integer = 8; }) << "8"_ba;
        QTest::newRow("refused: a colour in plain text") << "user.xdg.tags"_ba << Edit([](EditableValue &v) { v.kind = EditKind::Tags; v.tags = { { u"a"_s, TagColour::Red } }; }) << QByteArray();
        QTest::newRow("refused: a comma in a plain list") << "user.xdg.tags"_ba << Edit([](EditableValue &v) { v.kind = EditKind::TextList; v.texts = { u"a,b"_s }; }) << QByteArray();
        QTest::newRow("refused: a control character in plain text") << "user.xdg.comment"_ba << Edit([](EditableValue &v) { v.kind = EditKind::Text; v.text = u"a\u0007"_s; }) << QByteArray();
        QTest::newRow("refused: a date value without its date") << keywords << Edit([](EditableValue &v) { v.kind = EditKind::Date; }) << QByteArray();
        QTest::newRow("refused: XML cannot hold a control character") << keywords << Edit([](EditableValue &v) { v.kind = EditKind::Text; v.form = ValueForm::XmlPropertyList; v.text = u"\u0001"_s; }) << QByteArray();
        // clang-format on
    }
    void writesNewValues()
    {
        QFETCH(QByteArray, name);
        QFETCH(Edit, fill);
        QFETCH(QByteArray, expected);
        EditableValue value = newEditableValue(name, EditKind::Text);
        fill(value);
        QString error;
        const std::optional<QByteArray> bytes = encodeEditableValue(value, &error);
        QCOMPARE(bytes.value_or(QByteArray()), expected);
        QCOMPARE(error.isEmpty(), bytes.has_value());
    }

    // The editor's Save: plain text stays plain, and the desktop's names are plain. (Plain text with or
    // without its NUL, a property list with one, and nothing stored are saved through the window and
    // the command line in tst_editor and tst_writecommand.)
    void editorSaveForm_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<ValueForm>("form");
        QTest::addColumn<bool>("trailingNul");
        // plistlib's bytes for 'x'
        const QByteArray binary
            = "bplist00Qx\x08\x00\x00\x00\x00\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x01"
              "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x0a"_ba;
        const QByteArray comment = "user.com.apple.metadata:kMDItemComment";
        const auto B = ValueForm::BinaryPropertyList, P = ValueForm::PlainText;
        // clang-format off
        QTest::newRow("plain text that reads as an old-style list") << comment << "(a, b)"_ba << P << false;
        QTest::newRow("a binary list") << comment << binary << B << false;
        QTest::newRow("an XML list") << comment << "<plist><string>x</string></plist>"_ba << B << false;
        QTest::newRow("bytes that are not text") << comment << "\xff\x01"_ba << B << false;
        QTest::newRow("desktop name holding a binary list") << "user.xdg.comment"_ba << binary << P << false;
        QTest::newRow("xdg without its dot is no desktop name") << "user.xdgcomment"_ba << QByteArray() << B << false;
        // clang-format on
    }
    void editorSaveForm()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, stored);
        QFETCH(ValueForm, form);
        QFETCH(bool, trailingNul);
        const StoredForm found = corvane::editorSaveForm(name, stored);
        QCOMPARE(found.form, form);
        QCOMPARE(found.trailingNul, trailingNul);
    }
};

QTEST_GUILESS_MAIN(TestEditableValue)
#include "tst_editablevalue.moc"
