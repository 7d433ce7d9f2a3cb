#include "app/Form3JobHost.h"

#include "app/Form3.h"
#include "controls/picturebutton/XpB.h"
#include "controls/progressbar/XP_ProgressBar.h"
#include "controls/themedbutton/ThemedButton.h"
#include "jobs/Jobs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace quarbel::app {

int Form3JobHost::listCount() const { return m_form.List1->count(); }

QString Form3JobHost::listItem(int index) const
{
    const QListWidgetItem* item = m_form.List1->item(index);
    return item ? item->text() : QString();
}

QString Form3JobHost::sourceText() const { return m_form.FlatEdit1->text(); }
QString Form3JobHost::destinationText() const { return m_form.FlatEdit2->text(); }
bool Form3JobHost::doNotOverwrite() const { return m_form.CheckBox3->isChecked(); }
QString Form3JobHost::formatText() const { return m_form.Combo1->currentText(); }
QString Form3JobHost::qualityText() const { return m_form.Combo2->currentText(); }
QString Form3JobHost::widthText() const { return m_form.txtWidth->text(); }
QString Form3JobHost::heightText() const { return m_form.txtHeight->text(); }
bool Form3JobHost::cancelRequested() const { return m_form.CancelRequested; }
void Form3JobHost::setCancelRequested(bool value) { m_form.CancelRequested = value; }
QString Form3JobHost::targetExtension() const { return m_form.TargetExtension; }
void Form3JobHost::setTargetExtension(const QString& extension) { m_form.TargetExtension = extension; }

void Form3JobHost::setStatusText(int panel, const QString& text) { m_form.setPanelText(panel, text); }
void Form3JobHost::setProgressVisible(bool visible) { m_form.XP_ProgressBar1->setVisible(visible); }
void Form3JobHost::setProgressMax(int max) { m_form.XP_ProgressBar1->setMax(max); }
void Form3JobHost::setProgressValue(int value) { m_form.XP_ProgressBar1->setValue(value); }

void Form3JobHost::setProgressColor(std::uint32_t color) { m_form.XP_ProgressBar1->setColor(color); }

void Form3JobHost::setPercentVisible(bool visible) { m_form.percent->setVisible(visible); }
void Form3JobHost::setPercentCaption(const QString& caption) { m_form.percent->setText(caption); }
QString Form3JobHost::percentCaption() const { return m_form.percent->text(); }
void Form3JobHost::setCancelEnabled(bool enabled) { m_form.ThemedButton4->setEnabled(enabled); }

void Form3JobHost::setControlsEnabled(bool enabled)
{
    m_form.List1->setEnabled(enabled);
    m_form.ThemedButton1->setEnabled(enabled);
    m_form.ThemedButton2->setEnabled(enabled);
    m_form.ThemedButton3->setEnabled(enabled);
    m_form.XpB1->setEnabled(enabled);
}

jobs::MessageAnswer Form3JobHost::showMessage(const QString& text, const QString& title,
                                              jobs::MessageIcon icon, jobs::MessageButtons buttons)
{
    using platform::MessageAnswer;
    if (m_form.m_closeRequested && buttons == jobs::MessageButtons::YesNo)
        return jobs::MessageAnswer::Yes;  // the window is closing: stop without asking
    const auto toIcon = [icon] {
        switch (icon) {
        case jobs::MessageIcon::Exclamation: return platform::MessageIcon::Exclamation;
        case jobs::MessageIcon::Question: return platform::MessageIcon::Question;
        case jobs::MessageIcon::Information: break;
        }
        return platform::MessageIcon::Information;
    };
    const MessageAnswer answer = m_form.services().messages->show(&m_form, text, title, toIcon(),
                                                                  buttons == jobs::MessageButtons::YesNo
                                                                      ? platform::MessageButtons::YesNo
                                                                      : platform::MessageButtons::Ok);
    switch (answer) {
    case MessageAnswer::Yes: return jobs::MessageAnswer::Yes;
    case MessageAnswer::No: return jobs::MessageAnswer::No;
    case MessageAnswer::Ok: break;
    }
    return jobs::MessageAnswer::Ok;
}

void Form3JobHost::processEvents() { QCoreApplication::processEvents(); }

void Form3JobHost::waitUntil(const std::function<bool()>& ready) { jobs::waitWithEvents(ready); }

void Form3JobHost::jobEnded(const jobs::JobSummary& summary) { m_form.showFailures(summary); }

}  // namespace quarbel::app
