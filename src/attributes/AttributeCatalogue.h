#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

// The metadata attributes the editor offers by name. A catalogue entry is only the suffix ("Keywords");
// the attribute's full name is the prefix followed directly by it.
struct AttributeCatalogue {
    static const QString &prefix(); // "com.apple.metadata:kMDItem"
    static const QStringList &entries(); // the 16 suffixes, in list order
};

// The full attribute name the combo box designates. A negative index means the user typed a name:
// that text is the whole name, exactly as typed. An index past the list names nothing (the empty name).
QString attributeNameFor(qsizetype selectedIndex, qsizetype itemCount, const QString &typedText);

} // namespace corvane
