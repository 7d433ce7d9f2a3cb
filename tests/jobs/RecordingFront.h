#pragma once
// A front end for the job frame that records every call to the view as one line of text, in
// order, and answers questions from a script. Hooks run in the pause between items, where the
// window would handle a click on Cancel or an edit of the destination field.

#include "jobs/JobHost.h"
#include "jobs/Jobs.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <map>

namespace quarbel::testing {

class FakeInputs : public jobs::JobInputs {
public:
    QStringList list;
    QString source = QStringLiteral("source field");
    QString destination;
    bool keepExisting = false;
    QString format = QStringLiteral("JPG");
    QString quality = QStringLiteral("75");
    QString width = QStringLiteral("0");
    QString height = QStringLiteral("0");
    bool cancel = false;
    QString extension;

    int listCount() const override { return static_cast<int>(list.size()); }
    QString listItem(int index) const override { return list.value(index); }
    QString sourceText() const override { return source; }
    QString destinationText() const override { return destination; }
    bool doNotOverwrite() const override { return keepExisting; }
    QString formatText() const override { return format; }
    QString qualityText() const override { return quality; }
    QString widthText() const override { return width; }
    QString heightText() const override { return height; }
    bool cancelRequested() const override { return cancel; }
    void setCancelRequested(bool value) override { cancel = value; }
    QString targetExtension() const override { return extension; }
    void setTargetExtension(const QString& e) override { extension = e; }
};

class RecordingView : public jobs::JobView {
public:
    QStringList log;
    std::deque<jobs::MessageAnswer> answers;         // for Yes/No questions, in order
    std::map<int, std::function<void()>> afterItem;  // run in the pause after item n (1-based)
    QList<jobs::ItemReport> reports;
    jobs::JobSummary ended;
    int jobEndedCalls = 0;

    void setStatusText(int panel, const QString& text) override
    {
        log << QStringLiteral("status %1 [%2]").arg(panel).arg(text);
    }
    void setProgressVisible(bool v) override { log << QStringLiteral("bar visible %1").arg(v); }
    void setProgressMax(int max) override { log << QStringLiteral("bar max %1").arg(max); }
    void setProgressValue(int value) override
    {
        m_value = value;
        log << QStringLiteral("bar value %1").arg(value);
    }
    void setProgressColor(std::uint32_t color) override
    {
        log << QStringLiteral("bar color %1").arg(color, 6, 16, QLatin1Char('0'));
    }
    void setPercentVisible(bool v) override { log << QStringLiteral("percent visible %1").arg(v); }
    void setPercentCaption(const QString& caption) override
    {
        m_caption = caption;
        log << QStringLiteral("percent [%1]").arg(caption);
    }
    QString percentCaption() const override { return m_caption; }
    void setCancelEnabled(bool e) override { log << QStringLiteral("cancel enabled %1").arg(e); }
    void setControlsEnabled(bool e) override { log << QStringLiteral("controls enabled %1").arg(e); }
    jobs::MessageAnswer showMessage(const QString& text, const QString& title, jobs::MessageIcon icon,
                                    jobs::MessageButtons buttons) override
    {
        log << QStringLiteral("message [%1] [%2] %3 %4")
                   .arg(text, title, iconName(icon), buttons == jobs::MessageButtons::Ok ? "Ok" : "YesNo");
        if (buttons == jobs::MessageButtons::Ok)
            return jobs::MessageAnswer::Ok;
        if (answers.empty())
            return jobs::MessageAnswer::No;
        const jobs::MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void processEvents() override
    {
        log << QStringLiteral("events");
        if (const auto hook = afterItem.find(m_value); hook != afterItem.end())
            hook->second();
    }
    // Not logged: whether the frame has to wait depends on how fast the workers are.
    void waitUntil(const std::function<bool()>& ready) override { jobs::waitWithEvents(ready); }
    void itemDone(const jobs::ItemReport& report) override { reports << report; }
    void jobEnded(const jobs::JobSummary& summary) override
    {
        ended = summary;
        ++jobEndedCalls;
    }

private:
    int m_value = 0;
    QString m_caption;

    static QString iconName(jobs::MessageIcon icon)
    {
        switch (icon) {
        case jobs::MessageIcon::Information: return QStringLiteral("Information");
        case jobs::MessageIcon::Exclamation: return QStringLiteral("Exclamation");
        case jobs::MessageIcon::Question: return QStringLiteral("Question");
        }
        return {};
    }
};

}  // namespace quarbel::testing
