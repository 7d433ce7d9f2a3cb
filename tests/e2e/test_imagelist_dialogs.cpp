// The Source and Destination buttons in the real window on the real X platform: the real
// open-file dialog and folder pickers (Qt's own dialogs), driven as a person would, by
// typing a path and pressing Enter, or Escape to cancel.

#include "support/WindowE2E.h"

#include "app/Form3.h"
#include "controls/picturebutton/XpB.h"
#include "controls/themedbutton/ThemedButton.h"
#include "imagelist/FormatSize.h"
#include "imagelist/PreviewBox.h"
#include "platform/PlatformServices.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace quarbel;

namespace {

// What a file dialog showed when it was answered.
struct SeenDialog {
    QString title;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QStringList filters;
    QStringList filterLabels;  // as the dialog's file-type list shows them
};

QStringList filterLabels(const QFileDialog& dialog)
{
    QStringList labels;
    if (const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        for (int i = 0; i < types->count(); ++i)
            labels << types->itemText(i);
    return labels;
}

// Answers the next file dialog that opens: types `typed` into its name field and presses
// Enter, or presses Escape when `typed` is empty.
class DialogAnswerer {
public:
    explicit DialogAnswerer(QList<SeenDialog>& seen) : m_seen(seen) {}
    void answer(const QString& typed)
    {
        m_typed = typed;
        m_armed = true;
        QTimer::singleShot(0, [this] { poll(); });
    }

private:
    void poll()
    {
        if (!m_armed)
            return;
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            QTimer::singleShot(10, [this] { poll(); });  // not open yet
            return;
        }
        m_armed = false;
        m_seen.append(
            {dialog->windowTitle(), dialog->fileMode(), dialog->nameFilters(), filterLabels(*dialog)});
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (m_typed.isEmpty() || !name) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        // Typing goes to the focused name field of the active dialog (the dialog follows the
        // selection into the field while the field has no focus).
        dialog->activateWindow();
        QApplication::setActiveWindow(dialog);
        name->setFocus();
        name->clear();
        QTest::keyClicks(name, m_typed);
        QTest::keyClick(name, Qt::Key_Return);
        if (dialog->isVisible())
            dialog->reject();  // the path was refused: the test sees nothing added
    }

    QList<SeenDialog>& m_seen;
    QString m_typed;
    bool m_armed = false;
};

class RealPickers : public ::testing::Test {
protected:
    void SetUp() override
    {
        e2e::ensureApplication();
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);  // Qt's own, typeable
        ASSERT_TRUE(dir.isValid());
        form = std::make_unique<app::Form3>(platform::PlatformServices::qt());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    QString picture(const QString& relative, QSize size, QColor color = QColor(20, 40, 220))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }
    QStringList items() const
    {
        QStringList out;
        for (int i = 0; i < form->List1->count(); ++i)
            out.append(form->List1->item(i)->text());
        return out;
    }
    void clickSource() { QTest::mouseClick(form->ThemedButton1, Qt::LeftButton); }
    void clickDestination() { QTest::mouseClick(form->ThemedButton2, Qt::LeftButton); }

    QTemporaryDir dir;
    std::unique_ptr<app::Form3> form;
    QList<SeenDialog> seen;
    DialogAnswerer answerer{seen};
};

