#include "cli/ParallelListing.h"

#include <algorithm>

namespace corvane {

ParallelListing::ParallelListing(
    ListingWriter &writer, ListingFormat format, LinkMode links, FileLister::NameFilter takes)
    : m_writer(writer)
    , m_format(format)
    , m_links(links)
    , m_takes(std::move(takes))
    , m_inline(format)
{
    // The walk itself takes little: one thread per core reads and decodes.
    const unsigned threads = std::min(std::thread::hardware_concurrency(), 4u);
    if (threads < 2)
        return;
    m_window = 4 * std::size_t(threads);
    for (unsigned i = 0; i < threads; ++i)
        m_threads.emplace_back([this] { work(); });
}

ParallelListing::~ParallelListing()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_jobAdded.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

void ParallelListing::work()
{
    FileLister lister(m_format);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_jobAdded.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty())
            return;
        const Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        std::vector<FileListing> listings;
        listings.reserve(job.entries.size());
        for (const Entry &entry : job.entries) {
            if (entry.path.isEmpty())
                listings.push_back({ QByteArray(), entry.failure, false });
            else
                listings.push_back(lister.list(entry.path, m_links, m_takes, entry.shownPath));
        }
        lock.lock();
        m_done.emplace(job.order, std::move(listings));
        m_jobDone.notify_all();
    }
}

void ParallelListing::writeReady(std::unique_lock<std::mutex> &lock)
{
    // Written outside the lock, so the workers go on meanwhile.
    while (!m_done.empty() && m_done.begin()->first == m_nextToWrite) {
        const std::vector<FileListing> listings = std::move(m_done.begin()->second);
        m_done.erase(m_done.begin());
        ++m_nextToWrite;
        lock.unlock();
        for (const FileListing &listing : listings) {
            m_complete = m_complete && listing.complete;
            m_writer.write(listing);
        }
        lock.lock();
    }
}

void ParallelListing::add(const QByteArray &path, const QByteArray &shownPath)
{
    if (m_threads.empty()) {
        const FileListing listing = m_inline.list(path, m_links, m_takes, shownPath);
        m_complete = m_complete && listing.complete;
        m_writer.write(listing);
        return;
    }
    m_batch.push_back({ path, shownPath, QByteArray() });
    if (m_batch.size() >= batchSize)
        submit();
}

void ParallelListing::addFailure(const QByteArray &errors)
{
    if (m_threads.empty()) {
        m_complete = false;
        m_writer.write({ QByteArray(), errors, false });
        return;
    }
    m_batch.push_back({ QByteArray(), QByteArray(), errors });
}

void ParallelListing::submit()
{
    std::unique_lock lock(m_mutex);
    writeReady(lock);
    while (std::size_t(m_nextOrder - m_nextToWrite) >= m_window) {
        m_jobDone.wait(lock, [this] { return !m_done.empty() && m_done.begin()->first == m_nextToWrite; });
        writeReady(lock);
    }
    m_jobs.push_back({ m_nextOrder++, std::move(m_batch) });
    m_batch.clear();
    lock.unlock();
    m_jobAdded.notify_one();
}

bool ParallelListing::finish()
{
    if (!m_batch.empty())
        submit();
    if (!m_threads.empty()) {
        std::unique_lock lock(m_mutex);
        while (m_nextToWrite < m_nextOrder) {
            m_jobDone.wait(
                lock, [this] { return !m_done.empty() && m_done.begin()->first == m_nextToWrite; });
            writeReady(lock);
        }
    }
    return m_complete;
}

} // namespace corvane
