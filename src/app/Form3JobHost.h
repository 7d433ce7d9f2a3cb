#pragma once
// The window as the batch jobs see it: their inputs are the window's controls and state,
// their reports go to the status bar, the progress bar, the percentage label and the
// window's message boxes.

#include "jobs/JobHost.h"

namespace quarbel::app {

class Form3;

class Form3JobHost : public jobs::JobInputs, public jobs::JobView {
public:
    explicit Form3JobHost(Form3& form) : m_form(form) {}

    // JobInputs
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

    // JobView
    void setStatusText(int panel, const QString& text) override;
    void setProgressVisible(bool visible) override;
    void setProgressMax(int max) override;
    void setProgressValue(int value) override;
    void setProgressColor(std::uint32_t color) override;
    void setPercentVisible(bool visible) override;
    void setPercentCaption(const QString& caption) override;
    QString percentCaption() const override;
    void setCancelEnabled(bool enabled) override;
    void setControlsEnabled(bool enabled) override;
    jobs::MessageAnswer showMessage(const QString& text, const QString& title, jobs::MessageIcon icon,
                                    jobs::MessageButtons buttons) override;
    void processEvents() override;
    void waitUntil(const std::function<bool()>& ready) override;
    void jobEnded(const jobs::JobSummary& summary) override;

private:
    Form3& m_form;
};

}  // namespace quarbel::app
