// The worst shapes hostile input can take, each at 1 MiB: the update feed as processUpdateFeed sees it
// and property lists as the reader sees them. Besides time, each case reports `peak_MiB`, the most
// resident memory the process held above what it held before the case began (the kernel's high-water
// mark, reset per case), and `input_MiB`.
//
//   feed/shared-nonascii-name   one dictionary, AppName a long non-ASCII string, referenced by every entry
//   feed/shared-long-url        one matching dictionary with a very long URL on the site, referenced by
//                               every entry
//   feed/many-offers            one matching dictionary with a short URL, referenced by every entry
//   xml/many-attributes         the plist element carrying as many attributes as fit
//   xml/empty-arrays            an array of as many empty arrays as fit
//   binary/aliases-of-one-string  every offset of the object table names the same empty string
//   binary/distinct-integers    as many objects of their own as fit, each a small integer
//
// And the attributes panel's filter, one key typed, over a file of 1,000 attributes of one shape, by
// Corvane's filter and by a QSortFilterProxyModel searching every child row recursively (the way the
// panel filtered before):
//   filter/list-of-shared-lists/...  413 bytes: 120 references to one list of 240 references to one null
//   filter/escaped-keys/...          2,030 bytes: 970 references to one dictionary keyed by 1,000 x \x01
//   filter/shared-within-budget/...  20 references to one list of 40 true, which decodes (821 rows)

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>

#include "attributes/AttributeDescription.h"
#include "editor/AttributesFilterModel.h"
#include "editor/AttributesModel.h"
#include "feed/UpdateFeed.h"
#include "plist/PlistReader.h"

#include <QSortFilterProxyModel>

#include <malloc.h>

#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr qsizetype mebibyte = 1 << 20;
const QString siteBase = QStringLiteral("https://downloads.corvane.test/get/");

void appendBigEndian(QByteArray *out, quint64 value, int width)
{
    for (int i = width - 1; i >= 0; --i)
        out->append(char((value >> (8 * i)) & 0xFF));
}

// A binary list from its encoded objects; object 0 is the top.
QByteArray binaryPlist(const std::vector<QByteArray> &objects, int refSize)
{
    QByteArray out("bplist00");
    std::vector<quint64> offsets;
    for (const QByteArray &object : objects) {
        offsets.push_back(quint64(out.size()));
        out += object;
    }
    const quint64 table = quint64(out.size());
    int offsetSize = 1;
    while (offsetSize < 8 && (table >> (8 * offsetSize)) != 0)
        ++offsetSize;
    for (quint64 offset : offsets)
        appendBigEndian(&out, offset, offsetSize);
    out += QByteArray(6, '\0');
    out += char(offsetSize);
    out += char(refSize);
    appendBigEndian(&out, offsets.size(), 8);
    appendBigEndian(&out, 0, 8);
    appendBigEndian(&out, table, 8);
    return out;
}

QByteArray marker(int kind, qsizetype length)
{
    QByteArray out;
    if (length < 15) {
        out += char((kind << 4) | int(length));
        return out;
    }
    out += char((kind << 4) | 0x0F);
    out += char(0x12); // a four-byte integer holds the length
    appendBigEndian(&out, quint64(length), 4);
    return out;
}

QByteArray asciiObject(const QByteArray &text)
{
    return marker(0x5, text.size()) + text;
}

QByteArray utf16Object(const QString &text)
{
    QByteArray out = marker(0x6, text.size());
    for (QChar c : text)
        appendBigEndian(&out, c.unicode(), 2);
    return out;
}

// An array of `count` one-byte references to object 1.
QByteArray arrayOfOne(qsizetype count)
{
    return marker(0xA, count) + QByteArray(count, '\x01');
}

// Objects 1.. a dictionary of the given string pairs, its keys and values following it.
std::vector<QByteArray> dictionaryObjects(const std::vector<std::pair<QByteArray, QByteArray>> &entries)
{
    const qsizetype n = qsizetype(entries.size());
    QByteArray dict = marker(0xD, n);
    for (qsizetype i = 0; i < n; ++i)
        dict += char(2 + i);
    for (qsizetype i = 0; i < n; ++i)
        dict += char(2 + n + i);
    std::vector<QByteArray> objects { dict };
    for (const auto &entry : entries)
        objects.push_back(asciiObject(entry.first));
    for (const auto &entry : entries)
        objects.push_back(entry.second);
    return objects;
}