TEST_F(RealPickers, SingleModePicksOneFileTwiceAndCancelChangesNothing)
{
    const QString photo = picture("holiday.jpeg", {90, 60});  // the picked file is not name-checked
    answerer.answer(photo);
    clickSource();
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].mode, QFileDialog::ExistingFile);
    ASSERT_EQ(seen[0].filters.size(), 10);
    EXPECT_TRUE(seen[0].filters[0].startsWith("Image Files ("));
    EXPECT_EQ(seen[0].filterLabels,
              QStringList({"Image Files", "JPEG files (*.jpg)(*.jpeg)(*.jpe)", "PNG files (*.png)",
                           "BMP files (*.bmp)", "GIF files (*.gif)", "TIFF files (*.tif)(*.tiff)",
                           "WebP, AVIF and HEIC files (*.webp)(*.avif)(*.heic)(*.heif)",
                           "JPEG XL files (*.jxl)", "SVG and PDF files (*.svg)(*.svgz)(*.pdf)",
                           "Camera raw files (*.dng)(*.cr2)(*.cr3)(*.nef)(*.arw)(*.raf)(*.orf)(*.rw2)(*.pef)(*.srw)"}));
    EXPECT_TRUE(seen[0].filters[0].contains("*.webp *.avif *.heic *.heif *.jxl *.svg *.svgz *.pdf *.dng"));
    EXPECT_EQ(items(), QStringList{photo});
    EXPECT_EQ(form->FlatEdit1->text(), photo);
    EXPECT_EQ(form->List1->currentRow(), -1);  // shown, but not made current
    form->waitForPreview();
    EXPECT_EQ(form->panelText(1), "Name: holiday.jpeg");
    EXPECT_EQ(form->panelText(2), "Dimensions: 90 x 60");
    EXPECT_EQ(form->panelText(3), "Size: " + imagelist::FormatSize(QFileInfo(photo).size()));
    EXPECT_EQ(form->panelText(4), "Total Files: 1");
    EXPECT_FALSE(form->preview()->isEmpty());
    EXPECT_TRUE(form->XpB1->isEnabled());

    answerer.answer(photo);
    clickSource();
    EXPECT_EQ(items(), (QStringList{photo, photo}));
    EXPECT_EQ(form->panelText(4), "Total Files: 2");

    answerer.answer(QString());  // Escape
    clickSource();
    EXPECT_EQ(seen.size(), 3);
    EXPECT_EQ(items(), (QStringList{photo, photo}));
    EXPECT_EQ(form->FlatEdit1->text(), photo);
    EXPECT_EQ(form->panelText(4), "Total Files: 2");
}

TEST_F(RealPickers, MultipleModeAddsAFoldersImagesWithAndWithoutSubfolders)
{
    const QString a = picture("in/a.JPG", {30, 20});
    picture("in/b.jpeg", {30, 20});
    picture("in/c.Png", {30, 20});
    const QString d = picture("in/d.tif", {10, 40});
    const QString hidden = picture("in/.h.png", {10, 10});
    const QString deep = picture("in/sub/e.gif", {10, 10});
    picture("in/.secret/f.png", {10, 10});

    QTest::mouseClick(form->RadioButton4, Qt::LeftButton);
    ASSERT_TRUE(form->RadioButton4->isChecked());
    answerer.answer(dir.filePath("in"));
    clickSource();
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].title, "Quarbel Image Converter - Please select input folder.");
    EXPECT_EQ(form->FlatEdit1->text(), dir.filePath("in"));
    EXPECT_EQ(items(), (QStringList{hidden, a, d}));  // hidden files of the folder itself count
    EXPECT_EQ(form->List1->currentRow(), 0);
    EXPECT_EQ(form->panelText(1), "Name: .h.png");
    EXPECT_EQ(form->panelText(4), "Total Files: 3");

    QTest::mouseClick(form->CheckBox2, Qt::LeftButton);
    ASSERT_TRUE(form->CheckBox2->isChecked());
    answerer.answer(dir.filePath("in"));
    clickSource();
    EXPECT_EQ(items(), (QStringList{hidden, a, d, a, d, deep}));  // no hidden file or folder
    EXPECT_EQ(form->panelText(4), "Total Files: 6");
}

TEST_F(RealPickers, MultipleModeOnAnEmptyFolderSaysSoWhileTheListIsEmpty)
{
    QDir(dir.path()).mkdir("empty");
    QTest::mouseClick(form->RadioButton4, Qt::LeftButton);
    QList<e2e::SeenMessage> messages;
    e2e::MessageBoxAnswerer boxes(messages);
    boxes.answer({"OK"});
    answerer.answer(dir.filePath("empty"));
    clickSource();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, " No image files to process.Please try again.");
    EXPECT_EQ(messages[0].title, "Error");
    EXPECT_EQ(messages[0].icon, QMessageBox::Information);
    EXPECT_EQ(form->List1->count(), 0);
    EXPECT_FALSE(form->XpB1->isEnabled());
}

TEST_F(RealPickers, DestinationTakesThePickedFolderAndKeepsItsTextOnCancel)
{
    const QString out = dir.filePath("out");
    QDir().mkpath(out);
    answerer.answer(out);
    clickDestination();
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].title, "Quarbel Image Converter - Please select output folder.");
    EXPECT_EQ(form->FlatEdit2->text(), out);
    EXPECT_EQ(form->ChosenFolder, out);

    answerer.answer(QString());
    clickDestination();
    EXPECT_EQ(seen.size(), 2);
    EXPECT_EQ(form->FlatEdit2->text(), out);
    EXPECT_EQ(form->ChosenFolder, "");
}

}  // namespace
