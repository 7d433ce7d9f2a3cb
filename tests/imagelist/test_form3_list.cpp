// The window's list handlers on services a test answers: adding, selecting, the menu's
// rules, removing and the no-files state. The real dialogs, clipboard, drops and message
// boxes are driven end to end in tests/e2e.

#include "QtTestApp.h"
#include "app/Form3.h"
#include "controls/picturebutton/XpB.h"
#include "controls/progressbar/XP_ProgressBar.h"
#include "formats/Formats.h"
#include "imagelist/FormatSize.h"
#include "imagelist/Placement.h"
#include "imagelist/PreviewBox.h"
#include "imagelist/PreviewCache.h"
#include "platform/PlatformServices.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QThread>

namespace quarbel::imagelist {
namespace {

struct Asked {
    QString text, title;
    platform::MessageIcon icon;
    platform::MessageButtons buttons;
};

class ScriptedMessages : public platform::MessageBoxes {
public:
    platform::MessageAnswer show(QWidget*, const QString& text, const QString& title,
                                 platform::MessageIcon icon, platform::MessageButtons buttons) override
    {
        asked.append({text, title, icon, buttons});
        return buttons == platform::MessageButtons::Ok ? platform::MessageAnswer::Ok : answer;
    }
    QList<Asked> asked;
    platform::MessageAnswer answer = platform::MessageAnswer::No;
};

class ScriptedDialogs : public platform::FileDialogs {
public:
    QString openFile(QWidget*, const QString& start, const QString& filter) override
    {
        starts.append(start);
        filters.append(filter);
        return file;
    }
    QString pickFolder(QWidget*, const QString& title, const QString& start) override
    {
        titles.append(title);
        starts.append(start);
        return folder;
    }
    QString picturesFolder() override { return pictures; }
    QString file, folder, pictures = QStringLiteral("/home/someone/Pictures");
    QStringList starts, filters, titles;
};

class ScriptedClipboard : public platform::Clipboard {
public:
    QStringList localFiles() const override { return files; }
    QStringList files;
};

class Form3List : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ensureApp();
        ASSERT_TRUE(dir.isValid());
        platform::PlatformServices services{messages, std::make_shared<platform::QtShell>(), dialogs,
                                            clipboard};
        form = std::make_unique<app::Form3>(services);
    }

    // A real picture file (PNG content whatever the name): `color` on the left half, white
    // on the right half.
    QString picture(const QString& name, QSize size, QColor color = QColor(30, 60, 200))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), color);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path, "PNG")) << path.toStdString();
        return path;
    }
    QString textFile(const QString& name)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("plain text, not a picture");
        return path;
    }
    QStringList items() const
    {
        QStringList out;
        for (int i = 0; i < form->List1->count(); ++i)
            out.append(form->List1->item(i)->text());
        return out;
    }
    QStringList panels() const
    {
        return {form->panelText(1), form->panelText(2), form->panelText(3), form->panelText(4)};
    }
    // Five real pictures of different sizes, dropped on the list.
    QStringList fivePictures()
    {
        QStringList paths;
        for (int i = 0; i < 5; ++i)
            paths.append(picture(QStringLiteral("p%1.png").arg(i), QSize(100 + i * 10, 50 + i)));
        form->List1_OLEDragDrop(paths);
        return paths;
    }
    QPoint rowCentre(int row) const { return form->List1->visualItemRect(form->List1->item(row)).center(); }

    QTemporaryDir dir;
    std::shared_ptr<ScriptedMessages> messages = std::make_shared<ScriptedMessages>();
    std::shared_ptr<ScriptedDialogs> dialogs = std::make_shared<ScriptedDialogs>();
    std::shared_ptr<ScriptedClipboard> clipboard = std::make_shared<ScriptedClipboard>();
    std::unique_ptr<app::Form3> form;
};

TEST_F(Form3List, SelectingAPictureShowsItFittedAndWritesTheFourPanels)
{
    const QString path = picture("wide.png", QSize(400, 100));
    form->List1_OLEDragDrop({path});
    ASSERT_EQ(form->List1->currentRow(), 0);
    form->waitForPreview();
    EXPECT_EQ(form->PreviewWidth, 400);
    EXPECT_EQ(form->PreviewHeight, 100);
    EXPECT_EQ(panels(), (QStringList{"Name: wide.png", "Dimensions: 400 x 100", sizeText(QFile(path).size()),
                                     "Total Files: 1"}));
    EXPECT_TRUE(form->XpB1->isEnabled());

    const QImage canvas = form->preview()->canvas();
    ASSERT_EQ(canvas.size(), form->Picture1->size());
    const QRect drawn = DrawScaled({400, 100}, canvas.size(), AspectRatio::Keep);
    EXPECT_EQ(canvas.pixel(drawn.center().x(), drawn.top() - 2), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(drawn.center().x(), drawn.bottom() + 2), qRgb(255, 255, 255));
    const QRgb left = canvas.pixel(drawn.left() + 5, drawn.center().y());
    EXPECT_LT(qRed(left), 60);
    EXPECT_GT(qBlue(left), 160);
}

