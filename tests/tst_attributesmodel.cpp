#include "attributes/AttributeDescription.h"
#include "editor/AttributesFilterModel.h"
#include "editor/AttributesModel.h"
#include "support/EditorTestSupport.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QLocale>
#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;
using corvane::AttributesModel;
using corvane::describeFileAttributes;

namespace {

// What another program leaves on a file from a Mac or a Linux desktop, written by python's own
// os.setxattr and plistlib.
QList<corvane::test::PythonAttribute> fromAMac(const QString &p)
{
    const auto binary = [](const char *value) {
        return u"plistlib.dumps(%1, fmt=plistlib.FMT_BINARY)"_s.arg(QString::fromUtf8(value));
    };
    return { { p, "user.com.apple.metadata:kMDItemKeywords", binary("['sun', 'sea', 'sand']") },
        { p, "user.com.apple.metadata:kMDItemComment", binary("'two\\nlines'") },
        { p, "user.com.apple.metadata:kMDItemDownloadedDate",
            binary("[datetime.datetime(2026, 12, 6, 9, 30)]") },
        { p, "user.com.apple.quarantine", u"b'0083;5f1e2a3b;Safari;F643CD5F-6071-46AB-83AB-390BA944DEC5'"_s },
        { p, "user.xdg.comment", u"'Sent by Ann'.encode()"_s },
        { p, "user.com.apple.metadata:_kMDItemUserTags", binary("['Work\\n6', 'Home', 'Later\\n4']") },
        { p, "user.test.nested", binary("{'outer': {'inner': [1, 2]}, 'flag': True}") },
        { p, "user.DosStream.com.apple.metadata\xef\x80\xa2kMDItemWhereFroms:$DATA",
            binary("['https://example.com/']") + u" + b'\\0'"_s },
        { p, "user.com.apple.metadata:kMDItemWhereFroms", binary("['https://example.com/']") },
        { p, "user.Comment", binary("'typed as Comment'") } };
}

// Names and values that test what the panel shows of them: names that would hide or disguise
// themselves, a key with a right-to-left override, a list whose last item lies beyond its one-line
// preview, and a few hundred bytes that would expand to 150 KB.
const QString hostileWriter = uR"PY(
import os, plistlib, sys
p, B = sys.argv[1], plistlib.FMT_BINARY
for name in [b'user.bidi\xe2\x80\xaeexe.txt', b'user.caf\xe9', b'user.caf\xe8', b'user.back\\slash', b'user.tab\there',
             'user.Grüße'.encode()]:
    os.setxattr(p, name, b'x')
os.setxattr(p, 'user.keys', plistlib.dumps({'\u202eevil': 1}, fmt=B))
os.setxattr(p, 'user.long', plistlib.dumps(['item%d' % i for i in range(40)], fmt=B))
os.setxattr(p, 'user.shared', plistlib.dumps([[True] * 240] * 120, fmt=B))
)PY"_s;

// The top-level row of the attribute: by its exact bytes (a QByteArray) or by its full name.
QModelIndex rowNamed(const AttributesModel &model, const QVariant &name)
{
    const int role = name.typeId() == QMetaType::QByteArray ? AttributesModel::SystemNameRole
                                                            : AttributesModel::FullNameRole;
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.index(row, 0).data(role) == name)
            return model.index(row, 0);
    }
    return QModelIndex();
}

QString cell(const QModelIndex &row, int column)
{
    return row.siblingAtColumn(column).data().toString();
}

} // namespace

// The panel's model over real files, without a window: Qt's model checks, then the rows read back.
class TestAttributesModel : public QObject {
    Q_OBJECT
    corvane::test::TestFiles m_files;
    QString m_path;
    AttributesModel m_model;
    AttributesModel m_hostile;

private slots:
    void initTestCase()
    {
        m_path = m_files.make(u"from-a-mac.pdf"_s);
        QVERIFY(corvane::test::setAttributesWithPython(fromAMac(m_path)));
        m_model.setDescription(describeFileAttributes(QFile::encodeName(m_path)));
        QCOMPARE(m_model.rowCount(), 10);

        const QString hostile = m_files.make(u"hostile"_s);
        QCOMPARE(corvane::test::runProgram(u"python3"_s, { u"-c"_s, hostileWriter, hostile }).exitCode, 0);
        m_hostile.setDescription(describeFileAttributes(QFile::encodeName(hostile)));
        QCOMPARE(m_hostile.rowCount(), 9);
    }

