// The image list in the real window on the real X platform: files and folders dropped on
// the list, files pasted from the real clipboard through the list's real right-click menu
// and the paste keys, Delete and Delete All from that menu, Clear answered in the real
// message box; the preview and the status panels checked after each step.

#include "support/WindowE2E.h"

#include "app/Form3.h"
#include "controls/picturebutton/XpB.h"
#include "imagelist/FormatSize.h"
#include "imagelist/PreviewBox.h"
#include "platform/PlatformServices.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace quarbel;

namespace {

const QRgb white = qRgb(255, 255, 255);

class RealList : public ::testing::Test {
protected:
    void SetUp() override
    {
        e2e::ensureApplication();
        ASSERT_TRUE(dir.isValid());
        form = std::make_unique<app::Form3>(platform::PlatformServices::qt());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override
    {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        QGuiApplication::clipboard()->clear();
    }

    // A real picture: left half `color`, right half white.
    QString picture(const QString& relative, QSize size, QColor color = QColor(200, 30, 30))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), color);
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }
    QString textFile(const QString& relative)
    {
        const QString path = dir.filePath(relative);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
        return path;
    }
    static QMimeData* urls(const QStringList& paths)
    {
        auto* data = new QMimeData;
        QList<QUrl> list;
        for (const QString& p : paths)
            list.append(QUrl::fromLocalFile(p));
        data->setUrls(list);
        return data;
    }
    // Drags the paths over the list and drops them there, as a file manager does.
    bool drop(const QStringList& paths)
    {
        std::unique_ptr<QMimeData> data(urls(paths));
        QWidget* target = form->List1->viewport();
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, data.get(),
                              Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, data.get(),
                           Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        return dropped.isAccepted();
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
        form->waitForPreview();
        return {form->panelText(1), form->panelText(2), form->panelText(3), form->panelText(4)};
    }
    // What the preview box shows on screen, once the picture asked for last has come.
    QImage shownPreview() const
    {
        form->waitForPreview();
        return form->Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QPoint rowCentre(int row) const { return form->List1->visualItemRect(form->List1->item(row)).center(); }

    // Right-clicks the list at a point and returns the menu that opened, if any.
    QMenu* rightClick(QPoint at)
    {
        QTest::mouseClick(form->List1->viewport(), Qt::RightButton, Qt::NoModifier, at);
        QApplication::processEvents();
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }
    // Clicks a command of an open menu with the mouse.
    static void choose(QMenu* menu, QAction* action)
    {
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
        QApplication::processEvents();
    }

    QTemporaryDir dir;
    std::unique_ptr<app::Form3> form;
};

TEST_F(RealList, DroppedFilesAndFoldersAreListedAndTheFirstIsPreviewed)
{
    const QString a = picture("a.jpg", {400, 100});
    const QString b = textFile("b.txt");
    const QString c = picture("pics/c.png", {30, 30}, QColor(30, 30, 200));
    picture("pics/d.jpeg", {30, 30});
    picture("pics/deeper/e.gif", {30, 30});

    ASSERT_TRUE(drop({a, b, dir.filePath("pics")}));
    EXPECT_EQ(items(), (QStringList{a, c}));
    EXPECT_EQ(form->List1->currentRow(), 0);
    EXPECT_EQ(panels(),
              (QStringList{"Name: a.jpg", "Dimensions: 400 x 100",
                           "Size: " + imagelist::FormatSize(QFileInfo(a).size()), "Total Files: 2"}));
    EXPECT_TRUE(form->XpB1->isEnabled());

    // 400 x 100 in the 185 x 169 box: 185 x 46 from row 62, white above and below
    const QImage shown = shownPreview();
    ASSERT_EQ(shown.size(), QSize(185, 169));
    EXPECT_EQ(shown.pixel(92, 20), white);
    EXPECT_EQ(shown.pixel(92, 150), white);
    EXPECT_GT(qRed(shown.pixel(20, 85)), 150);
    EXPECT_LT(qGreen(shown.pixel(20, 85)), 80);
    EXPECT_EQ(shown.pixel(170, 85), white);

    // a folder URL ending in "/" still gives one separator before each name
    ASSERT_TRUE(drop({dir.filePath("pics") + "/"}));
    EXPECT_EQ(items(), (QStringList{a, c, c}));

    // with sub-folders, the folder's tree follows the list in walk order
    form->CheckBox2->setChecked(true);
    ASSERT_TRUE(drop({dir.filePath("pics")}));
    EXPECT_EQ(items(), (QStringList{a, c, c, c, dir.filePath("pics/deeper/e.gif")}));
    EXPECT_EQ(form->panelText(4), "Total Files: 5");
}

TEST_F(RealList, ClickingAndArrowKeysSelectAndPreviewItems)
{
    const QString a = picture("a.png", {60, 40});
    const QString b = picture("b.png", {20, 80}, QColor(20, 160, 20));
    ASSERT_TRUE(drop({a, b}));
    QTest::mouseClick(form->List1->viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(1));
    EXPECT_EQ(form->List1->currentRow(), 1);
    EXPECT_EQ(form->panelText(1), "Name: b.png");
    form->waitForPreview();
    EXPECT_EQ(form->panelText(2), "Dimensions: 20 x 80");
    // a tall picture stands in the middle: white at the sides
    QImage shown = shownPreview();
    EXPECT_EQ(shown.pixel(5, 84), white);
    EXPECT_GT(qGreen(shown.pixel(80, 84)), 120);

    form->List1->setFocus();
    QTest::keyClick(form->List1, Qt::Key_Up);
    EXPECT_EQ(form->List1->currentRow(), 0);
    EXPECT_EQ(form->panelText(1), "Name: a.png");
    form->waitForPreview();
    EXPECT_EQ(form->panelText(2), "Dimensions: 60 x 40");
}

