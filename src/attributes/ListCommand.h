#pragma once

// `corvane --list [--json] FILE...` and `corvane --dump FILE...`: every attribute of each file, decoded,
// on standard output, with no display and no window. The command line's tools (src/cli) walk the files;
// a FileLister reads and writes out one file at a time, holding one value at a time however many a file
// carries, and the ListingWriter puts the files' texts together in the order they were walked.
//
// A tree's files carry the same few names and often the same values (tags, Finder info): a lister
// recognises each name once, and writes a small value it meets again as it did before, without
// decoding it again. One lister serves one thread.

#include "attributes/AttributeListing.h"
#include "attributes/AttributeNames.h"
#include "attributes/ExpansionBudget.h"

#include <QByteArray>
#include <QHash>
#include <QIODevice>

#include <functional>

namespace corvane {

enum class ListingFormat {
    Text, // getfattr's layout: "# file: path", then a line per attribute, then a blank line
    Json, // {"files": [ a file's object, its attributes one per line ]}
    // A backup: {"corvaneDump": 1, "base": the working directory, "files": [ a file per line ]}, each
    // attribute with its exact bytes in base64 beside its decoded value.
    Dump,
};

// One file's part of the listing, and what went wrong reading it.
struct FileListing {
    QByteArray text; // in the listing's format, without what separates it from the file before
    QByteArray errors; // a "corvane: ..." line for each failure
    bool complete = true; // the names and every value were read
};

class FileLister {
public:
    // Which names are listed; every name when empty.
    using NameFilter = std::function<bool(const QByteArray &name)>;

    explicit FileLister(ListingFormat format);

    // `shownPath`, when given, is the path the listing names (a dump's relative path).
    FileListing list(const QByteArray &path, LinkMode links = LinkMode::Follow, const NameFilter &takes = {},
        const QByteArray &shownPath = QByteArray());

private:
    struct KnownName {
        AttributeName name;
        QByteArray textLineStart;
        QByteArray jsonStart;
    };
    struct Output {
        QByteArray name;
        QByteArray value;
        QByteArray text;
    };
    const KnownName &knownName(const QByteArray &systemName);
    QByteArray attributeText(const KnownName &known, const QByteArray &value, ExpansionBudget &budget);

    ListingFormat m_format;
    QHash<QByteArray, KnownName> m_names;
    // Values seen once are only counted, by their hash; a value seen again is remembered written out.
    QHash<size_t, bool> m_seen;
    QHash<size_t, Output> m_outputs;
    qsizetype m_outputBytes = 0;
};

class ListingWriter {
public:
    ListingWriter(QIODevice &out, QIODevice &err, ListingFormat format);

    // The document's opening; a dump names `base`, the directory its relative paths start from.
    void begin(const QByteArray &base = QByteArray());
    void write(const FileListing &file);
    void end(); // the document's closing

private:
    QIODevice &m_out;
    QIODevice &m_err;
    ListingFormat m_format;
    bool m_firstFile = true;
};

} // namespace corvane