TEST_F(Form3List, NeighboursAreDecodedAheadAndAChangedFileIsShownAnew)
{
    QStringList paths;
    for (int i = 0; i < 4; ++i)
        paths << picture(QString("p%1.png").arg(i), QSize(40 + i, 30));
    form->List1_OLEDragDrop(paths);
    ASSERT_EQ(form->List1->currentRow(), 0);
    const QSize box = form->preview()->deviceBoxSize();
    const auto decodedAhead = [&](int row) {
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && !form->previewCache().holds(paths[row], box)) {
            QCoreApplication::processEvents();
            QThread::msleep(2);
        }
        return form->previewCache().holds(paths[row], box);
    };
    EXPECT_TRUE(decodedAhead(1));
    form->List1->setCurrentRow(2);
    EXPECT_TRUE(decodedAhead(3));

    // the file behind row 1 is replaced by a larger picture: selecting it shows the new one
    QFile::remove(paths[1]);
    picture("p1.png", QSize(90, 30));
    form->List1->setCurrentRow(1);
    form->waitForPreview();
    EXPECT_EQ(form->panelText(2), "Dimensions: 90 x 30");
}

TEST_F(Form3List, UndecodableFileBlanksThePreviewAndKeepsTheEarlierDimensions)
{
    // A cut picture's header gives its size before its pixels fail: the sizes go back.
    QImage noise(900, 700, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgb((x * 7 + y * 13) % 256, (x * y) % 256, (x ^ y) % 256));
    const QString cut = dir.filePath("cut.png");
    ASSERT_TRUE(noise.save(cut));
    QFile(cut).resize(QFile(cut).size() / 2);

    for (const QString& bad : {textFile("notes.gif"), cut}) {
        SCOPED_TRACE(bad.toStdString());
        form->List1->clear();
        form->RadioButton2->setChecked(true);
        form->RadioButton2_Click();
        const QString good = picture("good.png", QSize(64, 48));
        form->List1_OLEDragDrop({good, bad});
        ASSERT_EQ(form->List1->currentRow(), 0);
        form->List1->setCurrentRow(1);
        form->waitForPreview();
        EXPECT_TRUE(form->preview()->isEmpty());
        EXPECT_EQ(panels(), (QStringList{"Name: " + QFileInfo(bad).fileName(), "Dimensions: 64 x 48",
                                         sizeText(QFile(bad).size()), "Total Files: 2"}));
        EXPECT_EQ(form->txtWidth->text(), "64");
        EXPECT_EQ(form->txtHeight->text(), "48");
    }
}

TEST_F(Form3List, ResizeModeTakesTheSelectedPicturesSizeConvertModeDoesNot)
{
    const QString a = picture("a.png", QSize(64, 48));
    const QString b = picture("b.png", QSize(30, 20));
    form->List1_OLEDragDrop({a, b});
    form->txtWidth->setText("7");
    form->List1->setCurrentRow(1);  // Convert mode: the fields keep their texts
    EXPECT_EQ(form->txtWidth->text(), "7");

    form->RadioButton2->setChecked(true);
    form->RadioButton2_Click();
    form->List1->setCurrentRow(0);
    form->waitForPreview();
    EXPECT_EQ(form->txtWidth->text(), "64");
    EXPECT_EQ(form->txtHeight->text(), "48");
    EXPECT_EQ(form->cbQuick->currentText(), "100%");
    EXPECT_TRUE(form->cbQuick->isEnabled());
}