    // Two names that differ never look alike: what would hide or reorder text is escaped.
    void namesShownSoTheyCanBeToldApart_data()
    {
        QTest::addColumn<QByteArray>("systemName");
        QTest::addColumn<QString>("label");
        // A name Corvane has no label for is shown whole.
        QTest::newRow("right-to-left override")
            << u"user.bidi\u202eexe.txt"_s.toUtf8() << u"user.bidi\\u202eexe.txt"_s;
        QTest::newRow("not UTF-8, é in Latin-1") << "user.caf\xe9"_ba << u"user.caf\\xe9"_s;
        QTest::newRow("a backslash, doubled") << "user.back\\slash"_ba << u"user.back\\\\slash"_s;
        QTest::newRow("a tab") << "user.tab\there"_ba << u"user.tab\\x09here"_s;
        QTest::newRow("printable text as it is") << u"user.Grüße"_s.toUtf8() << u"user.Grüße"_s;
    }
    void namesShownSoTheyCanBeToldApart()
    {
        QFETCH(QByteArray, systemName);
        QFETCH(QString, label);
        const QModelIndex row = rowNamed(m_hostile, systemName);
        QVERIFY(row.isValid());
        QCOMPARE(cell(row, AttributesModel::LabelColumn), label);
        QCOMPARE(row.data(Qt::ToolTipRole).toString(), label);
    }

    void keysShownEscaped()
    {
        const QModelIndex keys = rowNamed(m_hostile, "user.keys"_ba);
        QCOMPARE(cell(m_hostile.index(0, 0, keys), AttributesModel::LabelColumn), u"\\u202eevil"_s);
    }

