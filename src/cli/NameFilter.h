#pragma once

// Which attribute names a command takes, as getfattr's -m decides it: an extended regular expression
// (POSIX, the C library's own) searched for anywhere in the name's bytes, "-" for every name.

#include <QByteArray>
#include <QString>

#include <memory>

namespace corvane {

class NameFilter {
public:
    NameFilter(); // every name
    ~NameFilter();
    NameFilter(NameFilter &&) noexcept;
    NameFilter &operator=(NameFilter &&) noexcept;

    // False, with the C library's reason in *error, when the pattern is no regular expression.
    bool setPattern(const QByteArray &pattern, QString *error);
    bool matches(const QByteArray &name) const;

private:
    struct Compiled;
    std::unique_ptr<Compiled> m_compiled;
};

} // namespace corvane
