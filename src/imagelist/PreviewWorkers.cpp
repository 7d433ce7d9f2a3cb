#include "imagelist/PreviewWorkers.h"

#include "jobs/WorkerSettings.h"
#include "jobs/worker/PreviewRequest.h"
#include "platform/files/ReadFile.h"
#include "platform/sandbox/FileBytes.h"

#include <QFile>
#include <cstring>
#include <thread>
#include <vector>

namespace quarbel::imagelist {

namespace sandbox = platform::sandbox;
namespace worker = jobs::worker;

namespace {

// Enough for the header of every format we read, unless it sits at the file's end (a TIFF
// may put it there): then the size comes with the picture.
constexpr std::uint64_t kHeaderBytes = 256 * 1024;

QImage toImage(const worker::PreviewAnswer& answer)
{
    QImage image(answer.width, answer.height, QImage::Format_RGB888);
    if (image.isNull())
        return image;
    const std::size_t rowBytes = std::size_t(answer.width) * 3;
    for (int y = 0; y < answer.height; ++y)
        std::memcpy(image.scanLine(y), answer.rgb.data() + std::size_t(y) * rowBytes, rowBytes);
    return image;
}

}  // namespace

PreviewWorkers::PreviewWorkers(const sandbox::WorkerOptions& options, int count) : m_pool(options, count) {}

PreviewWorkers& PreviewWorkers::shared()
{
    static PreviewWorkers workers(jobs::previewWorkerOptions());
    return workers;
}

void PreviewWorkers::warmUp()
{
    std::string reason;
    if (!m_pool.start(reason))
        return;  // the first preview says why
    // A request for the size of nothing starts a worker's decoders and fails at once; the
    // workers are all asked at the same time, so each gets one.
    const auto askNothing = [this] {
        const auto request =
            worker::previewRequestToText(worker::previewRequestFor(worker::PreviewPart::Size));
        m_pool.run(request, sandbox::SharedBuffer::create(0));
    };
    std::vector<std::thread> asking;
    for (int i = 1; i < m_pool.size(); ++i)
        asking.emplace_back(askNothing);
    askNothing();
    for (std::thread& thread : asking)
        thread.join();
}

PreviewOutcome PreviewWorkers::decode(const QString& path, QSize box, sandbox::Cancellation* cancel)
{
    std::string reason;
    sandbox::SharedBuffer bytes =
        sandbox::fileBytes(QFile::encodeName(path).toStdString(), platform::files::kMaxFileBytes,
                           sandbox::LongerFile::Refuse, reason);
    if (!bytes.valid())
        return PreviewOutcome::failure(QString::fromStdString(reason));
    const worker::PreviewRequest request =
        worker::previewRequestFor(worker::PreviewPart::Picture, box.width(), box.height());
    const sandbox::WorkResult done =
        m_pool.run(worker::previewRequestToText(request), std::move(bytes), cancel);
    if (done.outcome != sandbox::WorkOutcome::Done)
        return PreviewOutcome::failure(QString::fromStdString(done.reason));
    const auto answer = worker::readPreviewAnswer(request, done.output.bytes());
    if (!answer)
        return PreviewOutcome::failure(
            QStringLiteral("the worker gave a preview that does not fit what was asked"));
    QImage image = toImage(*answer);
    if (image.isNull())
        return PreviewOutcome::failure(QStringLiteral("not enough memory for the preview"));
    return std::optional<Picture>(Picture{std::move(image), QSize(answer->fullWidth, answer->fullHeight)});
}

std::optional<QSize> PreviewWorkers::readSize(const QString& path, sandbox::Cancellation* cancel)
{
    std::string reason;
    sandbox::SharedBuffer bytes = sandbox::fileBytes(QFile::encodeName(path).toStdString(), kHeaderBytes,
                                                     sandbox::LongerFile::Cut, reason);
    if (!bytes.valid())
        return std::nullopt;
    const worker::PreviewRequest request = worker::previewRequestFor(worker::PreviewPart::Size);
    const sandbox::WorkResult done =
        m_pool.run(worker::previewRequestToText(request), std::move(bytes), cancel);
    if (done.outcome != sandbox::WorkOutcome::Done)
        return std::nullopt;
    const auto answer = worker::readPreviewAnswer(request, done.output.bytes());
    if (!answer)
        return std::nullopt;
    return QSize(answer->fullWidth, answer->fullHeight);
}

}  // namespace quarbel::imagelist
