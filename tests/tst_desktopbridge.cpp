#include <QTest>

#include "attributes/AttributeDescription.h"
#include "attributes/BridgeCopy.h"
#include "attributes/DesktopBridge.h"
#include "support/TestSupport.h"

using namespace corvane;
using namespace Qt::StringLiterals;
using K = BridgePairKind;
using S = BridgeState;

Q_DECLARE_METATYPE(BridgePairKind)
Q_DECLARE_METATYPE(BridgeState)

namespace {

ValueNode node(ValueKind kind, const QByteArray &string = {})
{
    return kind == ValueKind::Null ? ValueNode::null() : ValueNode::fromText(kind, QString::fromUtf8(string));
}
const auto text = [](const QByteArray &string) { return node(ValueKind::Text, string); };
const auto string = [](const char *string) { return node(ValueKind::String, string); };
const ValueNode none = node(ValueKind::Null); // the attribute is not there

ValueNode list(std::initializer_list<const char *> strings)
{
    QList<ValueNode> items;
    for (const char *item : strings)
        items.append(string(item));
    return ValueNode::fromItems(items);
}

ValueNode integer(quint64 number)
{
    return ValueNode::fromInteger(0, number);
}

// "-xdg.tags" removes; "_kMDItemUserTags=[a|b]" is a property-list array, "=<x>" a string or number,
// "xdg.tags=a,b" plain text.
QString describe(const QList<BridgeWrite> &writes)
{
    QStringList parts;
    for (const BridgeWrite &write : writes) {
        const QString name = QString::fromUtf8(write.name).section(u':', -1).remove(u"user."_s);
        QStringList items;
        for (const plist::Value &item : write.value.elements())
            items.append(item.toString());
        const QString scalar
            = write.value.isString() ? write.value.toString() : QString::number(write.value.toInteger());
        parts.append(write.form == BridgeWrite::Form::Remove ? u'-' + name
                : write.form == BridgeWrite::Form::PlainText ? name + u'=' + write.text
                : write.value.isArray()                      ? name + u"=["_s + items.join(u'|') + u']'
                                                             : name + u"=<"_s + scalar + u'>');
    }
    return parts.join(u"; "_s);
}

void row(const QByteArray &name, K kind, const ValueNode &mac, const QList<ValueNode> &desktop, S state,
    const QByteArray &toDesktop, const QByteArray &toMac, const QByteArray &summary)
{
    BridgeValues values;
    if (mac.kind() != ValueKind::Null)
        values.insert("user." + bridgeMacName(kind).toUtf8(), mac);
    for (qsizetype i = 0; i < desktop.size(); ++i) {
        if (desktop[i].kind() != ValueKind::Null)
            values.insert(bridgeDesktopNames(kind)[i], desktop[i]);
    }
    QTest::newRow(name.constData()) << kind << values << state << QString::fromUtf8(toDesktop)
                                    << QString::fromUtf8(toMac) << QString::fromUtf8(summary);
}

} // namespace

