// Corvane's property-list code beside libplist, on the same bytes in the same run.
//
// Each case is registered twice, "<operation>/<input>/corvane" and ".../libplist", and each side does
// the whole job a caller needs, ending with the string in its own native form:
//   decode-binary, decode-xml  ours: plist::parse, then Value::toString (a QString)
//                              libplist: plist_from_bin / plist_from_xml, then plist_get_string_val
//                              (a UTF-8 char *), then freeing both
//   encode-binary              ours: plist::writeBinary(QString)
//                              libplist: plist_new_string(UTF-8), plist_to_bin, then freeing both
//   attribute-read             ours: decodeAttributeString (the editor's read path)
//                              libplist: plist_from_bin + plist_get_string_val, as above
//   attribute-write            ours: encodeAttributeString (escape, XML document, XML read, binary write)
//                              libplist: the same steps: escape, the same XML document, plist_from_xml,
//                              plist_to_bin
//   value-write (keywords, text)  ours: encodeEditableValue, what the editor's Apply runs: the edited
//                              value (1,000 keywords, or a 60 KiB text) to bytes in its form (binary
//                              or XML property list)
//                              libplist: the same tree built with plist_new_array/plist_new_string,
//                              plist_to_bin or plist_to_xml, then freeing both
// The inputs are a typical keyword value (about 40 bytes of text) and a value filling the 64 KiB a Linux
// attribute may hold, in ASCII and non-ASCII text. Every side's result is checked once before timing.

#include <benchmark/benchmark.h>
#include <plist/plist.h>

#include <QByteArray>
#include <QString>

#include "attributes/AttributeCodec.h"
#include "attributes/EditableValue.h"
#include "plist/PlistReader.h"
#include "plist/PlistWriter.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace Qt::StringLiterals;
namespace cp = corvane::plist;

struct Input {
    std::string name;
    QString text;
    std::string utf8;
    QByteArray binary; // the same string as libplist writes it in either form
    QByteArray xml;
};

// Builds the tree libplist writes for a list of texts (or one text), then writes it.
QByteArray libplistWriteTexts(const std::vector<std::string> &items, bool list, bool xml)
{
    plist_t root = list ? plist_new_array() : plist_new_string(items.front().c_str());
    if (list) {
        for (const std::string &item : items)
            plist_array_append_item(root, plist_new_string(item.c_str()));
    }
    char *out = nullptr;
    uint32_t length = 0;
    xml ? plist_to_xml(root, &out, &length) : plist_to_bin(root, &out, &length);
    QByteArray bytes(out, length);
    xml ? plist_to_xml_free(out) : plist_to_bin_free(out);
    plist_free(root);
    return bytes;
}

QByteArray libplistBytes(const std::string &utf8, bool xml)
{
    return libplistWriteTexts({ utf8 }, false, xml);
}

Input makeInput(std::string name, const QString &unit, qsizetype binaryBudget)
{
    Input input { std::move(name), unit, {}, {}, {} };
    // Fill up to the budget: one byte per ASCII character, two per UTF-16 unit otherwise.
    const bool ascii = unit.toUtf8().size() == unit.size();
    const qsizetype perChar = ascii ? 1 : 2;
    const qsizetype overhead = 60; // header, length marker, offset table, trailer
    while ((input.text.size() + unit.size()) * perChar + overhead <= binaryBudget)
        input.text += unit;
    input.utf8 = input.text.toStdString();
    input.binary = libplistBytes(input.utf8, false);
    input.xml = libplistBytes(input.utf8, true);
    return input;
}

std::string libplistDecode(const QByteArray &bytes, bool xml)
{
    plist_t root = nullptr;
    xml ? plist_from_xml(bytes.constData(), uint32_t(bytes.size()), &root)
        : plist_from_bin(bytes.constData(), uint32_t(bytes.size()), &root);
    char *value = nullptr;
    if (root)
        plist_get_string_val(root, &value);
    std::string result = value ? value : "";
    std::free(value);
    plist_free(root);
    return result;
}

QByteArray libplistEncode(const std::string &utf8)
{
    return libplistBytes(utf8, false);
}

// The libplist counterpart of the editor's write path: the same escaping and document, then XML in,
// binary out.
QByteArray libplistAttributeWrite(const std::string &utf8)
{
    std::string escaped;
    escaped.reserve(utf8.size() + utf8.size() / 8);
    for (char c : utf8) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    const std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                 "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                 "<plist version=\"1.0\">\n<string>"
        + escaped + "</string>\n</plist>\n";
    plist_t root = nullptr;
    plist_from_xml(document.data(), uint32_t(document.size()), &root);
    char *out = nullptr;
    uint32_t length = 0;
    if (root)
        plist_to_bin(root, &out, &length);
    QByteArray bytes(out, length);
    plist_to_bin_free(out);
    plist_free(root);
    return bytes;
}

