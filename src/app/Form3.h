#pragma once
// Form3, the program's one window: its controls at the places of the saved layout, the
// window-level state the jobs share, the option rules and the start, Cancel and Help
// commands. Controls carry the names of the window's designer.

#include "app/FormLayout.h"
#include "jobs/JobHost.h"
#include "platform/PlatformServices.h"

#include <QLine>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <chrono>
#include <optional>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QRadioButton;
class QStatusBar;

namespace quarbel {
class ThemedButton;
class XpB;
class XP_ProgressBar;
}  // namespace quarbel

class QTimer;

namespace quarbel::imagelist {
class PreviewBox;
class PreviewCache;
class PreviewPrefetcher;
class PreviewLoader;
struct Picture;
}  // namespace quarbel::imagelist

namespace quarbel::app {

class Form3JobHost;

class Form3 : public QWidget {
    Q_OBJECT

public:
    enum class Mode { Convert, Resize };

    // Builds the window from the layout (the program's own when none is given) and runs the
    // start-up sequence. The single-instance test is the caller's (see SingleInstance.h).
    explicit Form3(platform::PlatformServices services, QWidget* parent = nullptr);
    Form3(platform::PlatformServices services, const FormLayout& layout, QWidget* parent = nullptr);
    ~Form3() override;

    // The layout the program uses: the data file (installed or in the source tree) when it
    // parses, else the embedded copy. A broken data file is reported on standard error.
    static FormLayout programLayout();

    platform::PlatformServices& services() { return m_services; }

    // Window-level state.
    bool CancelRequested = false;
    QString TargetExtension;
    int PreviewWidth = 0;
    int PreviewHeight = 0;
    QString ChosenFolder;
    QString LastPickedFile;

    // Controls.
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* List1 = nullptr;
    QWidget* Picture1 = nullptr;
    QGroupBox* fraAdvanced = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* Combo2 = nullptr;
    QLabel* Label4 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QGroupBox* fraSize = nullptr;
    QLabel* lblWidth = nullptr;
    QLineEdit* txtWidth = nullptr;
    QLabel* lblUnitsW = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLabel* lblHeight = nullptr;
    QLineEdit* txtHeight = nullptr;
    QLabel* lblUnitsH = nullptr;
    QLabel* lblQuick = nullptr;
    QComboBox* cbQuick = nullptr;
    QGroupBox* fraOptions = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    XpB* XpB1 = nullptr;
    QLineEdit* FlatEdit1 = nullptr;
    ThemedButton* ThemedButton1 = nullptr;
    QLineEdit* FlatEdit2 = nullptr;
    ThemedButton* ThemedButton2 = nullptr;
    XP_ProgressBar* XP_ProgressBar1 = nullptr;
    QLabel* percent = nullptr;
    XpB* XpB6 = nullptr;
    ThemedButton* ThemedButton4 = nullptr;
    ThemedButton* ThemedButton3 = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    // Status bar panels 1..4.
    QLabel* panel(int number) const;
    QString panelText(int number) const;
    void setPanelText(int number, const QString& text);

    // The thin frame lines, as the layout places them.
    const QList<QLine>& frameLines() const { return m_frameLines; }

    // Commands.
    void ThemedButton3_Click();  // start: the chosen mode's job, then the open-folder step
    void ThemedButton4_Click();  // Cancel: only sets CancelRequested
    void XpB6_Click();           // Help: the help page with the desktop's default handler
    bool jobRunning() const { return m_jobRunning; }
    // Status panel 1 clicked: the last job's failed files and why, when it announced any.
    void showFailureDetails();

    // Option rules.
    void RadioButton1_Click();
    void RadioButton2_Click();
    void Combo1_Click();
    void txtWidth_Change();
    void txtHeight_Change();
    void cbQuick_Click();
    void cbQuick_Change();
    // Selects a quick-size item by code (its text replaces any typed one) and runs its rule.
    void selectQuickSize(int index);

    // Image list: handlers and state defined in Form3ImageList.cpp
    void connectImageList();
    void ThemedButton1_Click();  // Source: one file (Single) or a folder's images (Multiple)
    void ThemedButton2_Click();  // Destination: the output folder picker
    void opensingle();
    void openmultiple();
    void BrowseInputFolder();  // both write ChosenFolder ("" when cancelled)
    void BrowseOutputFolder();
    void List1_Click();  // the current item changed: preview and details
    void List1_MouseDown(Qt::MouseButton button, QPoint point);  // point in the list's viewport
    // The keyboard's ways to the list's commands: the context-menu key (or Shift+F10) opens
    // the menu the right button would at the current item; Delete removes the current item.
    void List1_MenuKey();
    void List1_DeleteKey();
    void List1_OLEDragDrop(const QStringList& names);  // dropped local paths, in order
    void pastefile_Click();
    void mnuRemove_Click();
    void mnuRemoveAll_Click();
    void XpB1_Click();  // Clear, after asking
    void ShowPreview(const QString& path);
    void ShowFileDetails(const QString& name, qint64 length, int count);
    void RefreshSizeFields();
    void ResetEmptyList();
    imagelist::PreviewBox* preview() const { return m_preview; }
    // The decoded previews, shared with the thread that decodes the neighbours' previews ahead.
    imagelist::PreviewCache& previewCache() const { return *m_previewCache; }
    imagelist::PreviewPrefetcher& prefetcher() const { return *m_prefetch; }
    // Runs events until the preview asked for last is shown or has failed (tests; at most 30 s).
    void waitForPreview();

