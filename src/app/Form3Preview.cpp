// The preview of the window: asked of the loader, which decodes it in a worker process off
// the window's thread, and shown when it comes. The sizes the size options read come from
// the picture's header before its pixels; until then they are the last picture's, and what
// the window wrote with them is written again once the new ones are known. A picture that
// cannot be shown leaves the sizes as they were before it was asked for.

#include "app/Form3.h"

#include "imagelist/FormatSize.h"
#include "imagelist/Paths.h"
#include "imagelist/PreviewBox.h"
#include "imagelist/PreviewCache.h"
#include "imagelist/PreviewLoader.h"
#include "imagelist/PreviewPrefetch.h"
#include "imagelist/PreviewWorkers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QTimer>

namespace quarbel::app {

namespace il = imagelist;

void Form3::connectPreview()
{
    il::PreviewEvents events;
    events.sizeRead = [this](QSize size) { previewSizeRead(size); };
    events.shown = [this](const il::Picture& picture) { previewShown(picture); };
    events.failed = [this](const QString& reason) { previewFailed(reason); };
    m_previewLoader = std::make_unique<il::PreviewLoader>(m_previewCache, std::move(events));
    m_previewLoader->prepare([] { il::PreviewWorkers::shared().warmUp(); });
}

void Form3::ShowPreview(const QString& path)
{
    // Pictures decoded ahead wait: this one is wanted now.
    m_prefetch->drop();
    const QSize box = m_preview->deviceBoxSize();
    if (m_previewCache->holds(path, box)) {
        if (const il::PreviewOutcome held = m_previewCache->load(path, box)) {
            abandonPreview();
            PreviewWidth = held->fullSize.width();
            PreviewHeight = held->fullSize.height();
            m_preview->show(*held);
            Picture1->setAccessibleDescription(il::fileName(path));
            return;
        }
    }
    clearPreview();
    if (path.isEmpty()) {
        abandonPreview();
        return;
    }
    m_pendingPreview = PendingPreview{path, PreviewWidth, PreviewHeight};
    m_previewLoader->request(path, box);
}

void Form3::abandonPreview()
{
    m_pendingPreview.reset();
    m_previewLoader->abandon();
}

void Form3::settlePreviewSize(std::chrono::milliseconds most)
{
    if (!m_pendingPreview || m_pendingPreview->sizeKnown)
        return;
    if (const std::optional<QSize> size = m_previewLoader->waitForSize(most))
        takePreviewSize(*size);
}

void Form3::takePreviewSize(QSize size)
{
    PreviewWidth = size.width();
    PreviewHeight = size.height();
    m_pendingPreview->sizeKnown = true;
}

void Form3::rewriteWithPreviewSize()
{
    if (m_pendingPreview->detailsWritten)
        setPanelText(2, il::dimensionsText(PreviewWidth, PreviewHeight));
    if (m_pendingPreview->fieldsWritten)
        RefreshSizeFields();
}

void Form3::previewSizeRead(QSize size)
{
    if (!m_pendingPreview || m_pendingPreview->sizeKnown)
        return;
    takePreviewSize(size);
    rewriteWithPreviewSize();
}

void Form3::previewShown(const il::Picture& picture)
{
    if (!m_pendingPreview)
        return;
    if (!m_pendingPreview->sizeKnown || picture.fullSize != QSize(PreviewWidth, PreviewHeight)) {
        takePreviewSize(picture.fullSize);
        rewriteWithPreviewSize();
    }
    m_preview->show(picture);
    Picture1->setAccessibleDescription(il::fileName(m_pendingPreview->path));
    m_pendingPreview.reset();
}

void Form3::previewFailed(const QString& reason)
{
    if (!m_pendingPreview)
        return;
    const PendingPreview pending = *m_pendingPreview;
    if (pending.sizeKnown && (PreviewWidth != pending.widthBefore || PreviewHeight != pending.heightBefore)) {
        PreviewWidth = pending.widthBefore;
        PreviewHeight = pending.heightBefore;
        rewriteWithPreviewSize();
    }
    m_pendingPreview.reset();
    clearPreview();
    // Not shown to the eye (the box stays empty), but a screen reader says why.
    Picture1->setAccessibleDescription(
        QStringLiteral("%1 cannot be shown: %2").arg(il::fileName(pending.path), reason));
}

void Form3::waitForPreview()
{
    QDeadlineTimer deadline(30000);
    QTimer tick;  // wakes the wait when the loader finished without a word (a stopped request)
    tick.start(10);
    while ((m_pendingPreview || !m_previewLoader->idle()) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace quarbel::app