// A feed whose every entry is one shared dictionary, referenced `references` times and padded with
// unreferenced bytes up to 1 MiB.
QByteArray sharedEntryFeed(
    const std::vector<std::pair<QByteArray, QByteArray>> &entries, qsizetype references)
{
    std::vector<QByteArray> objects { arrayOfOne(references) };
    const std::vector<QByteArray> dictionary = dictionaryObjects(entries);
    objects.insert(objects.end(), dictionary.begin(), dictionary.end());
    QByteArray feed = binaryPlist(objects, 1);
    const qsizetype padding = mebibyte - feed.size();
    if (padding <= 0)
        return feed;
    const qsizetype tableAt = feed.size() - 32 - qsizetype(objects.size()) * 3;
    feed.insert(tableAt, QByteArray(padding, '\0'));
    // The offset table moved; its own offset in the trailer follows it. Offsets are three bytes here.
    feed.chop(8);
    appendBigEndian(&feed, quint64(tableAt + padding), 8);
    return feed;
}

// How many references to a dictionary of `pairs` entries the node budget of 1 MiB admits.
qsizetype referencesWithinBudget(qsizetype pairs)
{
    return corvane::plist::maximumNodes(mebibyte) / (1 + 2 * pairs) - 16;
}

QByteArray feedSharedNonAsciiName()
{
    // Half the budget for the name, the rest for references to it.
    const QString name = QStringLiteral("Corvan\u00e9").repeated(mebibyte / 4 / 7);
    return sharedEntryFeed({ { "AppName", utf16Object(name) } }, mebibyte / 2 - 64);
}

QByteArray feedSharedLongUrl()
{
    const qsizetype references = mebibyte / 2;
    const QByteArray url = siteBase.toUtf8() + QByteArray(mebibyte / 2 - 256, 'a');
    return sharedEntryFeed({ { "AppName", asciiObject("Corvane") }, { "Version", asciiObject("2.0") },
                               { "URL", asciiObject(url) } },
        references);
}

QByteArray feedManyOffers()
{
    const QByteArray url = siteBase.toUtf8() + "corvane-2.0.tar.gz";
    return sharedEntryFeed({ { "AppName", asciiObject("Corvane") }, { "Version", asciiObject("2.0") },
                               { "URL", asciiObject(url) } },
        referencesWithinBudget(3));
}

QByteArray xmlManyAttributes()
{
    QByteArray doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist";
    const QByteArray tail = "><true/></plist>\n";
    for (int i = 0; doc.size() + tail.size() + 16 < mebibyte; ++i)
        doc += " a" + QByteArray::number(i) + "=\"\"";
    return doc + tail;
}

QByteArray xmlEmptyArrays()
{
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist><array>";
    const QByteArray tail = "</array></plist>\n";
    return head + QByteArray("<array/>").repeated((mebibyte - head.size() - tail.size()) / 8) + tail;
}

QByteArray binaryAliasesOfOneString()
{
    // Object 0: an array naming objects 1..n, each of which lies at the offset of one empty string.
    // Per alias: three bytes of reference and one byte of offset table.
    const qsizetype n = (mebibyte - 64) / 4;
    QByteArray array = marker(0xA, n);
    for (qsizetype i = 1; i <= n; ++i)
        appendBigEndian(&array, quint64(i), 3);
    QByteArray out("bplist00");
    const quint64 emptyString = quint64(out.size());
    out += char(0x50);
    const quint64 arrayAt = quint64(out.size());
    out += array;
    const quint64 table = quint64(out.size());
    // One-byte offsets: both objects lie at the start. The array's own offset comes first.
    out += char(arrayAt);
    out += QByteArray(n, char(emptyString));
    out += QByteArray(6, '\0');
    out += char(1);
    out += char(3);
    appendBigEndian(&out, quint64(n + 1), 8);
    appendBigEndian(&out, 0, 8);
    appendBigEndian(&out, table, 8);
    return out;
}

QByteArray binaryDistinctIntegers()
{
    // Object 0: an array naming objects 1..n, each a one-byte integer of its own: the most decoded
    // values per byte that a binary list can carry without sharing. Per object: two bytes of object,
    // three of offset and three of reference.
    const qsizetype n = (mebibyte - 64) / 8;
    QByteArray array = marker(0xA, n);
    for (qsizetype i = 1; i <= n; ++i)
        appendBigEndian(&array, quint64(i), 3);
    QByteArray out("bplist00");
    std::vector<quint64> offsets { quint64(out.size()) };
    out += array;
    for (qsizetype i = 1; i <= n; ++i) {
        offsets.push_back(quint64(out.size()));
        out += char(0x10);
        out += char(i & 0xFF);
    }
    const quint64 table = quint64(out.size());
    for (quint64 offset : offsets)
        appendBigEndian(&out, offset, 3);
    out += QByteArray(6, '\0');
    out += char(3);
    out += char(3);
    appendBigEndian(&out, quint64(n + 1), 8);
    appendBigEndian(&out, 0, 8);
    appendBigEndian(&out, table, 8);
    return out;
}

qint64 statusKiB(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::stoll(line.substr(prefix.size()));
    }
    return 0;
}

