#pragma once

// `corvane --list [--json] FILE...`: every attribute of each file, decoded, on standard output, with no
// display and no window. The command line's tools (src/cli) walk the files and hand them over one at a
// time; the listing is written as it is read, one attribute at a time, so that it holds one value
// however many a file carries.

#include "attributes/AttributeListing.h"
#include "attributes/AttributeNames.h"

#include <QByteArray>
#include <QHash>
#include <QIODevice>

#include <functional>

namespace corvane {

class ListingWriter {
public:
    // Which names are listed; every name when empty.
    using NameFilter = std::function<bool(const QByteArray &name)>;

    ListingWriter(QIODevice &out, QIODevice &err, bool json);

    void begin(); // the JSON document's opening
    // Lists one file: false when its names or a value could not be read (a message for each on `err`).
    bool writeFile(const QByteArray &path, LinkMode links = LinkMode::Follow, const NameFilter &takes = {});
    void end(); // the JSON document's closing

private:
    struct KnownName {
        AttributeName name;
        QByteArray textLineStart;
    };
    const KnownName &knownName(const QByteArray &systemName);

    QHash<QByteArray, KnownName> m_names;
    QIODevice &m_out;
    QIODevice &m_err;
    bool m_json = false;
    bool m_firstFile = true;
};

} // namespace corvane