TEST_F(Form3List, SingleAddAppendsWithoutChangingTheCurrentItemAndCountsRepeats)
{
    const QString photo = picture("holiday.jpeg", QSize(40, 30));
    dialogs->file = photo;
    form->ThemedButton1_Click();
    EXPECT_EQ(dialogs->starts.value(0), dialogs->pictures);  // first dialog: the picture folder
    EXPECT_TRUE(dialogs->filters.value(0).startsWith("Image Files|*.jpg;*.jpeg;*.jpe;"));
    EXPECT_EQ(dialogs->filters.value(0).toStdString(), formats::openDialogFilter());  // the table's
    form->ThemedButton1_Click();
    EXPECT_EQ(dialogs->starts.value(1), photo);  // then the file picked last
    EXPECT_EQ(items(), (QStringList{photo, photo}));
    EXPECT_EQ(form->List1->currentRow(), -1);
    EXPECT_EQ(form->FlatEdit1->text(), photo);
    EXPECT_EQ(form->LastPickedFile, photo);
    EXPECT_EQ(form->panelText(4), "Total Files: 2");
    form->waitForPreview();
    EXPECT_EQ(form->panelText(2), "Dimensions: 40 x 30");
    form->waitForPreview();
    EXPECT_FALSE(form->preview()->isEmpty());
    EXPECT_TRUE(form->XpB1->isEnabled());
}

TEST_F(Form3List, CancelledOpenDialogChangesNothing)
{
    form->FlatEdit1->setText("kept");
    dialogs->file.clear();
    form->ThemedButton1_Click();
    EXPECT_TRUE(items().isEmpty());
    EXPECT_EQ(form->FlatEdit1->text(), "kept");
    EXPECT_EQ(panels(), (QStringList{"", "", "", ""}));
    EXPECT_TRUE(messages->asked.isEmpty());
    EXPECT_FALSE(form->XpB1->isEnabled());
}

TEST_F(Form3List, MultipleAddTakesAcceptedNamesAndSelectsTheFirstItem)
{
    for (const char* name : {"a.JPG", "b.jpeg", "c.Png", "d.tif", "e.TIFF"})
        picture(name, QSize(20, 10));
    dialogs->folder = dir.path();
    form->RadioButton4->setChecked(true);
    form->ThemedButton1_Click();
    EXPECT_EQ(dialogs->titles.value(0), "Quarbel Image Converter - Please select input folder.");
    EXPECT_EQ(dialogs->starts.value(0), "/");
    EXPECT_EQ(items(), (QStringList{dir.filePath("a.JPG"), dir.filePath("d.tif")}));
    EXPECT_EQ(form->FlatEdit1->text(), dir.path());
    EXPECT_EQ(form->List1->currentRow(), 0);
    EXPECT_EQ(form->panelText(1), "Name: a.JPG");
    EXPECT_EQ(form->panelText(4), "Total Files: 2");
    EXPECT_TRUE(messages->asked.isEmpty());
}

TEST_F(Form3List, MultipleAddTakesNewerFormatsInOrderAndPreviewsAWebp)
{
    // A real WebP first (made by cwebp), so that the first item's preview and size show.
    const QString png = picture("source.pngx", QSize(30, 20));
    QProcess cwebp;
    cwebp.start("cwebp", {"-quiet", png, "-o", dir.filePath("a.webp")});
    ASSERT_TRUE(cwebp.waitForFinished(60000) && cwebp.exitCode() == 0)
        << cwebp.readAllStandardError().toStdString();
    for (const char* name : {"e.heif", "c.png", "b.HEIC", "f.txt", "d.Avif", "g.webp.bak"})
        picture(name, QSize(20, 10));
    dialogs->folder = dir.path();
    form->RadioButton4->setChecked(true);
    form->ThemedButton1_Click();
    EXPECT_EQ(items(), (QStringList{dir.filePath("a.webp"), dir.filePath("b.HEIC"), dir.filePath("c.png"),
                                    dir.filePath("d.Avif"), dir.filePath("e.heif")}));
    EXPECT_EQ(form->panelText(1), "Name: a.webp");
    form->waitForPreview();
    EXPECT_EQ(form->panelText(2), "Dimensions: 30 x 20");
    form->waitForPreview();
    EXPECT_FALSE(form->preview()->isEmpty());
}

TEST_F(Form3List, MultipleAddOfAnEmptyFolderComplainsOnlyWhenTheListStaysEmpty)
{
    QDir(dir.path()).mkdir("empty");
    dialogs->folder = dir.filePath("empty");
    form->RadioButton4->setChecked(true);
    form->ThemedButton1_Click();
    ASSERT_EQ(messages->asked.size(), 1);
    EXPECT_EQ(messages->asked[0].text, " No image files to process.Please try again.");
    EXPECT_EQ(messages->asked[0].title, "Error");
    EXPECT_EQ(messages->asked[0].icon, platform::MessageIcon::Information);

    const QString first = picture("first.png", QSize(10, 10));
    clipboard->files = {first};
    form->pastefile_Click();
    form->List1->setCurrentRow(-1);
    form->ThemedButton1_Click();
    EXPECT_EQ(messages->asked.size(), 1);
    EXPECT_EQ(form->List1->currentRow(), 0);
    EXPECT_EQ(form->panelText(1), "Name: first.png");
}

