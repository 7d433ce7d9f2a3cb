#pragma once
// The job's one writer thread. The frame hands it one finished output at a time and waits
// with events until it is written, keeping the workers supplied meanwhile; the next item is
// committed only after that, so outputs are still written in list order. The thread lives as
// long as the writer: a file written per thread started and joined for each output cost a
// thread start per item. The files the outputs are written into are made ahead on a
// thread of their own (platform/files/SpareFiles.h).
//
// Destroying the writer (also while an exception unwinds the frame, for example out of
// waiting with events) lets the write in hand finish, so the file is complete or absent,
// and then stops and joins the thread.

#include "jobs/imageservice/ImageService.h"
#include "platform/files/SpareFiles.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace quarbel::jobs {

class OutputWriter {
public:
    // wake() runs on the writer thread after each write, to wake whoever waits for it.
    explicit OutputWriter(std::function<void()> wake);
    ~OutputWriter();
    OutputWriter(const OutputWriter&) = delete;
    OutputWriter& operator=(const OutputWriter&) = delete;

    // Starts writing file to path (a write in hand must be finished and taken). Without a
    // thread to be had, the file is written here before start returns.
    void start(std::shared_ptr<const imageservice::ImageFile> file, std::string path,
               imageservice::SaveMode mode);
    // True once the write started last has finished.
    bool finished() const;
    // What became of it, once finished.
    imageservice::Result take();

private:
    struct Write {
        std::shared_ptr<const imageservice::ImageFile> file;
        std::string path;
        imageservice::SaveMode mode = imageservice::SaveMode::FailIfExists;
    };

    void run();
    imageservice::Result perform(const Write& write);

    std::function<void()> m_wake;
    platform::files::SpareFiles m_spares;  // files for the outputs, made beside the writing
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::unique_ptr<Write> m_pending;  // handed over, not yet taken by the thread
    bool m_busy = false;               // a write was started and has not finished
    bool m_stopping = false;
    imageservice::Result m_result;
    std::thread m_thread;  // last: started after everything it uses exists
};

}  // namespace quarbel::jobs
