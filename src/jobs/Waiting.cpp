#include "jobs/ItemPipeline.h"
#include "jobs/Jobs.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <condition_variable>
#include <mutex>

namespace quarbel::jobs {
namespace {

std::mutex finishedMutex;
std::condition_variable finished;

}  // namespace

void notifyWorkFinished()
{
    {
        std::lock_guard<std::mutex> lock(finishedMutex);
    }
    finished.notify_all();
}

void waitWithEvents(const std::function<bool()>& ready)
{
    if (QAbstractEventDispatcher::instance(QThread::currentThread())) {
        while (!ready())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return;
    }
    std::unique_lock<std::mutex> lock(finishedMutex);
    finished.wait(lock, ready);
}

}  // namespace quarbel::jobs