// Writing 5 to clear_refs resets the high-water mark of resident memory to the current size.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// `run` answers what the case produced: the feed's offers (-1 for an error alert), or 1 when the
// reader accepted the input and 0 when it refused it. It is reported as the counter `result`.
void add(const char *name, const QByteArray &input, std::function<double()> run)
{
    benchmark::RegisterBenchmark(name, [input, run](benchmark::State &state) {
        // Free memory kept by malloc would be reused unseen; handing it back first makes every page the
        // case touches count.
        malloc_trim(0);
        const qint64 before = statusKiB("VmRSS");
        resetPeak();
        double result = 0;
        try {
            for (auto _ : state)
                benchmark::DoNotOptimize(result = run());
        } catch (const std::bad_alloc &) {
            state.SkipWithError("std::bad_alloc");
            return;
        }
        state.counters["peak_MiB"] = double(statusKiB("VmHWM") - before) / 1024.0;
        state.counters["result"] = result;
        state.counters["input_MiB"] = double(input.size()) / double(mebibyte);
        state.SetBytesProcessed(int64_t(state.iterations()) * input.size());
    })->Unit(benchmark::kMillisecond);
}

void addFeed(const char *name, const QByteArray &feed)
{
    add(name, feed, [feed] {
        const auto outcome = corvane::updates::processUpdateFeed(feed, QStringLiteral("1.0"), siteBase);
        return outcome.errorText ? -1.0 : double(outcome.offers.size());
    });
}

void addParse(const char *name, const QByteArray &bytes)
{
    add(name, bytes, [bytes] { return corvane::plist::parse(bytes) ? 1.0 : 0.0; });
}

// A list of `count` one-byte references to object `object`.
QByteArray references(qsizetype count, char object)
{
    return marker(0xA, count) + QByteArray(count, object);
}

// The description of a file holding 1,000 attributes of the value, made as a listing makes it.
corvane::FileDescription thousandOf(const QByteArray &value)
{
    corvane::FileDescription file;
    corvane::ExpansionBudget budget;
    for (int i = 0; i < 1000; ++i) {
        const QByteArray name = "user.bomb" + QByteArray::number(i).rightJustified(4, '0');
        file.attributes.append(
            corvane::describeAttribute(corvane::recogniseAttributeName(name), value, &budget));
    }
    return file;
}

// One key typed into the filter: the text changes, and the rows left are counted. Nothing matches, so
// every attribute is searched as deep as the filter searches.
void addFilter(const char *shape, const QByteArray &value)
{
    const auto model = std::make_shared<corvane::AttributesModel>();
    model->setDescription(thousandOf(value));
    const auto corvaneFilter = std::make_shared<corvane::AttributesFilterModel>();
    corvaneFilter->setSourceModel(model.get());
    const auto recursive = std::make_shared<QSortFilterProxyModel>();
    recursive->setSourceModel(model.get());
    recursive->setFilterRole(corvane::AttributesModel::FilterRole);
    recursive->setFilterCaseSensitivity(Qt::CaseInsensitive);
    recursive->setRecursiveFilteringEnabled(true);
    recursive->setAutoAcceptChildRows(true);
    const std::string base = std::string("filter/") + shape;
    // Two texts in turn, so that every key typed changes the filter.
    const QString typed[] = { QStringLiteral("no such value"), QStringLiteral("no such valuf") };
    benchmark::RegisterBenchmark((base + "/corvane").c_str(),
        [model, corvaneFilter, typed](benchmark::State &state) {
            int key = 0;
            for (auto _ : state) {
                corvaneFilter->setFilterText(typed[++key % 2]);
                benchmark::DoNotOptimize(corvaneFilter->rowCount());
            }
        })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((base + "/recursive").c_str(),
        [model, recursive, typed](benchmark::State &state) {
            int key = 0;
            for (auto _ : state) {
                recursive->setFilterFixedString(typed[++key % 2]);
                benchmark::DoNotOptimize(recursive->rowCount());
            }
        })
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    addFeed("feed/shared-nonascii-name", feedSharedNonAsciiName());
    addFeed("feed/shared-long-url", feedSharedLongUrl());
    addFeed("feed/many-offers", feedManyOffers());
    addParse("xml/many-attributes", xmlManyAttributes());
    addParse("xml/empty-arrays", xmlEmptyArrays());
    addParse("binary/aliases-of-one-string", binaryAliasesOfOneString());
    addParse("binary/distinct-integers", binaryDistinctIntegers());
    addFilter("list-of-shared-lists",
        binaryPlist({ references(120, 1), references(240, 2), QByteArray(1, '\0') }, 1));
    addFilter("escaped-keys",
        binaryPlist({ references(970, 1), QByteArray("\xd1\x02\x03"), asciiObject(QByteArray(1000, '\x01')),
                        QByteArray(1, '\0') },
            1));
    addFilter("shared-within-budget",
        binaryPlist({ references(20, 1), references(40, 2), QByteArray(1, '\x09') }, 1));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