TEST_F(RealList, PasteFromTheClipboardThroughTheMenuAndTheKeys)
{
    // an empty list and an empty clipboard: no menu
    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(rightClick({20, 20}), nullptr);

    const QString y = picture("y.png", {50, 50});
    const QString gone = dir.filePath("gone.png");
    QGuiApplication::clipboard()->setMimeData(urls({dir.filePath("pics"), gone, y}));
    QMenu* menu = rightClick({20, 20});
    ASSERT_EQ(menu, form->menu);
    EXPECT_TRUE(form->pastefile->isEnabled());
    EXPECT_FALSE(form->mnuRemove->isEnabled());
    EXPECT_FALSE(form->mnuRemoveAll->isEnabled());
    choose(menu, form->pastefile);

    EXPECT_EQ(items(), (QStringList{gone, y}));  // not checked on disk; the folder is ignored
    EXPECT_EQ(form->panelText(4), "Total Files: 2");
    EXPECT_TRUE(form->cbQuick->isEnabled());  // even in Convert mode
    EXPECT_EQ(form->List1->currentRow(), 0);

    form->List1->setFocus();
    QTest::keyClick(form->List1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(items(), (QStringList{gone, y, gone, y}));

    // a clipboard holding only text pastes nothing
    QGuiApplication::clipboard()->setText(y);
    QTest::keyClick(form->List1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(items().size(), 4);
}

TEST_F(RealList, RightClickMenuDeletesTheChosenItemAndThenAll)
{
    QStringList paths;
    for (int i = 0; i < 5; ++i)
        paths.append(picture(QStringLiteral("p%1.png").arg(i), {40 + i, 30}));
    ASSERT_TRUE(drop(paths));
    QGuiApplication::clipboard()->clear();

    QMenu* menu = rightClick(rowCentre(2));
    ASSERT_EQ(menu, form->menu);
    EXPECT_EQ(form->List1->currentRow(), 2);
    EXPECT_EQ(form->panelText(1), "Name: p2.png");
    EXPECT_FALSE(form->pastefile->isEnabled());
    EXPECT_TRUE(form->mnuRemove->isEnabled());
    EXPECT_TRUE(form->mnuRemoveAll->isEnabled());
    choose(menu, form->mnuRemove);
    EXPECT_EQ(items(), (QStringList{paths[0], paths[1], paths[3], paths[4]}));
    EXPECT_EQ(form->List1->currentRow(), 3);
    EXPECT_EQ(form->panelText(1), "Name: p4.png");
    form->waitForPreview();
    EXPECT_EQ(form->panelText(2), "Dimensions: 44 x 30");

    // the empty area below the last item picks the first
    const QRect last = form->List1->visualItemRect(form->List1->item(3));
    menu = rightClick({last.center().x(), last.bottom() + 30});
    ASSERT_EQ(menu, form->menu);
    EXPECT_EQ(form->List1->currentRow(), 0);
    form->FlatEdit2->setText("/somewhere");
    choose(menu, form->mnuRemoveAll);
    EXPECT_EQ(form->List1->count(), 0);
    EXPECT_EQ(panels(), (QStringList{"", "", "", ""}));
    EXPECT_EQ(form->FlatEdit2->text(), "");
    EXPECT_FALSE(form->XpB1->isEnabled());
    EXPECT_TRUE(form->preview()->isEmpty());
}

TEST_F(RealList, ClearAsksAndOnlyYesEmptiesTheWindow)
{
    const QString a = picture("a.png", {80, 60});
    ASSERT_TRUE(drop({a}));
    const QImage withPicture = shownPreview();
    QList<e2e::SeenMessage> seen;
    e2e::MessageBoxAnswerer answerer(seen);

    answerer.answer({"No"});
    QTest::mouseClick(form->XpB1, Qt::LeftButton);
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].text, "Do you want to clear?");
    EXPECT_EQ(seen[0].title, "Quarbel Image Converter");
    EXPECT_EQ(seen[0].icon, QMessageBox::Question);
    EXPECT_EQ(items(), QStringList{a});

    answerer.answer({"Yes"});
    QTest::mouseClick(form->XpB1, Qt::LeftButton);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(form->List1->count(), 0);
    EXPECT_EQ(panels(), (QStringList{"", "", "", ""}));
    EXPECT_EQ(form->txtWidth->text(), "0");
    EXPECT_FALSE(form->XpB1->isEnabled());
    EXPECT_NE(shownPreview(), withPicture);
    EXPECT_NE(shownPreview().pixel(40, 84), withPicture.pixel(40, 84));

    QTest::mouseClick(form->XpB1, Qt::LeftButton);  // disabled now, and the list is empty
    EXPECT_EQ(seen.size(), 2);
}

}  // namespace
