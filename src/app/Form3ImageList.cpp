// The image list's side of the window: the Source and Destination buttons, the list's
// click, context menu, drag-and-drop and paste, Clear, and the preview.

#include "app/Form3.h"

#include "controls/picturebutton/XpB.h"
#include "controls/progressbar/XP_ProgressBar.h"
#include "controls/themedbutton/ThemedButton.h"
#include "formats/Formats.h"
#include "imagelist/AddRules.h"
#include "imagelist/FormatSize.h"
#include "imagelist/ListHitTest.h"
#include "imagelist/MenuRules.h"
#include "imagelist/Paths.h"
#include "imagelist/PictureLoader.h"
#include "imagelist/PreviewBox.h"
#include "imagelist/PreviewCache.h"
#include "imagelist/PreviewPrefetch.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTimer>
#include <exception>

namespace quarbel::app {

namespace il = imagelist;

namespace {

const QString kOpenFilter = QString::fromStdString(formats::openDialogFilter());  // the table of formats
const QString kInputFolderTitle = QStringLiteral("Quarbel Image Converter - Please select input folder.");
const QString kOutputFolderTitle = QStringLiteral("Quarbel Image Converter - Please select output folder.");
const QString kPickerStart = QStringLiteral("/");
const QString kNoImages = QStringLiteral(" No image files to process.Please try again.");
const QString kClearQuestion = QStringLiteral("Do you want to clear?");
const QString kClearTitle = QStringLiteral("Quarbel Image Converter");

// Runs a handler; a failure inside it ends it quietly, keeping what it had done.
template <typename F>
void quietly(F&& handler)
{
    try {
        handler();
    } catch (const std::exception&) {
    }
}

il::Subfolders subfoldersOf(const QCheckBox* box)
{
    return box->isChecked() ? il::Subfolders::Include : il::Subfolders::Exclude;
}

// Drops, the right button and the paste keys on the list, handed to the window's handlers.
class ListEvents : public QObject {
public:
    ListEvents(Form3& form) : QObject(&form), m_form(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        QListWidget* list = m_form.List1;
        const bool onViewport = watched == list->viewport();
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
            if (onViewport) {
                auto* drag = static_cast<QDropEvent*>(event);
                if (platform::localFilesFromMime(drag->mimeData()).isEmpty()) {
                    drag->ignore();
                } else {
                    drag->setDropAction(Qt::CopyAction);
                    drag->accept();
                }
                return true;
            }
            break;
        case QEvent::Drop:
            if (onViewport) {
                auto* drop = static_cast<QDropEvent*>(event);
                QStringList names;
                for (const QString& path : platform::localFilesFromMime(drop->mimeData()))
                    names.append(il::withoutTrailingSlash(path));
                drop->setDropAction(Qt::CopyAction);
                drop->accept();
                quietly([&] { m_form.List1_OLEDragDrop(names); });
                return true;
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (onViewport) {
                auto* mouse = static_cast<QMouseEvent*>(event);
                const Qt::MouseButton button = mouse->button();
                const QPoint point = mouse->position().toPoint();
                quietly([&] { m_form.List1_MouseDown(button, point); });
                return button == Qt::RightButton;  // the list does not move its selection itself
            }
            break;
        case QEvent::ContextMenu:
            if (!onViewport && watched != list)
                break;
            // The mouse's menu opens on the button press; the keyboard's opens here.
            if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard)
                quietly([&] { m_form.List1_MenuKey(); });
            return true;
        case QEvent::KeyPress:
            if (watched == list && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
                quietly([&] { m_form.pastefile_Click(); });
                return true;
            }
            if (watched == list) {
                const auto* key = static_cast<QKeyEvent*>(event);
                if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
                    quietly([&] { m_form.List1_DeleteKey(); });
                    return true;
                }
                if (key->key() == Qt::Key_Menu ||
                    (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
                    quietly([&] { m_form.List1_MenuKey(); });
                    return true;
                }
            }
            break;
        default: break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Form3& m_form;
};

}  // namespace

void Form3::connectImageList()
{
    m_preview = new il::PreviewBox(Picture1);
    m_previewCache = std::make_shared<il::PreviewCache>();
    m_prefetch = std::make_unique<il::PreviewPrefetcher>(m_previewCache);
    connectPreview();
    m_prefetchTimer = new QTimer(this);
    m_prefetchTimer->setSingleShot(true);
    m_prefetchTimer->setInterval(0);
    connect(m_prefetchTimer, &QTimer::timeout, this, [this] {
        // No thread to be had (or no memory) only means nothing is decoded ahead.
        if (!m_jobRunning)
            quietly([this] { m_prefetch->want(m_prefetchPaths, m_preview->deviceBoxSize()); });
    });

    List1->setUniformItemSizes(true);  // tens of thousands of rows lay out at once
    List1->setAcceptDrops(true);
    List1->viewport()->setAcceptDrops(true);
    auto* events = new ListEvents(*this);
    List1->installEventFilter(events);
    List1->viewport()->installEventFilter(events);

    menu = new QMenu(QStringLiteral("Menu"), this);
    menu->setObjectName(QStringLiteral("menu"));
    pastefile = menu->addAction(QStringLiteral("Paste"));
    pastefile->setObjectName(QStringLiteral("pastefile"));
    mnucaption = menu->addSeparator();
    mnucaption->setObjectName(QStringLiteral("mnucaption"));
    mnuRemove = menu->addAction(QStringLiteral("Delete"));
    mnuRemove->setObjectName(QStringLiteral("mnuRemove"));
    menu->addSeparator()->setObjectName(QStringLiteral("caption"));
    mnuRemoveAll = menu->addAction(QStringLiteral("Delete All"));
    mnuRemoveAll->setObjectName(QStringLiteral("mnuRemoveAll"));

    connect(pastefile, &QAction::triggered, this, [this] { quietly([this] { pastefile_Click(); }); });
    connect(mnuRemove, &QAction::triggered, this, [this] { quietly([this] { mnuRemove_Click(); }); });
    connect(mnuRemoveAll, &QAction::triggered, this, [this] { quietly([this] { mnuRemoveAll_Click(); }); });
    connect(ThemedButton1, &ThemedButton::Click, this,
            [this] { quietly([this] { ThemedButton1_Click(); }); });
    connect(ThemedButton2, &ThemedButton::Click, this,
            [this] { quietly([this] { ThemedButton2_Click(); }); });
    connect(XpB1, &XpB::Click, this, [this] { quietly([this] { XpB1_Click(); }); });
    connect(List1, &QListWidget::currentRowChanged, this, [this] {
        if (!m_listChanging)
            quietly([this] { List1_Click(); });
    });
}

// ---- adding ----

void Form3::ThemedButton1_Click()
{
    if (RadioButton3->isChecked())
        quietly([this] { opensingle(); });
    if (RadioButton4->isChecked())
        quietly([this] { openmultiple(); });
    if (List1->count() >= 1)
        XpB1->setEnabled(true);
}

void Form3::opensingle()
{
    if (LastPickedFile.isEmpty())
        LastPickedFile = m_services.dialogs->picturesFolder();
    const QString path = m_services.dialogs->openFile(this, LastPickedFile, kOpenFilter);
    if (path.isEmpty())
        return;  // cancelled: nothing changes
    const QString name = il::fileName(path);
    const qint64 length = il::fileLength(path);
    if (length < 0)
        return;  // not a readable file
    LastPickedFile = path;
    FlatEdit1->setText(path);
    if (il::fileExists(FlatEdit1->text()))
        appendToList({path});
    ShowPreview(path);
    ShowFileDetails(name, length, List1->count());
    RefreshSizeFields();
}

void Form3::openmultiple()
{
    BrowseInputFolder();
    if (ChosenFolder.isEmpty())
        return;
    FlatEdit1->setText(ChosenFolder);
    const QString folder = FlatEdit1->text();
    const il::Subfolders subfolders = subfoldersOf(CheckBox2);
    appendToList(walkWithFeedback(
        [&](const il::WalkProgress& progress) { return il::folderImages(folder, subfolders, progress); }));
    setPanelText(4, il::totalFilesText(List1->count()));
    if (List1->count() >= 1) {
        ShowPreview(List1->item(0)->text());
        selectRow(0);
        prefetchRows(il::neighbourRows(0, -1, List1->count()));
        return;
    }
    m_services.messages->show(this, kNoImages, QStringLiteral("Error"), platform::MessageIcon::Information,
                              platform::MessageButtons::Ok);
}

void Form3::List1_OLEDragDrop(const QStringList& names)
{
    const il::Subfolders subfolders = subfoldersOf(CheckBox2);
    appendToList(walkWithFeedback(
        [&](const il::WalkProgress& progress) { return il::droppedImages(names, subfolders, progress); }));
    const int count = List1->count();
    if (count == 0)
        return;
    ShowPreview(List1->item(0)->text());
    // Every item from the second to the last became current in turn, then the first, so
    // the details end with the first item's after the last one's. Going to the last and
    // then to the first gives that end without decoding every item of a large drop.
    if (count > 1)
        selectRow(count - 1);
    selectRow(0);
    RefreshSizeFields();
    prefetchRows(il::neighbourRows(0, -1, count));
}

void Form3::pastefile_Click()
{
    const QStringList names = m_services.clipboard->localFiles();
    if (names.isEmpty())
        return;
    const QStringList images = il::pastedImages(names);
    appendToList(images);
    if (!images.isEmpty())
        cbQuick->setEnabled(true);
    setPanelText(4, il::totalFilesText(List1->count()));
    if (List1->count() >= 1) {
        ShowPreview(List1->item(0)->text());
        selectRow(0);
        prefetchRows(il::neighbourRows(0, -1, List1->count()));
    }
}

// ---- folder pickers ----

void Form3::BrowseInputFolder()
{
    ChosenFolder = m_services.dialogs->pickFolder(this, kInputFolderTitle, kPickerStart);
}

void Form3::BrowseOutputFolder()
{
    ChosenFolder = m_services.dialogs->pickFolder(this, kOutputFolderTitle, kPickerStart);
}

void Form3::ThemedButton2_Click()
{
    BrowseOutputFolder();
    if (!ChosenFolder.isEmpty())
        FlatEdit2->setText(ChosenFolder);
}

// ---- selection, preview and details ----

void Form3::List1_Click()
{
    clearPreview();
    QListWidgetItem* current = List1->currentItem();
    const QString text = current ? current->text() : QString();
    ShowPreview(text);
    const int row = List1->currentRow();
    prefetchRows(il::neighbourRows(row, m_shownRow, List1->count()));
    m_shownRow = row;
    if (text.isEmpty()) {
        clearPreview();
        return;
    }
    const qint64 length = il::fileLength(text);
    if (length < 0)
        return;  // vanished or not a file: the details stay as they were
    ShowFileDetails(il::fileName(text), length, List1->count());
    RefreshSizeFields();
    if (List1->count() >= 1)
        XpB1->setEnabled(true);
}

void Form3::ShowFileDetails(const QString& name, qint64 length, int count)
{
    settlePreviewSize(kPreviewSizeWait);
    if (m_pendingPreview)
        m_pendingPreview->detailsWritten = true;
    setPanelText(1, il::nameText(name));
    setPanelText(2, il::dimensionsText(PreviewWidth, PreviewHeight));
    setPanelText(3, il::sizeText(length));
    setPanelText(4, il::totalFilesText(count));
}

void Form3::RefreshSizeFields()
{
    if (!RadioButton2->isChecked() || List1->count() < 1)
        return;
    settlePreviewSize(kPreviewSizeWait);
    if (m_pendingPreview)
        m_pendingPreview->fieldsWritten = true;
    cbQuick->setEnabled(true);
    selectQuickSize(4);
    setFieldText(txtWidth, QString::number(PreviewWidth));
    setFieldText(txtHeight, QString::number(PreviewHeight));
}

// ---- context menu, removing and Clear ----

void Form3::List1_MouseDown(Qt::MouseButton button, QPoint point)
{
    pastefile->setEnabled(false);
    if (button != Qt::RightButton)
        return;
    if (List1->count() >= 1) {
        const int row = il::GetRClickedItem(List1, point);
        if (row != -1)
            selectRow(row);
    }
    showListMenu(List1->viewport()->mapToGlobal(point));
}

void Form3::List1_MenuKey()
{
    const QListWidgetItem* current = List1->currentItem();
    const QPoint corner = current ? List1->visualItemRect(current).bottomLeft() : QPoint(0, 0);
    showListMenu(List1->viewport()->mapToGlobal(corner));
}

void Form3::List1_DeleteKey()
{
    if (List1->currentItem())
        mnuRemove_Click();
}

void Form3::showListMenu(QPoint where)
{
    const bool offered = !il::firstAcceptedName(m_services.clipboard->localFiles()).isEmpty();
    const il::ListMenuState state =
        il::listMenuFor(List1->count(), List1->currentItem() != nullptr,
                        offered ? il::ClipboardImages::Offered : il::ClipboardImages::None);
    pastefile->setEnabled(state.paste);
    mnuRemove->setEnabled(state.remove);
    mnuRemoveAll->setEnabled(state.removeAll);
    if (state.shown)
        menu->popup(where);
}

void Form3::mnuRemove_Click()
{
    const int row = List1->currentRow();
    removeRows([&] {
        if (row >= 0)
            delete List1->takeItem(row);
        List1->setCurrentRow(-1);
    });
    // The last item becomes current, not the removed one's neighbour.
    selectRow(List1->count() - 1);
    if (List1->count() == 0) {
        ResetEmptyList();
        List1_Click();
    }
}

void Form3::mnuRemoveAll_Click()
{
    removeRows([this] { List1->clear(); });
    if (List1->count() == 0)
        ResetEmptyList();
}

void Form3::XpB1_Click()
{
    if (List1->count() == 0)
        return;
    const platform::MessageAnswer answer = m_services.messages->show(
        this, kClearQuestion, kClearTitle, platform::MessageIcon::Question, platform::MessageButtons::YesNo);
    if (answer != platform::MessageAnswer::Yes)
        return;
    removeRows([this] { List1->clear(); });
    ResetEmptyList();
}

void Form3::ResetEmptyList()
{
    for (int panelNumber = 1; panelNumber <= 4; ++panelNumber)
        setPanelText(panelNumber, QString());
    setFieldText(txtWidth, QStringLiteral("0"));
    setFieldText(txtHeight, QStringLiteral("0"));
    cbQuick->setEnabled(false);
    ThemedButton4->setEnabled(false);
    FlatEdit1->clear();
    FlatEdit2->clear();
    abandonPreview();
    clearPreview();
    XP_ProgressBar1->setValue(0);
    XP_ProgressBar1->setColor(0xFFFFFF);
    percent->hide();
    XpB1->setEnabled(false);
}

// ---- helpers ----

void Form3::appendToList(const QStringList& paths)
{
    if (!paths.isEmpty())
        List1->addItems(paths);
}

QStringList Form3::walkWithFeedback(
    const std::function<QStringList(const std::function<void(qsizetype)>&)>& walk)
{
    const QString before = panelText(4);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto progress = [this](qsizetype seen) {
        setPanelText(4, QStringLiteral("Reading folders... %1").arg(seen));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    QStringList found;
    quietly([&] { found = walk(progress); });
    QApplication::restoreOverrideCursor();
    setPanelText(4, before);
    return found;
}

void Form3::selectRow(int row)
{
    if (row < 0 || row >= List1->count() || row == List1->currentRow())
        return;
    List1->setCurrentRow(row);  // currentRowChanged runs List1_Click
}

void Form3::prefetchRows(const QList<int>& rows)
{
    m_prefetchPaths.clear();
    for (int row : rows)
        m_prefetchPaths.append(List1->item(row)->text());
    if (!m_prefetchPaths.isEmpty())
        m_prefetchTimer->start();
}

void Form3::clearPreview()
{
    m_preview->clear();
    Picture1->setAccessibleDescription(QString());
}

void Form3::removeRows(const std::function<void()>& remove)
{
    m_listChanging = true;
    quietly(remove);
    m_listChanging = false;
}

}  // namespace quarbel::app