    // The filter keeps an attribute by its label, full name or line, or by any item of its value even
    // beyond that line; a kept attribute shows all its items.
    void filterKeepsAttributesByNameOrAnyValue_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("nothing typed") << QString() << QStringList {};
        QTest::newRow("label, any case") << u"LONG"_s << QStringList { u"user.long"_s };
        QTest::newRow("the last item, beyond the line") << u"item39"_s << QStringList { u"user.long"_s };
        QTest::newRow("a key") << u"evil"_s << QStringList { u"user.keys"_s };
        QTest::newRow("as the name is shown") << u"\\xe9"_s << QStringList { u"user.caf\\xe9"_s };
        QTest::newRow("nothing") << u"item40"_s << QStringList {};
    }
    void filterKeepsAttributesByNameOrAnyValue()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, labels);
        corvane::AttributesFilterModel filter;
        QAbstractItemModelTester tester(&filter, QAbstractItemModelTester::FailureReportingMode::QtTest);
        filter.setSourceModel(&m_hostile);
        filter.setFilterText(typed);
        if (typed.isEmpty()) {
            QCOMPARE(filter.rowCount(), m_hostile.rowCount());
            return;
        }
        QStringList shown;
        for (int row = 0; row < filter.rowCount(); ++row)
            shown << filter.index(row, 0).data().toString();
        QCOMPARE(shown, labels);
        if (labels == QStringList { u"user.long"_s })
            QCOMPARE(filter.rowCount(filter.index(0, 0)), 40);
    }

    void passesTheModelTester()
    {
        AttributesModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setDescription(describeFileAttributes(QFile::encodeName(m_path)));
        // Open every row, as a view expanding all would, then fill it again over the opened rows.
        const std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
            for (int row = 0; row < model.rowCount(parent); ++row) {
                QVERIFY(model.parent(model.index(row, 0, parent)) == parent);
                walk(model.index(row, 0, parent));
            }
        };
        walk(QModelIndex());
        model.setDescription(describeFileAttributes(QFile::encodeName(m_path)));
        walk(QModelIndex());
    }

    void topLevelRows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("children");
        QTest::addColumn<bool>("editorCanWrite");
        QTest::addColumn<bool>("inCatalogue");

        QTest::newRow("keywords, a list")
            << u"user.com.apple.metadata:kMDItemKeywords"_s << u"Keywords"_s << 3 << true << true;
        QTest::newRow("comment, two lines")
            << u"user.com.apple.metadata:kMDItemComment"_s << u"Comment"_s << 0 << true << true;
        QTest::newRow("downloaded date")
            << u"user.com.apple.metadata:kMDItemDownloadedDate"_s << u"Downloaded"_s << 1 << true << false;
        QTest::newRow("quarantine") << u"user.com.apple.quarantine"_s << u"Quarantine"_s << 4 << true
                                    << false;
        QTest::newRow("freedesktop comment")
            << u"user.xdg.comment"_s << u"Comment (desktop)"_s << 0 << true << false;
        // Two forms of one name: the one that is not the editor's own says which it is.
        QTest::newRow("samba stream, read-only")
            << u"user.DosStream.com.apple.metadata\uF022kMDItemWhereFroms:$DATA"_s
            << u"Where from (user.DosStream)"_s << 1 << false << false;
        QTest::newRow("where from, the editor's form")
            << u"user.com.apple.metadata:kMDItemWhereFroms"_s << u"Where from"_s << 1 << true << false;
        QTest::newRow("a typed Comment is not the catalogue's")
            << u"user.Comment"_s << u"user.Comment"_s << 0 << true << false;
    }

    void topLevelRows()
    {
        QFETCH(QString, name);
        const QModelIndex row = rowNamed(m_model, name);
        QVERIFY2(row.isValid(), qPrintable(name));
        QTEST(cell(row, AttributesModel::LabelColumn), "label");
        QTEST(m_model.rowCount(row), "children");
        QTEST(row.data(AttributesModel::EditorCanWriteRole).toBool(), "editorCanWrite");
        QTEST(row.data(AttributesModel::CatalogueIndexRole).toLongLong() >= 0, "inCatalogue");
        // The full name is the label's tool tip and the hidden column; the size is what is stored.
        QCOMPARE(row.data(Qt::ToolTipRole).toString(), name);
        QCOMPARE(cell(row, AttributesModel::NameColumn), name);
        const std::optional<QByteArray> stored
            = corvane::test::attributeFromTool(m_path, name.mid(5)); // the tool adds "user."
        QVERIFY(stored);
        QCOMPARE(row.siblingAtColumn(AttributesModel::SizeColumn).data().toLongLong(), stored->size());
    }

    void childRows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("path");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("copied");

        QTest::newRow("second keyword") << u"user.com.apple.metadata:kMDItemKeywords"_s << QList<int> { 1 }
                                        << u"Item 2"_s << u"text"_s << u"sea"_s;
        QTest::newRow("quarantine agent")
            << u"user.com.apple.quarantine"_s << QList<int> { 2 } << u"agent"_s << u"text"_s << u"Safari"_s;
        QTest::newRow("quarantine time") << u"user.com.apple.quarantine"_s << QList<int> { 1 } << u"time"_s
                                         << u"date"_s << u"2020-07-27T01:13:31Z"_s;
        QTest::newRow("nested list in a dictionary") << u"user.test.nested"_s << QList<int> { 1, 0 }
                                                     << u"inner"_s << u"list of 2 numbers"_s << u"1\n2"_s;
        QTest::newRow("integer two levels down")
            << u"user.test.nested"_s << QList<int> { 1, 0, 1 } << u"Item 2"_s << u"whole number"_s << u"2"_s;
    }

    void childRows()
    {
        QFETCH(QString, name);
        QFETCH(QList<int>, path);
        QModelIndex row = rowNamed(m_model, name);
        for (int child : path)
            row = m_model.index(child, 0, row);
        QVERIFY(row.isValid());
        QTEST(cell(row, AttributesModel::LabelColumn), "label");
        QTEST(cell(row, AttributesModel::KindColumn), "kind");
        QTEST(row.data(AttributesModel::CopyTextRole).toString(), "copied");
        // A child is never taken to the editor nor removed on its own, and has no size or name of its own.
        QVERIFY(!row.data(AttributesModel::TopLevelRole).toBool());
        QVERIFY(!row.data(AttributesModel::EditorCanWriteRole).toBool());
        QVERIFY(cell(row, AttributesModel::SizeColumn).isEmpty());
        QVERIFY(cell(row, AttributesModel::NameColumn).isEmpty());
    }

    // Dates in the user's locale and local time, with UTC in the tool tip; tags by name, with their colours.
    void tagsAndDatesReadWell_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("child"); // -1: the attribute's own row
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QVariantList>("colours");
        const QString date
            = QLocale().toString(QDateTime(QDate(2026, 12, 6), QTime(9, 30), QTimeZone::utc()).toLocalTime(),
                QLocale::ShortFormat);
        const QString downloaded = u"user.com.apple.metadata:kMDItemDownloadedDate"_s;
        const QString tags = u"user.com.apple.metadata:_kMDItemUserTags"_s;
        QTest::newRow("list of dates")
            << downloaded << -1 << date << u"2026-12-06T09:30:00Z"_s << QVariantList();
        QTest::newRow("a date in it")
            << downloaded << 0 << date << u"2026-12-06T09:30:00Z"_s << QVariantList();
        QTest::newRow("tags") << tags << -1 << u"Work, Home, Later"_s << QString()
                              << QVariantList { 6, 0, 4 };
        QTest::newRow("a tag") << tags << 0 << u"Work"_s << QString() << QVariantList { 6 };
        QTest::newRow("a list of texts") << u"user.com.apple.metadata:kMDItemKeywords"_s << -1
                                         << u"sun, sea, sand"_s << QString() << QVariantList();
    }
    void tagsAndDatesReadWell()
    {
        QFETCH(QString, name);
        QFETCH(int, child);
        QModelIndex row = rowNamed(m_model, name);
        if (child >= 0)
            row = m_model.index(child, 0, row);
        const QModelIndex value = row.siblingAtColumn(AttributesModel::PreviewColumn);
        QTEST(value.data().toString(), "shown");
        QTEST(value.data(Qt::ToolTipRole).toString(), "toolTip");
        QTEST(value.data(AttributesModel::TagColoursRole).toList(), "colours");
    }

    void detailsAWholeListOneItemALine()
    {
        const QModelIndex keywords = rowNamed(m_model, u"user.com.apple.metadata:kMDItemKeywords"_s);
        QCOMPARE(keywords.data(AttributesModel::DetailRole).toString(), u"sun\nsea\nsand"_s);
    }
};

QTEST_GUILESS_MAIN(TestAttributesModel)
#include "tst_attributesmodel.moc"
