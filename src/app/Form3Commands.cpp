// The window's commands: start (the chosen mode's job, then the open-folder step), Cancel
// and Help, and the failure list that a finished job leaves on status panel 1.

#include "app/Form3.h"

#include "app/Form3JobHost.h"
#include "app/ResourceFiles.h"
#include "controls/picturebutton/XpB.h"
#include "controls/themedbutton/ThemedButton.h"
#include "imagelist/PreviewPrefetch.h"
#include "jobs/Jobs.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QRadioButton>
#include <QUrl>

namespace quarbel::app {

namespace {

constexpr int kFailuresListed = 25;  // lines in the failure tooltip before "… and n more"

// A click on status panel 1 shows the failure list in full.
class FailurePanelClicks : public QObject {
public:
    explicit FailurePanelClicks(Form3& form) : QObject(&form), m_form(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && watched == m_form.panel(1))
            m_form.showFailureDetails();
        return QObject::eventFilter(watched, event);
    }

private:
    Form3& m_form;
};

}  // namespace

void Form3::connectCommands()
{
    connect(ThemedButton3, &ThemedButton::Click, this, &Form3::ThemedButton3_Click);
    connect(ThemedButton4, &ThemedButton::Click, this, &Form3::ThemedButton4_Click);
    connect(XpB6, &XpB::Click, this, &Form3::XpB6_Click);
    panel(1)->installEventFilter(new FailurePanelClicks(*this));
}

void Form3::ThemedButton3_Click()
{
    if (m_jobRunning)
        return;  // a click that was queued while the job ran
    m_jobRunning = true;
    prefetcher().drop();  // the job has the cores
    abandonPreview();
    // Two independent tests, in this order: a switch to Resize during the convert job runs
    // the resize job right after it.
    if (RadioButton1->isChecked())
        runJob(Mode::Convert);
    if (RadioButton2->isChecked() && !m_closeRequested)
        runJob(Mode::Resize);
    m_jobRunning = false;
    if (m_closeRequested) {
        close();
        return;
    }
    if (List1->count() >= 1 && CheckBox4->isChecked())
        openDestinationFolder();
}

void Form3::runJob(Mode mode)
{
    const jobs::JobSummary summary = mode == Mode::Convert ? jobs::ConvertImages(*m_jobHost, *m_jobHost)
                                                           : jobs::ResizeImages(*m_jobHost, *m_jobHost);
    emit jobFinished(summary);
}

void Form3::openDestinationFolder()
{
    // The file manager is started on the destination text as it stands. An empty text
    // names no folder: the file manager then opens at its own starting place, the home
    // folder. A folder that is not there cannot be shown, so nothing is opened for it.
    const QString destination = FlatEdit2->text();
    if (destination.isEmpty()) {
        m_services.shell->openFolder(QDir::homePath());
        return;
    }
    const QFileInfo folder(destination);
    if (!folder.isDir())
        return;
    m_services.shell->openFolder(QDir::cleanPath(folder.absoluteFilePath()));
}

void Form3::ThemedButton4_Click() { CancelRequested = true; }

void Form3::XpB6_Click()
{
    const QString page = resourceFileOnDisk(QStringLiteral("help.html"));
    if (!page.isEmpty())
        m_services.shell->openUrl(QUrl::fromLocalFile(page));
}

void Form3::showFailures(const jobs::JobSummary& summary)
{
    QLabel* first = panel(1);
    m_failureDetails.clear();
    if (summary.failures.isEmpty()) {
        first->setToolTip(QString());
        return;
    }
    QStringList lines;
    for (const jobs::ItemReport& report : summary.failures)
        lines << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(report.source), report.reason);
    m_failureDetails =
        tr("%1 of %2 files failed:").arg(summary.failed).arg(summary.total) + u'\n' + lines.join(u'\n');

    QStringList tip = lines.mid(0, kFailuresListed);
    if (lines.size() > kFailuresListed)
        tip << tr("… and %1 more (click for the full list)").arg(lines.size() - kFailuresListed);
    tip.prepend(tr("Files that failed:"));
    first->setToolTip(QStringLiteral("<p style='white-space:pre'>") + tip.join(u'\n').toHtmlEscaped() +
                      QStringLiteral("</p>"));
}

void Form3::showFailureDetails()
{
    if (m_failureDetails.isEmpty())
        return;
    m_services.messages->show(this, m_failureDetails, windowTitle(), platform::MessageIcon::Information,
                              platform::MessageButtons::Ok);
}

}  // namespace quarbel::app