TEST_F(Form3List, CancelledFolderPickersChangeNothing)
{
    dialogs->folder.clear();
    form->RadioButton4->setChecked(true);
    form->FlatEdit2->setText("/out");
    form->ThemedButton1_Click();
    form->ThemedButton2_Click();
    EXPECT_TRUE(messages->asked.isEmpty());
    EXPECT_EQ(form->FlatEdit2->text(), "/out");
    EXPECT_EQ(form->ChosenFolder, "");

    dialogs->folder = "/";
    form->ThemedButton2_Click();
    EXPECT_EQ(dialogs->titles.last(), "Quarbel Image Converter - Please select output folder.");
    EXPECT_EQ(form->FlatEdit2->text(), "/");
}

TEST_F(Form3List, PasteAppendsAcceptedNamesUncheckedAndEnablesQuickSize)
{
    const QString existing = picture("x.png", QSize(10, 10));
    clipboard->files = {dir.path(), dir.filePath("gone.png"), existing, dir.filePath("a.txt")};
    ASSERT_FALSE(form->cbQuick->isEnabled());
    form->pastefile_Click();
    EXPECT_EQ(items(), (QStringList{dir.filePath("gone.png"), existing}));
    EXPECT_TRUE(form->cbQuick->isEnabled());  // even in Convert mode
    EXPECT_EQ(form->panelText(4), "Total Files: 2");
    EXPECT_EQ(form->List1->currentRow(), 0);

    clipboard->files.clear();  // nothing on the clipboard: nothing happens
    form->pastefile_Click();
    EXPECT_EQ(items().size(), 2);
}

// Records what a status panel shows each time it is painted.
class PaintedTexts : public QObject {
public:
    explicit PaintedTexts(QLabel* panel) : m_panel(panel) { panel->installEventFilter(this); }
    QStringList texts;
    QList<bool> busy;  // whether the busy cursor was up at each paint

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_panel && event->type() == QEvent::Paint) {
            texts.append(m_panel->text());
            busy.append(QApplication::overrideCursor() != nullptr);
        }
        return false;
    }

private:
    QLabel* m_panel;
};

TEST_F(Form3List, LongFolderWalkShowsItsCountWhileBusyAndKeepsTheOrder)
{
    QDir(dir.path()).mkdir("many");
    QStringList expected;
    for (int i = 0; i < 600; ++i) {
        const QString path = dir.filePath(QStringLiteral("many/f%1.gif").arg(i, 4, 10, QChar(u'0')));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        expected.append(path);
    }
    form->show();
    QApplication::processEvents();
    PaintedTexts painted(form->panel(4));
    form->List1_OLEDragDrop({dir.filePath("many")});
    EXPECT_EQ(items(), expected);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy cursor is gone again
    const qsizetype during = painted.texts.indexOf("Reading folders... 512");
    ASSERT_GE(during, 0) << painted.texts.join(" | ").toStdString();
    EXPECT_TRUE(painted.busy[during]);
    EXPECT_EQ(form->panelText(4), "Total Files: 600");
}

TEST_F(Form3List, ListHoldsAndCountsFarMoreThan32767Items)
{
    QStringList names;
    for (int i = 0; i < 40000; ++i)
        names.append(QStringLiteral("/nowhere/img%1.jpg").arg(i));
    clipboard->files = names;
    form->pastefile_Click();
    EXPECT_EQ(form->List1->count(), 40000);
    EXPECT_EQ(form->panelText(4), "Total Files: 40000");
    EXPECT_EQ(form->List1->item(39999)->text(), "/nowhere/img39999.jpg");
}

