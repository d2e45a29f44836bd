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
    return name.size() * 2 + label.size() * 2 + file.toString().size() * 2 + (before ? before->size() : 0)
        + (after ? after->size() : 0);
}

void AttributeHistory::record(AttributeChange change)
{
    while (size() > myApplied) {
        myBytes -= mySteps.back().cost();
        mySteps.pop_back();
    }
    myBytes += change.cost();
    mySteps.push_back(std::move(change));
    myApplied = size();
    while (!mySteps.empty() && (size() > maxSteps || myBytes > maxBytes)) {
        myBytes -= mySteps.front().cost();
        mySteps.pop_front();
        --myApplied;
    }
}

const AttributeChange *AttributeHistory::nextUndo() const
{
    return myApplied > 0 ? &mySteps[size_t(myApplied - 1)] : nullptr;
}

const AttributeChange *AttributeHistory::nextRedo() const
{
    return myApplied < size() ? &mySteps[size_t(myApplied)] : nullptr;
}

void AttributeHistory::didUndo()
{
    if (myApplied > 0)
        --myApplied;
}

void AttributeHistory::didRedo()
{
    if (myApplied < size())
        ++myApplied;
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
