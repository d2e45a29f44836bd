#pragma once

// The listing and the dump over many files: the files are read and written out on worker threads (a
// file's values are decoded where they were read) and put on standard output in the order they were
// walked. At most a few files per thread are on their way at any time, so a walk over any tree holds
// about as much as one over a single folder.

#include "attributes/ListCommand.h"

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace corvane {

class ParallelListing {
public:
    ParallelListing(
        ListingWriter &writer, ListingFormat format, LinkMode links, FileLister::NameFilter takes);
    ~ParallelListing();
    ParallelListing(const ParallelListing &) = delete;
    ParallelListing &operator=(const ParallelListing &) = delete;

    // The next file; `shownPath` is the path the listing names (empty: `path`). May write the files
    // finished before it, and waits while too many are on their way.
    void add(const QByteArray &path, const QByteArray &shownPath = QByteArray());
    // A failure of the walk itself, reported in its place among the files.
    void addFailure(const QByteArray &errors);
    // Writes what is left; true when every file and value was read.
    bool finish();

private:
    // Files go to the workers a batch at a time: a hand-over per file would cost more than the file.
    static constexpr std::size_t batchSize = 32;
    struct Entry {
        QByteArray path; // empty: a failure of the walk, already written out in `failure`
        QByteArray shownPath;
        QByteArray failure;
    };
    struct Job {
        qint64 order;
        std::vector<Entry> entries;
    };
    void work();
    void submit();
    void writeReady(std::unique_lock<std::mutex> &lock);

    ListingWriter &m_writer;
    ListingFormat m_format;
    LinkMode m_links;
    FileLister::NameFilter m_takes;
    std::vector<std::thread> m_threads;
    std::size_t m_window = 1;

    std::mutex m_mutex;
    std::condition_variable m_jobAdded;
    std::condition_variable m_jobDone;
    std::deque<Job> m_jobs;
    std::vector<Entry> m_batch;
    std::map<qint64, std::vector<FileListing>> m_done;
    qint64 m_nextOrder = 0;
    qint64 m_nextToWrite = 0;
    bool m_stopping = false;
    bool m_complete = true;
    FileLister m_inline; // without worker threads
};

} // namespace corvane
