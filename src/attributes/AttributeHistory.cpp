#include "attributes/AttributeHistory.h"

#include "attributes/AttributeListing.h"

#include <cerrno>

#include <sys/stat.h>

namespace corvane {

std::optional<FileIdentity> identityOf(const QUrl &file)
{
    const QByteArray path = systemPath(file);
    struct stat entry = {};
    if (path.isEmpty() || path.contains('\0') || ::lstat(path.constData(), &entry) != 0)
        return std::nullopt;
    FileIdentity identity;
    identity.device = quint64(entry.st_dev);
    identity.inode = quint64(entry.st_ino);
    identity.isLink = S_ISLNK(entry.st_mode);
    if (identity.isLink) {
        struct stat target = {};
        if (::stat(path.constData(), &target) != 0)
            return std::nullopt;
        identity.targetDevice = quint64(target.st_dev);
        identity.targetInode = quint64(target.st_ino);
    }
    return identity;
}

qsizetype AttributeChange::cost() const
{
    // Names count too, so that many steps of empty values still add up.
    qsizetype bytes = name.size() * 2 + label.size() * 2 + file.toString().size() * 2
        + (before ? before->size() : 0) + (after ? after->size() : 0);
    for (const AttributeStep &other : alongside)
        bytes += other.name.size() * 2 + (other.before ? other.before->size() : 0)
            + (other.after ? other.after->size() : 0);
    return bytes;
}

void AttributeHistory::record(AttributeChange change)
{
    while (size() > m_applied) {
        m_bytes -= m_steps.back().cost();
        m_steps.pop_back();
    }
    m_bytes += change.cost();
    m_steps.push_back(std::move(change));
    m_applied = size();
    while (!m_steps.empty() && (size() > maxSteps || m_bytes > maxBytes)) {
        m_bytes -= m_steps.front().cost();
        m_steps.pop_front();
        --m_applied;
    }
}

const AttributeChange *AttributeHistory::nextUndo() const
{
    return m_applied > 0 ? &m_steps[size_t(m_applied - 1)] : nullptr;
}

const AttributeChange *AttributeHistory::nextRedo() const
{
    return m_applied < size() ? &m_steps[size_t(m_applied)] : nullptr;
}

void AttributeHistory::didUndo()
{
    if (m_applied > 0)
        --m_applied;
}

void AttributeHistory::didRedo()
{
    if (m_applied < size())
        ++m_applied;
}

namespace {
bool isAbsence(int code)
{
#ifdef ENOATTR
    if (code == ENOATTR)
        return true;
#endif
    return code == ENODATA;
}
} // namespace

std::optional<PosixError> readAttributeState(
    const QUrl &file, const QString &name, std::optional<QByteArray> *state)
{
    PosixError error;
    std::optional<QByteArray> bytes = readExtendedAttribute(file, name, &error);
    if (!bytes && !isAbsence(error.code))
        return error;
    *state = std::move(bytes);
    return std::nullopt;
}

std::optional<PosixError> setAttributeState(
    const QUrl &file, const QString &name, const std::optional<QByteArray> &bytes)
{
    if (bytes)
        return writeExtendedAttribute(file, name, *bytes);
    std::optional<PosixError> error = removeExtendedAttribute(file, name);
    if (error && isAbsence(error->code))
        return std::nullopt;
    return error;
}

} // namespace corvane
