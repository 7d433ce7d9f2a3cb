#include "platform/files/SpareFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <system_error>

namespace quarbel::platform::files {

SpareFiles::SpareFiles(int depth) : m_depth(depth > 0 ? std::size_t(depth) : 1) {}

SpareFiles::~SpareFiles()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wanted.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    closeReady();
}

void SpareFiles::closeReady()
{
    for (int fd : m_ready)
        ::close(fd);
    m_ready.clear();
}

UnnamedFile SpareFiles::take(const std::string& folder, unsigned permissions)
{
    {
        std::lock_guard lock(m_mutex);
        if (folder == m_folder && !m_ready.empty()) {
            const int fd = m_ready.back();
            m_ready.pop_back();
            ++m_madeAhead;
            m_wanted.notify_all();
            ::fchmod(fd, permissions);
            return UnnamedFile::adopt(folder, fd);
        }
        if (folder != m_folder && folder == m_lastAsked && folder != m_refused) {
            closeReady();
            m_folder = folder;
            if (!m_thread.joinable()) {
                try {
                    m_thread = std::thread([this] { run(); });
                } catch (const std::system_error&) {
                    m_folder.clear();  // no thread: every file is made when asked for
                }
            }
            m_wanted.notify_all();
        }
        m_lastAsked = folder;
    }
    return UnnamedFile(folder, TempKind::PreferUnnamed, permissions);
}

int SpareFiles::madeAhead() const
{
    std::lock_guard lock(m_mutex);
    return m_madeAhead;
}

void SpareFiles::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wanted.wait(lock, [this] { return m_stopping || (!m_folder.empty() && m_ready.size() < m_depth); });
        if (m_stopping)
            return;
        const std::string folder = m_folder;
        lock.unlock();
        const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        lock.lock();
        if (fd < 0) {
            // A folder that cannot take an unnamed file gets none made ahead; whoever asks
            // makes the file (or learns why not) as without spares.
            m_refused = folder;
            if (m_folder == folder)
                m_folder.clear();
        } else if (m_folder == folder && !m_stopping) {
            m_ready.push_back(fd);
        } else {
            ::close(fd);
        }
    }
}

}  // namespace quarbel::platform::files
