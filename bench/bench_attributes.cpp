// Listing and describing every attribute of a file that carries a thousand, beside getfattr -d.
//
//   list-and-describe/1000/corvane     describeFileAttributes: listxattr twice, getxattr twice per
//                                      attribute, names recognised, values decoded into trees
//   list-and-describe/1000/json        runListCommand with --list --json: the same, written out as JSON
//   list-and-describe/1000/syscalls    the floor: the same system calls into plain buffers, no decoding
//   list-and-describe/1000/getfattr    `getfattr -d -m - FILE > /dev/null` as a process, its start included
//   panel-fill/1000/corvane            what the attributes panel does before it can paint: the description,
//                                      the model filled, and the sorted proxy its list shows mapped
//   panel-fill/1000/model              the model and the sorted proxy alone, from a description made once
//
// Wall time throughout, since getfattr's work happens in another process. The file is on a tmpfs
// (/dev/shm), as ext4 holds only about 4 KiB of attributes per file. Its values are the kinds a file from
// a Mac carries: lists of addresses, dates in lists, single strings, and the freedesktop comment's text.

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QByteArray>
#include <QSortFilterProxyModel>
#include <QString>

#include "attributes/AttributeDescription.h"
#include "attributes/ListCommand.h"
#include "editor/AttributesModel.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

extern char **environ;

namespace {

const char *const path = "/dev/shm/corvane-bench-1000-attributes";

bool makeFile()
{
    const std::string command
        = std::string(
              "python3 -c '\n"
              "import os, sys, plistlib, datetime\n"
              "p = sys.argv[1]\n"
              "open(p, \"w\").close()\n"
              "for i in range(1000):\n"
              "    k = i % 4\n"
              "    if k == 0: v = plistlib.dumps([f\"https://example.com/{i}/file.zip\", "
              "\"https://example.com/\"], fmt=plistlib.FMT_BINARY)\n"
              "    elif k == 1: v = plistlib.dumps([datetime.datetime(2026, 1, 1) + "
              "datetime.timedelta(seconds=i)], fmt=plistlib.FMT_BINARY)\n"
              "    elif k == 2: v = plistlib.dumps(f\"Keywords of attribute {i}\", fmt=plistlib.FMT_BINARY)\n"
              "    else: v = f\"A comment from a file manager, number {i}\".encode()\n"
              "    os.setxattr(p, f\"user.com.apple.metadata:kMDItemBench{i:04}\", v)\n"
              "' ")
        + path;
    return std::system(command.c_str()) == 0;
}

void describe(benchmark::State &state)
{
    for (auto _ : state) {
        const corvane::FileDescription file = corvane::describeFileAttributes(path);
        if (file.attributes.size() != 1000)
            state.SkipWithError("not 1000 attributes");
        benchmark::DoNotOptimize(file);
    }
}

void json(benchmark::State &state)
{
    for (auto _ : state) {
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        if (corvane::runListCommand({ "--list", "--json", path }, out, err) != 0)
            state.SkipWithError("the listing failed");
        benchmark::DoNotOptimize(out.data().data());
    }
}

void syscalls(benchmark::State &state)
{
    for (auto _ : state) {
        const ssize_t size = ::listxattr(path, nullptr, 0);
        QByteArray names(size, '\0');
        ::listxattr(path, names.data(), size_t(size));
        for (qsizetype start = 0; start < names.size(); start = names.indexOf('\0', start) + 1) {
            const char *name = names.constData() + start;
            const ssize_t valueSize = ::getxattr(path, name, nullptr, 0);
            QByteArray value(valueSize, '\0');
            ::getxattr(path, name, value.data(), size_t(valueSize));
            benchmark::DoNotOptimize(value.data());
        }
    }
}

// The panel's list shows the proxy sorted by label; asking for its first row makes it sort.
void fillModel(corvane::AttributesModel &model, QSortFilterProxyModel &proxy, corvane::FileDescription file,
    benchmark::State &state)
{
    model.setDescription(std::move(file));
    if (proxy.rowCount() != 1000)
        state.SkipWithError("not 1000 rows");
    benchmark::DoNotOptimize(proxy.index(0, 0).data());
}

void setUpProxy(corvane::AttributesModel &model, QSortFilterProxyModel &proxy)
{
    proxy.setSourceModel(&model);
    proxy.setSortRole(corvane::AttributesModel::SortRole);
    proxy.setFilterRole(corvane::AttributesModel::FilterRole);
    proxy.setRecursiveFilteringEnabled(true);
    proxy.sort(0);
}

void panelFill(benchmark::State &state)
{
    corvane::AttributesModel model;
    QSortFilterProxyModel proxy;
    setUpProxy(model, proxy);
    for (auto _ : state)
        fillModel(model, proxy, corvane::describeFileAttributes(path), state);
}

void modelOnly(benchmark::State &state)
{
    corvane::AttributesModel model;
    QSortFilterProxyModel proxy;
    setUpProxy(model, proxy);
    const corvane::FileDescription file = corvane::describeFileAttributes(path);
    for (auto _ : state)
        fillModel(model, proxy, file, state);
}

void getfattr(benchmark::State &state)
{
    const char *arguments[] = { "getfattr", "-d", "-m", "-", "--absolute-names", path, nullptr };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        if (posix_spawnp(&pid, "getfattr", &actions, nullptr, const_cast<char **>(arguments), environ) != 0
            || waitpid(pid, &status, 0) != pid || status != 0)
            state.SkipWithError("getfattr failed");
    }
    posix_spawn_file_actions_destroy(&actions);
}

} // namespace

int main(int argc, char **argv)
{
    if (!makeFile()) {
        std::fprintf(stderr, "could not write 1000 attributes on %s (a tmpfs with user attributes)\n", path);
        return 1;
    }
    benchmark::RegisterBenchmark("list-and-describe/1000/corvane", describe)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("list-and-describe/1000/json", json)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("list-and-describe/1000/syscalls", syscalls)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("list-and-describe/1000/getfattr", getfattr)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("panel-fill/1000/corvane", panelFill)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("panel-fill/1000/model", modelOnly)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ::unlink(path);
    return 0;
}