// The mapping between Finder's attributes and the Linux desktop's, on decoded values. Each row gives
// what a file holds on both sides and checks the state, what each copy would write and the panel's line.
class TestDesktopBridge : public QObject {
    Q_OBJECT

private slots:
    void pairs_data()
    {
        QTest::addColumn<BridgePairKind>("kind");
        QTest::addColumn<BridgeValues>("values");
        QTest::addColumn<BridgeState>("state");
        QTest::addColumn<QString>("toDesktop");
        QTest::addColumn<QString>("toMac");
        QTest::addColumn<QString>("summary");

        row("tags: colours, spacing, repeats are only forms", K::Tags, list({ "a", "a\n4", " b \n6", "\n2" }),
            { text(",a,, b ,a") }, S::InStep, "", "", "Tags: in step");
        row("tags only in Finder lose their colours", K::Tags, list({ "Holiday\n6", "Work" }), {}, S::OnlyMac,
            "xdg.tags=Holiday,Work", "", "Tags: 2 only in Finder");
        row("tags only on the desktop", K::Tags, none, { text(" Red ,Blue,,Red") }, S::OnlyDesktop, "",
            "_kMDItemUserTags=[Red|Blue]", "Tags: 2 only on the desktop");
        row("tags keep order and Finder's colours", K::Tags, list({ "b\n2", "c" }), { text("a,b") },
            S::Different, "xdg.tags=b,c", "_kMDItemUserTags=[a|b\n2]",
            "Tags: 1 only in Finder, 1 only on the desktop");
        row("tag with a comma stays in Finder", K::Tags, list({ "Trip, 2024\n3", "x" }), { text("x,y") },
            S::Different, "xdg.tags=x", "_kMDItemUserTags=[x|y|Trip, 2024\n3]",
            "Tags: 1 only on the desktop, 1 with a comma cannot go to the desktop");
        row("tag with a comma is shown in step", K::Tags, list({ "a,b", "c" }), { text("c") }, S::InStep, "",
            "", "Tags: 1 with a comma cannot go to the desktop");
        row("tag with a line break is no colour", K::Tags, none, { text("a\n3") }, S::OnlyDesktop, "", "",
            "Tags: 1 with a line break cannot go to Finder");

        const ValueNode ann = string("Sent by Ann");
        row("comment differs", K::Comment, ann, { text("sent by ann") }, S::Different,
            "xdg.comment=Sent by Ann", "kMDItemFinderComment=<sent by ann>", "Comment differs");
        row("empty comment is none", K::Comment, ann, { text("") }, S::OnlyMac, "xdg.comment=Sent by Ann", "",
            "Comment: only in Finder");
        row("comment as a property list on the desktop", K::Comment, ann, { ann }, S::Unreadable,
            "xdg.comment=Sent by Ann", "",
            "Comment on the desktop cannot be read: it holds a property list, not plain text");
        const char *file = "https://example.com/a.pdf";
        const char *page = "https://example.com/";
        row("where from with one item", K::WhereFrom, list({ file }), {}, S::OnlyMac,
            "xdg.origin.url=https://example.com/a.pdf", "", "Where from: only in Finder");
        row("where from's third item", K::WhereFrom, list({ file, page, "https://mirror.example/" }),
            { text(file), text(page) }, S::InStep, "", "",
            "Where from: in step, only the first two addresses can go to the desktop");
        row("where from's third item stays", K::WhereFrom, list({ file, page, "https://mirror.example/" }),
            { text(file) }, S::Different, "xdg.referrer.url=https://example.com/",
            "kMDItemWhereFroms=[https://example.com/a.pdf||https://mirror.example/]",
            "Where from differs, only the first two addresses can go to the desktop");
        row("where from without a page", K::WhereFrom, list({ "https://b.example/" }),
            { text(file), text(page) }, S::Different, "xdg.origin.url=https://b.example/; -xdg.referrer.url",
            "kMDItemWhereFroms=[https://example.com/a.pdf|https://example.com/]", "Where from differs");
        row("where from with only the page", K::WhereFrom, none, { none, text(page) }, S::OnlyDesktop, "",
            "kMDItemWhereFroms=[|https://example.com/]", "Where from: only on the desktop");

        for (int halves = 2; halves <= 10; ++halves) {
            const QByteArray digits = QByteArray::number(halves), stars = QByteArray::number(halves / 2);
            row("rating " + digits + " to Finder", K::Rating, none, { text(digits) }, S::OnlyDesktop, "",
                "kMDItemStarRating=<" + stars + '>', "Rating: only on the desktop");
            if (halves % 2 == 0)
                row("rating " + stars + " to the desktop", K::Rating, integer(halves / 2), {}, S::OnlyMac,
                    "baloo.rating=" + digits, "", "Rating: only in Finder");
        }
        row("rating 7 is 3 stars", K::Rating, integer(3), { text("7") }, S::InStep, "", "",
            "Rating: in step");
        row("rating 7 is not 4 stars", K::Rating, integer(4), { text("7") }, S::Different, "baloo.rating=8",
            "kMDItemStarRating=<3>", "Rating differs");
        row("rating read as KDE reads it", K::Rating, integer(4), { text(" 8\n") }, S::InStep, "", "",
            "Rating: in step");
        row("rating 0 is none", K::Rating, integer(0), { text("0") }, S::Absent, "", "", "Rating: none");
        row("rating of half a star clears Finder's", K::Rating, integer(2), { text("1") }, S::Different,
            "baloo.rating=4", "-kMDItemStarRating", "Rating differs, half a star cannot go to Finder");
        for (const char *bad : { "11", "-2", "abc", "7.5", "99999999999" }) {
            const QByteArray summary = "Rating on the desktop cannot be read: it holds “" + QByteArray(bad)
                + "”, not a rating from 0 to 10";
            row(QByteArray("rating ") + bad, K::Rating, integer(3), { text(bad) }, S::Unreadable,
                "baloo.rating=6", "", summary);
        }
        row("rating of 6 stars", K::Rating, integer(6), { text("4") }, S::Unreadable, "",
            "kMDItemStarRating=<2>", "Rating in Finder cannot be read: it holds 6, not a rating from 0 to 5");
    }
    void pairs()
    {
        QFETCH(BridgePairKind, kind);
        QFETCH(BridgeValues, values);
        const BridgePair pair = bridgePair(kind, values);
        QTEST(pair.state, "state");
        QTEST(describe(pair.toDesktop), "toDesktop");
        QTEST(describe(pair.toMac), "toMac");
        QTEST(pair.summary, "summary");
    }

