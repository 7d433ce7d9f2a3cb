#pragma once
// quarbel-batch's side of a job: the inputs come from the command line, the view prints
// progress on standard error and the result on standard output (on standard error too when
// standard output carries the --report). On a terminal the progress is one line updated in
// place; otherwise one line per item. The cancel question is answered Yes (Ctrl-C asked for it).

#include "cli/BatchOptions.h"
#include "cli/RunReport.h"
#include "jobs/JobHost.h"

#include <cstdio>

namespace quarbel::cli {

class BatchInputs : public jobs::JobInputs {
public:
    BatchInputs(const BatchOptions& options, QStringList list);

    int listCount() const override;
    QString listItem(int index) const override;
    QString sourceText() const override;
    QString destinationText() const override;
    bool doNotOverwrite() const override;
    QString formatText() const override;
    QString qualityText() const override;
    QString widthText() const override;
    QString heightText() const override;
    bool cancelRequested() const override;
    void setCancelRequested(bool value) override;
    QString targetExtension() const override;
    void setTargetExtension(const QString& extension) override;

private:
    BatchOptions m_options;
    QStringList m_list;
    bool m_cancelRequested = false;
    QString m_targetExtension;
};

enum class ProgressStyle { Lines, UpdatingLine, Quiet };

class BatchView : public jobs::JobView {
public:
    // Each item also goes into report, when there is one.
    BatchView(ProgressStyle style, std::FILE* out, std::FILE* err, RunReport* report = nullptr);

    void setStatusText(int panel, const QString& text) override;
    void setProgressVisible(bool) override {}
    void setProgressMax(int max) override;
    void setProgressValue(int) override {}
    void setProgressColor(std::uint32_t) override {}
    void setPercentVisible(bool) override {}
    void setPercentCaption(const QString& caption) override;
    QString percentCaption() const override;
    void setCancelEnabled(bool) override {}
    void setControlsEnabled(bool) override {}
    jobs::MessageAnswer showMessage(const QString& text, const QString& title, jobs::MessageIcon icon,
                                    jobs::MessageButtons buttons) override;
    void processEvents() override;
    void waitUntil(const std::function<bool()>& ready) override;
    void itemDone(const jobs::ItemReport& report) override;
    void jobEnded(const jobs::JobSummary& summary) override;

    // The last message shown (why a run was refused), without its leading blank.
    QString lastMessage() const { return m_lastMessage; }

private:
    ProgressStyle m_style;
    std::FILE* m_out;
    std::FILE* m_err;
    RunReport* m_report;
    int m_total = 0;
    QString m_status;
    QString m_percentCaption;
    QString m_lastMessage;
    bool m_lineOpen = false;

    void print(std::FILE* stream, const QString& text);
    void closeUpdatingLine();
};

// 0 nothing failed, 1 an item failed, 2 refused, 130 cancelled.
int exitStatus(const jobs::JobSummary& summary);

// A message without its leading blank, as the tool prints the window's texts.
QString withoutLeadingBlank(const QString& text);

}  // namespace quarbel::cli
