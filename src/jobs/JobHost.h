#pragma once
// The two sides of a batch job's front end: what a job reads (JobInputs) and what it reports
// to (JobView). The window and quarbel-batch each implement both, so they run the very same
// job frame. Every call happens on the thread that runs the job (the user-interface thread
// in the window).

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace quarbel::jobs {

enum class MessageIcon { Information, Exclamation, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Colours as the controls take them: 0x00BBGGRR.
inline constexpr std::uint32_t kProgressGreen = 0x00FF00;  // 65280
inline constexpr std::uint32_t kProgressWhite = 0xFFFFFF;

class JobInputs {
public:
    virtual ~JobInputs() = default;
    virtual int listCount() const = 0;              // List1's item count
    virtual QString listItem(int index) const = 0;  // 0-based, full source path
    virtual QString sourceText() const = 0;         // FlatEdit1
    virtual QString destinationText() const = 0;    // FlatEdit2 (read again for every item)
    virtual bool doNotOverwrite() const = 0;        // CheckBox3 (read for every item)
    virtual QString formatText() const = 0;         // Combo1
    virtual QString qualityText() const = 0;        // Combo2
    virtual QString widthText() const = 0;          // txtWidth
    virtual QString heightText() const = 0;         // txtHeight
    virtual bool cancelRequested() const = 0;
    virtual void setCancelRequested(bool value) = 0;
    virtual QString targetExtension() const = 0;  // kept between runs
    virtual void setTargetExtension(const QString& extension) = 0;
};

// What became of one list item.
enum class ItemOutcome {
    Written,  // the output file was written (or replaced)
    Skipped,  // the output existed and "Do not overwrite files" kept it
    Failed,   // loading, processing or saving failed; see reason
};

struct ItemReport {
    int index = 0;   // 0-based list index
    QString source;  // the list item
    QString output;  // the output path as built for the item
    ItemOutcome outcome = ItemOutcome::Written;
    QString reason;  // for Failed (and Skipped: why it was kept)
};

struct JobSummary {
    enum class End { Refused, Finished, Cancelled } end = End::Refused;
    int total = 0;  // items in the list at preparation
    int written = 0;
    int skipped = 0;
    int failed = 0;
    int stopped = 0;             // after a cancel: items whose work it stopped before the work's end
    QList<ItemReport> failures;  // in list order
    QStringList writtenFiles;    // output paths in list order, each once (last write wins)
};

class JobView {
public:
    virtual ~JobView() = default;
    virtual void setStatusText(int panel, const QString& text) = 0;  // StatusBar1 panels 1..4
    virtual void setProgressVisible(bool visible) = 0;               // XP_ProgressBar1
    virtual void setProgressMax(int max) = 0;
    virtual void setProgressValue(int value) = 0;
    virtual void setProgressColor(std::uint32_t color) = 0;
    virtual void setPercentVisible(bool visible) = 0;  // percent label
    virtual void setPercentCaption(const QString& caption) = 0;
    virtual QString percentCaption() const = 0;
    virtual void setCancelEnabled(bool enabled) = 0;  // ThemedButton4
    // List1, ThemedButton1, ThemedButton2, ThemedButton3 and XpB1 together.
    virtual void setControlsEnabled(bool enabled) = 0;
    virtual MessageAnswer showMessage(const QString& text, const QString& title, MessageIcon icon,
                                      MessageButtons buttons) = 0;
    // Let pending events run once (the pause between two items).
    virtual void processEvents() = 0;
    // Keeps the front end alive while an item's work runs elsewhere, until ready() is true.
    // The window handles paint and input events (a Cancel click only sets the flag, which the
    // frame reads at the next item); the batch tool simply waits.
    virtual void waitUntil(const std::function<bool()>& ready) = 0;

    // Notices beyond the window's own controls, for front ends that list results.
    virtual void itemDone(const ItemReport& /*report*/) {}
    virtual void jobEnded(const JobSummary& /*summary*/) {}
};

}  // namespace quarbel::jobs
