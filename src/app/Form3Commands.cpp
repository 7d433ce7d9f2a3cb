// The window's commands: start (the chosen mode's job, then the open-folder step), Cancel
// and Help, and the failure list that a finished job leaves on status panel 1.

#include "app/Form3.h"

#include "app/Form3JobHost.h"
#include "app/ResourceFiles.h"
#include "controls/picturebutton/XpB.h"
#include "controls/themedbutton/ThemedButton.h"
#include "jobs/Jobs.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QUrl>

namespace quarbel::app {

namespace {
constexpr int kFailuresListed = 25;  // lines in the failure tooltip before "… and n more"
}

void Form3::connectCommands()
{
    connect(ThemedButton3, &ThemedButton::Click, this, &Form3::ThemedButton3_Click);
    connect(ThemedButton4, &ThemedButton::Click, this, &Form3::ThemedButton4_Click);
    connect(XpB6, &XpB::Click, this, &Form3::XpB6_Click);
}

void Form3::ThemedButton3_Click()
{
    if (m_jobRunning)
        return;  // a click that was queued while the job ran
    m_jobRunning = true;
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
    // An empty destination names no folder, and a folder that is not there cannot be shown:
    // the file manager is opened only on an existing folder.
    const QString destination = FlatEdit2->text();
    if (destination.isEmpty())
        return;
    const QFileInfo folder(destination);
    if (!folder.isDir())
        return;
    m_services.shell->openFolder(QDir::cleanPath(folder.absoluteFilePath()));
}

void Form3::ThemedButton4_Click()
{
    CancelRequested = true;
}

void Form3::XpB6_Click()
{
    const QString page = resourceFileOnDisk(QStringLiteral("help.html"));
    if (!page.isEmpty())
        m_services.shell->openUrl(QUrl::fromLocalFile(page));
}

void Form3::showFailures(const jobs::JobSummary& summary)
{
    QLabel* first = panel(1);
    if (summary.failures.isEmpty()) {
        first->setToolTip(QString());
        return;
    }
    QStringList lines;
    lines << tr("Files that failed:");
    for (qsizetype i = 0; i < summary.failures.size() && i < kFailuresListed; ++i) {
        const jobs::ItemReport& report = summary.failures[i];
        lines << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(report.source), report.reason);
    }
    if (summary.failures.size() > kFailuresListed)
        lines << tr("… and %1 more").arg(summary.failures.size() - kFailuresListed);
    first->setToolTip(QStringLiteral("<p style='white-space:pre'>") + lines.join(u'\n').toHtmlEscaped()
                      + QStringLiteral("</p>"));
}

}  // namespace quarbel::app
