#pragma once

// What the XML reader checks before QXmlStreamReader sees a document (XmlVetting.cpp says why each).

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace corvane::plist::detail {

// A document that passed: UTF-8 stays in the caller's bytes (Qt decodes those by the declaration,
// which then says UTF-8 or nothing); any other encoding is decoded here, and Qt ignores the declaration
// of text it is handed.
struct VettedXml {
    QByteArrayView utf8; // without a byte order mark, when isUtf8
    QString text; // otherwise
    bool isUtf8 = true;
};

std::optional<VettedXml> vetXml(QByteArrayView bytes, QString *error);

} // namespace corvane::plist::detail