    // The forms a Mac value reaches Linux in: Corvane's own is read first, the others when it is alone.
    void macNameForms()
    {
        const QByteArray samba = "user.DosStream.com.apple.metadata\xEF\x80\xA2kMDItemFinderComment:$DATA";
        BridgeValues values { { samba, string("Sent by Ann") }, { "user.xdg.comment", text("Sent by Ann") } };
        QCOMPARE(bridgePair(K::Comment, values).state, S::InStep);
        values.insert("osx.com.apple.metadata:kMDItemFinderComment", text("old"));
        values.insert("user.com.apple.metadata:kMDItemFinderComment", string("new"));
        const BridgePair pair = bridgePair(K::Comment, values);
        QCOMPARE(pair.mac.names, QList<QByteArray> { "user.com.apple.metadata:kMDItemFinderComment" });
        QCOMPARE(pair.state, S::Different);
    }

    // Values as plistlib and setfattr store them, decoded the way the panel and the command line do.
    void fromStoredBytes()
    {
        const auto encoded
            = test::runPythonPerLine(u"[plistlib.dumps(eval(line), fmt=plistlib.FMT_BINARY)]"_s,
                { "['Holiday\\n6', 'Trip, 2024']", "3" });
        QCOMPARE(encoded.size(), 2);
        const auto decoded = [](const char *name, const QByteArray &bytes) {
            return describeAttribute(recogniseAttributeName(name), bytes);
        };
        const QList<BridgePair> pairs = bridgePairs(bridgeValues({
            decoded("user.com.apple.metadata:_kMDItemUserTags", encoded[0][0]),
            decoded("user.com.apple.metadata:kMDItemStarRating", encoded[1][0]),
            decoded("user.xdg.tags", "Holiday, Work"),
            decoded("user.baloo.rating", "7"),
        }));
        QCOMPARE(pairs.size(), 4);
        QCOMPARE(pairs[0].onlyOnDesktop, QStringList { u"Work"_s });
        QCOMPARE(pairs[0].notToDesktop, QStringList { u"Trip, 2024"_s });
        QCOMPARE(pairs[3].state, S::InStep);
        QVERIFY(!pairs[1].needsAttention() && pairs[1].state == S::Absent);
    }

    // A tag edit in Finder's list made to the desktop's own list as well: its other tags and its order
    // kept, a rename in place, a comma kept out; left alone when it holds no text list.
    void desktopTagsFollowAnEdit_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QByteArray>("desktop"); // "-": absent
        QTest::addColumn<QByteArray>("expected"); // "-": removed; "=": left as it is
        const QStringList ab { u"A"_s, u"B"_s };
        QTest::newRow("added after its own") << ab << QStringList { u"A"_s, u"B"_s, u"C"_s } << "Z, B"_ba
                                             << "Z,B,C"_ba;
        QTest::newRow("renamed in place") << ab << QStringList { u"A"_s, u"X"_s } << "B,Z"_ba
                                          << "X,Z"_ba;
        QTest::newRow("removed") << ab << QStringList { u"A"_s } << "A,B"_ba
                                 << "A"_ba;
        QTest::newRow("the last removed") << ab << QStringList() << "B, A"_ba
                                          << "-"_ba;
        QTest::newRow("absent: takes Finder's") << ab << QStringList { u"A"_s, u"B"_s, u"x, y"_s } << "-"_ba
                                                << "A,B"_ba;
        QTest::newRow("a property list is left alone") << ab << QStringList { u"A"_s } << "bplist00"_ba
                                                       << "="_ba;
        QTest::newRow("no change there") << ab << QStringList { u"B"_s, u"A"_s } << "A,B"_ba
                                         << "="_ba;
    }
    void desktopTagsFollowAnEdit()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QByteArray, desktop);
        QFETCH(QByteArray, expected);
        const std::optional<DesktopTagsWrite> write
            = desktopTagsInStep(before, after, desktop == "-" ? std::nullopt : std::optional(desktop));
        QCOMPARE(write ? write->after.value_or("-"_ba) : "="_ba, expected);
    }
};

QTEST_GUILESS_MAIN(TestDesktopBridge)
#include "tst_desktopbridge.moc"
