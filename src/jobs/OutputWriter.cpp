#include "jobs/OutputWriter.h"

#include <system_error>

namespace quarbel::jobs {

namespace is = quarbel::imageservice;

OutputWriter::OutputWriter(std::function<void()> wake) : m_wake(std::move(wake))
{
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // No thread to be had: start() writes on the calling thread.
    }
}

OutputWriter::~OutputWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

is::Result OutputWriter::perform(const Write& write)
{
    try {
        return write.file->SaveFile(write.path, write.mode, &m_spares);
    } catch (const std::exception& e) {
        return is::Result::failure(e.what());
    } catch (...) {
        return is::Result::failure("unexpected error while writing the image");
    }
}

void OutputWriter::start(std::shared_ptr<const is::ImageFile> file, std::string path, is::SaveMode mode)
{
    auto write = std::make_unique<Write>(Write{std::move(file), std::move(path), mode});
    if (!m_thread.joinable()) {
        const is::Result result = perform(*write);
        std::lock_guard lock(m_mutex);
        m_result = result;
        m_busy = false;
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_pending = std::move(write);
        m_busy = true;
    }
    m_changed.notify_all();
}

bool OutputWriter::finished() const
{
    std::lock_guard lock(m_mutex);
    return !m_busy;
}

is::Result OutputWriter::take()
{
    std::lock_guard lock(m_mutex);
    return std::move(m_result);
}

void OutputWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        // A write handed over is always done, even when the writer is being destroyed.
        m_changed.wait(lock, [this] { return m_pending || m_stopping; });
        if (!m_pending)
            return;
        const std::unique_ptr<Write> write = std::move(m_pending);
        lock.unlock();
        is::Result result = perform(*write);
        lock.lock();
        m_result = std::move(result);
        m_busy = false;
        lock.unlock();
        if (m_wake)
            m_wake();
        lock.lock();
    }
}

}  // namespace quarbel::jobs