    // The list's right-click menu: Paste, a separator, Delete, a separator, Delete All.
    QMenu* menu = nullptr;
    QAction* pastefile = nullptr;
    QAction* mnucaption = nullptr;
    QAction* mnuRemove = nullptr;
    QAction* mnuRemoveAll = nullptr;

private:
    // Appends paths to the list in order (one layout pass however many there are).
    void appendToList(const QStringList& paths);
    // Runs a folder walk with a busy cursor and its running count in status panel 4,
    // repainting (but taking no input) meanwhile; panel 4 gets its text back afterwards.
    QStringList walkWithFeedback(
        const std::function<QStringList(const std::function<void(qsizetype)>&)>& walk);
    // Changes the current row, running List1_Click when it changes.
    void selectRow(int row);
    // Removes rows without running List1_Click for the rows Qt makes current meanwhile.
    void removeRows(const std::function<void()>& remove);
    // The list's menu with the commands the list's state allows, at a point of the screen.
    void showListMenu(QPoint screen);
    // Empties the preview box and its description.
    void clearPreview();

    // Decodes the previews of these rows ahead, once the window is idle.
    void prefetchRows(const QList<int>& rows);

    // The preview asked of the loader and not yet shown or failed. Until its size is known
    // the sizes are the last picture's; what was written with them is written again.
    struct PendingPreview {
        QString path;
        int widthBefore = 0, heightBefore = 0;  // PreviewWidth and PreviewHeight when asked
        bool sizeKnown = false;
        bool detailsWritten = false;  // status panel 2 shows the sizes
        bool fieldsWritten = false;   // the size fields do
    };
    // How long what reads the sizes waits for the header of a picture just asked for: reading
    // it takes milliseconds, unless the file sits on a slow disk or its worker must start.
    static constexpr std::chrono::milliseconds kPreviewSizeWait{1000};
    void connectPreview();
    // Waits up to `most` for the pending preview's size (from its header) and takes it.
    void settlePreviewSize(std::chrono::milliseconds most);
    void takePreviewSize(QSize size);
    void rewriteWithPreviewSize();
    void previewSizeRead(QSize size);
    void previewShown(const imagelist::Picture& picture);
    void previewFailed(const QString& reason);
    // The pending preview is no longer wanted (a job starts, the list is emptied).
    void abandonPreview();

    imagelist::PreviewBox* m_preview = nullptr;
    bool m_listChanging = false;  // List1_Click is not run while set
    std::shared_ptr<imagelist::PreviewCache> m_previewCache;
    std::unique_ptr<imagelist::PreviewPrefetcher> m_prefetch;
    std::unique_ptr<imagelist::PreviewLoader> m_previewLoader;
    std::optional<PendingPreview> m_pendingPreview;
    QTimer* m_prefetchTimer = nullptr;  // fires once pending events have run
    QStringList m_prefetchPaths;
    int m_shownRow = -1;  // the row List1_Click showed last: which way the selection moves

public:
    // (end of the image list's section)

signals:
    // After every job the start command ran (tests and front ends that list results).
    void jobFinished(const quarbel::jobs::JobSummary& summary);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class Form3JobHost;

    void createControls();
    void applyLayout(const FormLayout& layout);
    void connectOptions();
    void connectCommands();
    // Names and labels for assistive technology, and the keyboard's Tab order.
    void describeControls();
    void Form_Load();
    void applyModeRule(Mode mode);
    void runJob(Mode mode);
    void openDestinationFolder();
    void showFailures(const quarbel::jobs::JobSummary& summary);
    // Sets a field's text unless it already shows it (an unchanged text raises no change).
    static void setFieldText(QLineEdit* field, const QString& text);
    void applyQuickFactor(float factor);

    platform::PlatformServices m_services;
    std::unique_ptr<Form3JobHost> m_jobHost;
    std::array<QLabel*, 4> m_panels{};
    QList<QLine> m_frameLines;
    QList<QColor> m_frameLineColors;
    bool m_jobRunning = false;
    bool m_closeRequested = false;
    QString m_failureDetails;  // the last job's failed files, while panel 1 announces them
};

}  // namespace quarbel::app