TEST_F(Form3List, RightClickOnAnItemMakesItCurrentAndEnablesBothDeletes)
{
    const QStringList paths = fivePictures();
    form->show();
    form->List1_MouseDown(Qt::RightButton, rowCentre(2));
    EXPECT_EQ(form->List1->currentRow(), 2);
    EXPECT_EQ(form->panelText(1), "Name: p2.png");
    EXPECT_TRUE(form->menu->isVisible());
    EXPECT_FALSE(form->pastefile->isEnabled());
    EXPECT_TRUE(form->mnuRemove->isEnabled());
    EXPECT_TRUE(form->mnuRemoveAll->isEnabled());
    form->menu->hide();

    // below the last item: the first item
    const QRect last = form->List1->visualItemRect(form->List1->item(4));
    form->List1_MouseDown(Qt::RightButton, {last.center().x(), last.bottom() + 20});
    EXPECT_EQ(form->List1->currentRow(), 0);
    form->menu->hide();

    // a left button only disables Paste
    clipboard->files = {"/copied/photo.jpg"};
    form->List1_MouseDown(Qt::RightButton, rowCentre(1));
    EXPECT_TRUE(form->pastefile->isEnabled());
    form->menu->hide();
    form->List1_MouseDown(Qt::LeftButton, rowCentre(3));
    EXPECT_FALSE(form->pastefile->isEnabled());
    EXPECT_FALSE(form->menu->isVisible());
}

TEST_F(Form3List, RightClickOnASingleItemOffersDeleteButNotDeleteAll)
{
    form->List1_OLEDragDrop({picture("only.png", QSize(8, 8))});
    form->show();
    form->List1_MouseDown(Qt::RightButton, rowCentre(0));
    EXPECT_TRUE(form->mnuRemove->isEnabled());
    EXPECT_FALSE(form->mnuRemoveAll->isEnabled());
    form->menu->hide();
}

TEST_F(Form3List, DeleteRemovesTheCurrentItemAndMakesTheLastOneCurrent)
{
    const QStringList paths = fivePictures();
    form->List1->setCurrentRow(1);
    form->mnuRemove_Click();
    EXPECT_EQ(items(), (QStringList{paths[0], paths[2], paths[3], paths[4]}));
    EXPECT_EQ(form->List1->currentRow(), 3);
    EXPECT_EQ(form->panelText(1), "Name: p4.png");
    form->waitForPreview();
    EXPECT_EQ(form->panelText(2), "Dimensions: 140 x 54");
    EXPECT_EQ(form->panelText(4), "Total Files: 4");

    form->mnuRemove_Click();  // removing the last item: the new last one is current
    EXPECT_EQ(items(), (QStringList{paths[0], paths[2], paths[3]}));
    EXPECT_EQ(form->List1->currentRow(), 2);
    EXPECT_EQ(form->panelText(1), "Name: p3.png");
}

TEST_F(Form3List, DeletingTheOnlyItemReturnsToTheNoFilesState)
{
    form->List1_OLEDragDrop({picture("only.png", QSize(40, 20))});
    form->RadioButton2->setChecked(true);
    form->RadioButton2_Click();
    form->List1->setCurrentRow(-1);
    form->List1->setCurrentRow(0);
    form->FlatEdit1->setText("/src");
    form->FlatEdit2->setText("/dst");
    form->XP_ProgressBar1->setValue(50);
    form->XP_ProgressBar1->setColor(0x00FF00);
    form->percent->show();
    form->waitForPreview();
    ASSERT_EQ(form->txtWidth->text(), "40");
    ASSERT_FALSE(form->preview()->isEmpty());

    form->mnuRemove_Click();
    EXPECT_EQ(form->List1->count(), 0);
    EXPECT_EQ(panels(), (QStringList{"", "", "", ""}));
    EXPECT_EQ(form->txtWidth->text(), "0");
    EXPECT_EQ(form->txtHeight->text(), "0");
    EXPECT_FALSE(form->cbQuick->isEnabled());
    EXPECT_EQ(form->FlatEdit1->text(), "");
    EXPECT_EQ(form->FlatEdit2->text(), "");
    EXPECT_TRUE(form->preview()->isEmpty());
    EXPECT_EQ(form->XP_ProgressBar1->Value(), 0);
    EXPECT_EQ(form->XP_ProgressBar1->Color(), 0xFFFFFFu);
    EXPECT_TRUE(form->percent->isHidden());
    EXPECT_FALSE(form->XpB1->isEnabled());
    // what the reset leaves alone
    EXPECT_EQ(form->PreviewWidth, 40);
    EXPECT_TRUE(form->RadioButton2->isChecked());
}

TEST_F(Form3List, DeleteAllEmptiesTheListAndResets)
{
    fivePictures();
    form->FlatEdit2->setText("/dst");
    form->mnuRemoveAll_Click();
    EXPECT_EQ(form->List1->count(), 0);
    EXPECT_EQ(form->FlatEdit2->text(), "");
    EXPECT_EQ(panels(), (QStringList{"", "", "", ""}));
    EXPECT_FALSE(form->XpB1->isEnabled());
}

}  // namespace
}  // namespace quarbel::imagelist
