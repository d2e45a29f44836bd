#include "cli/NameFilter.h"

#include <regex.h>

namespace corvane {

struct NameFilter::Compiled {
    regex_t expression;
    bool compiled = false; // regcomp leaves nothing to free when it fails
    ~Compiled()
    {
        if (compiled)
            ::regfree(&expression);
    }
};

NameFilter::NameFilter() = default;
NameFilter::~NameFilter() = default;
NameFilter::NameFilter(NameFilter &&) noexcept = default;
NameFilter &NameFilter::operator=(NameFilter &&) noexcept = default;

bool NameFilter::setPattern(const QByteArray &pattern, QString *error)
{
    m_compiled.reset();
    if (pattern.isEmpty() || pattern == "-")
        return true;
    auto compiled = std::make_unique<Compiled>();
    const int result = ::regcomp(&compiled->expression, pattern.constData(), REG_EXTENDED | REG_NOSUB);
    if (result != 0) {
        char reason[256] = {};
        ::regerror(result, &compiled->expression, reason, sizeof reason);
        if (error)
            *error = QString::fromLocal8Bit(reason);
        return false;
    }
    compiled->compiled = true;
    m_compiled = std::move(compiled);
    return true;
}

bool NameFilter::matches(const QByteArray &name) const
{
    return !m_compiled || ::regexec(&m_compiled->expression, name.constData(), 0, nullptr, 0) == 0;
}

} // namespace corvane
