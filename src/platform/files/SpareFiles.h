#pragma once
// Unnamed files made ahead, on a thread of their own, in the folder a job writes to. Making
// a file is the slow part of writing a small one: on an ext4 file system without a journal
// the kernel searches the inode table past every recently deleted file for each new one.
// With 2,000 outputs of a few kilobytes that search took most of the job's one writer
// thread (0.9 s of 1.8 s); made ahead, it runs beside the writing.
//
// Files are made for a folder only once it has been asked for twice in a row, so a job that
// writes into many folders does not make files it never uses. Files not taken are closed
// with the spares, and an unnamed file leaves nothing behind.

#include "platform/files/UnnamedFile.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quarbel::platform::files {

class SpareFiles {
public:
    explicit SpareFiles(int depth = 4);
    ~SpareFiles();
    SpareFiles(const SpareFiles&) = delete;
    SpareFiles& operator=(const SpareFiles&) = delete;

    // A new unnamed file open for writing in folder: one made ahead when there is one, else
    // one made now (check isOpen(), as for any UnnamedFile).
    UnnamedFile take(const std::string& folder, unsigned permissions);
    // How many of the files taken so far had been made ahead.
    int madeAhead() const;

private:
    void run();
    void closeReady();

    const std::size_t m_depth;
    mutable std::mutex m_mutex;
    std::condition_variable m_wanted;
    std::string m_lastAsked;
    std::string m_folder;    // where files are made ahead; empty for nowhere
    std::string m_refused;   // a folder that took no unnamed file
    std::vector<int> m_ready;
    int m_madeAhead = 0;
    bool m_stopping = false;
    std::thread m_thread;  // started with the first folder files are made for
};

}  // namespace quarbel::platform::files