// Registers one timed side after checking once that it produces what it should.
template <typename Run, typename Check>
void add(const std::string &name, qsizetype bytes, Run run, Check check)
{
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &state) {
        if (!check(run())) {
            state.SkipWithError("wrong result");
            return;
        }
        for (auto _ : state)
            benchmark::DoNotOptimize(run());
        state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
    });
}

// The editor's Apply on 1,000 keywords and on a 60 KiB text, in both property-list forms.
void registerValueWrites()
{
    struct Case {
        std::string name;
        corvane::EditableValue value;
        std::vector<std::string> utf8;
    };
    static std::vector<Case> cases;
    for (const bool xml : { false, true }) {
        const auto form = xml ? corvane::ValueForm::XmlPropertyList : corvane::ValueForm::BinaryPropertyList;
        const std::string suffix = xml ? "-xml" : "-binary";
        Case keywords { "1000-keywords" + suffix,
            corvane::newEditableValue("user.k", corvane::EditKind::TextList), {} };
        for (int i = 0; i < 1000; ++i)
            keywords.value.texts.append(u"keyword %1, café"_s.arg(i));
        Case text { "60KiB-text" + suffix, corvane::newEditableValue("user.k", corvane::EditKind::Text), {} };
        while (text.value.text.size() < 60 * 1024)
            text.value.text += u"holiday, beach & family; "_s;
        for (Case *c : { &keywords, &text }) {
            c->value.form = form;
            for (const QString &item :
                c->value.kind == corvane::EditKind::Text ? QStringList { c->value.text } : c->value.texts)
                c->utf8.push_back(item.toStdString());
            cases.push_back(*c);
        }
    }
    for (const Case &c : cases) {
        const bool xml = c.value.form == corvane::ValueForm::XmlPropertyList;
        const bool list = c.value.kind == corvane::EditKind::TextList;
        // Both sides' bytes must read back as the value.
        const auto readsBack = [&c](const QByteArray &bytes) {
            return corvane::decodeEditableValue(corvane::recogniseAttributeName("user.k"), bytes) == c.value;
        };
        add(
            "value-write/" + c.name + "/corvane", 0,
            [&c] { return corvane::encodeEditableValue(c.value).value_or(QByteArray()); }, readsBack);
        add(
            "value-write/" + c.name + "/libplist", 0,
            [&c, list, xml] { return libplistWriteTexts(c.utf8, list, xml); }, readsBack);
    }
}

void registerAll()
{
    registerValueWrites();
    static const std::vector<Input> inputs = {
        makeInput("typical-ascii", u"holiday, beach, family"_s, 0),
        makeInput("typical-nonascii", u"Urlaub, Strand, café, 東京"_s, 0),
        makeInput("64KiB-ascii", u"holiday, beach, family; "_s, 65536),
        makeInput("64KiB-nonascii", u"Urlaub, Strand, café, 東京; "_s, 65536),
    };
    for (const Input &in : inputs) {
        const auto sameText = [&in](const QString &s) { return s == in.text; };
        const auto sameUtf8 = [&in](const std::string &s) { return s == in.utf8; };
        for (const bool xml : { false, true }) {
            const QByteArray &bytes = xml ? in.xml : in.binary;
            const std::string op = xml ? "decode-xml/" : "decode-binary/";
            add(
                op + in.name + "/corvane", bytes.size(),
                [&bytes] { return cp::parse(bytes).value_or(cp::Value()).toString(); }, sameText);
            add(
                op + in.name + "/libplist", bytes.size(),
                [&bytes, xml] { return libplistDecode(bytes, xml); }, sameUtf8);
        }
        const auto readsBack = [&in](const QByteArray &b) { return libplistDecode(b, false) == in.utf8; };
        add(
            "encode-binary/" + in.name + "/corvane", in.binary.size(),
            [&in] { return cp::writeBinary(in.text); }, readsBack);
        add(
            "encode-binary/" + in.name + "/libplist", in.binary.size(),
            [&in] { return libplistEncode(in.utf8); }, readsBack);
        add(
            "attribute-read/" + in.name + "/corvane", in.binary.size(),
            [&in] { return corvane::decodeAttributeString(in.binary); }, sameText);
        add(
            "attribute-read/" + in.name + "/libplist", in.binary.size(),
            [&in] { return libplistDecode(in.binary, false); }, sameUtf8);
        add(
            "attribute-write/" + in.name + "/corvane", in.binary.size(),
            [&in] { return corvane::encodeAttributeString(in.text).value_or(QByteArray()); }, readsBack);
        add(
            "attribute-write/" + in.name + "/libplist", in.binary.size(),
            [&in] { return libplistAttributeWrite(in.utf8); }, readsBack);
    }
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
