// Filling the attributes panel with a file that carries a thousand attributes, beside getfattr -d.
//
//   panel-fill/1000/corvane    what the panel does before it can paint: describeFileAttributes (list,
//                              read, decode), the model filled, and the sorted proxy the list shows
//                              mapped (the first row asked for)
//   panel-fill/1000/model      the model and the sorted proxy alone, from a description made once
//   panel-fill/1000/getfattr   `getfattr -d -m - FILE > /dev/null` as a process, its start included
//
// Wall time throughout. The file lives on a tmpfs mounted for the run (ext4 holds only about 4 KiB of
// attributes per file); mounting needs root, and without it the run is skipped with the reason.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QSortFilterProxyModel>
#include <QString>

#include "attributes/AttributeDescription.h"
#include "editor/AttributesModel.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

std::string directory;
std::string path;

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
        fillModel(model, proxy, corvane::describeFileAttributes(QByteArray(path.c_str())), state);
}

void modelOnly(benchmark::State &state)
{
    corvane::AttributesModel model;
    QSortFilterProxyModel proxy;
    setUpProxy(model, proxy);
    const corvane::FileDescription file = corvane::describeFileAttributes(QByteArray(path.c_str()));
    for (auto _ : state)
        fillModel(model, proxy, file, state);
}

void getfattr(benchmark::State &state)
{
    const char *arguments[] = { "getfattr", "-d", "-m", "-", "--absolute-names", path.c_str(), nullptr };
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
    char folder[] = "/tmp/corvane-bench-panel-XXXXXX";
    if (!::mkdtemp(folder)) {
        std::perror("mkdtemp");
        return 1;
    }
    directory = folder;
    path = directory + "/thousand-attributes";
    if (::mount("tmpfs", folder, "tmpfs", 0, "size=32m") != 0) {
        std::fprintf(stderr, "bench_panel skipped: mounting a tmpfs on %s needs root (%s)\n", folder,
            std::strerror(errno));
        ::rmdir(folder);
        return 0;
    }
    int status = 0;
    if (!makeFile()) {
        std::fprintf(stderr, "could not write 1000 attributes on %s\n", path.c_str());
        status = 1;
    } else {
        benchmark::RegisterBenchmark("panel-fill/1000/corvane", panelFill)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("panel-fill/1000/model", modelOnly)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("panel-fill/1000/getfattr", getfattr)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    ::unlink(path.c_str());
    ::umount(folder);
    ::rmdir(folder);
    return status;
}
