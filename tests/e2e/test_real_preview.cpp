// The preview in the real program as a person meets it through the X server: a very large
// picture decodes in a worker process while the window goes on answering clicks; a file that
// cannot be decoded leaves the preview empty, and a run over it fails that item alone.

#include "support/RealWindow.h"
#include "support/WindowE2E.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

using namespace quarbel;
using e2e::RealWindow;

namespace {

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 &&
           std::abs(a.blue() - b.blue()) < 24;
}

class RealPreview : public ::testing::Test {
protected:
    void SetUp() override
    {
        e2e::ensureApplication();
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("src") && QDir(dir.path()).mkpath("out"));
    }
    void startWindow()
    {
        window = std::make_unique<RealWindow>();
        ASSERT_TRUE(window->started());
        emptyPreview = previewCentre();
    }
    QColor previewCentre() const
    {
        return window->screenshot().pixelColor(e2e::placeOf("Picture1").center());
    }
    QImage control(const QString& name) const { return window->screenshot().copy(e2e::placeOf(name)); }

    QTemporaryDir dir;
    std::unique_ptr<RealWindow> window;
    QColor emptyPreview;
};

TEST_F(RealPreview, TheWindowAnswersAClickWhileAHugePictureDecodes)
{
    // 12000 x 8000, a picture that took the window's own thread two seconds to decode.
    QImage huge(12000, 8000, QImage::Format_RGB888);
    ASSERT_FALSE(huge.isNull());
    huge.fill(QColor(200, 30, 30));
    const QString path = dir.filePath("src/huge.png");
    QImageWriter writer(path);
    writer.setCompression(1);
    ASSERT_TRUE(writer.write(huge));
    huge = QImage();

    startWindow();
    ASSERT_TRUE(window->typeIntoDialogOf("ThemedButton1", path).has_value());
    const QImage option = control("RadioButton2");
    window->click("RadioButton2");
    // The option shows its new state while the picture is still decoding: the click did not
    // wait for the picture.
    ASSERT_TRUE(e2e::waitUntil([&] { return control("RadioButton2") != option; }));
    EXPECT_EQ(previewCentre(), emptyPreview) << "the picture came before the click was answered";
    // A quick size chosen at once is of this picture (its size comes from its header).
    window->typeInto("cbQuick", "50");
    EXPECT_TRUE(e2e::waitUntil([&] { return window->textOf("txtWidth") == "6000"; }));
    EXPECT_EQ(window->textOf("txtHeight"), "4000");
    EXPECT_TRUE(e2e::waitUntil([&] { return near(previewCentre(), QColor(200, 30, 30)); }, 60000))
        << "the picture is shown once decoded";
    e2e::saveArtifact(window->screenshot(), "huge-preview.png");
}

TEST_F(RealPreview, AFileThatCannotBeDecodedFailsItsPreviewAndItsItemOnly)
{
    e2e::writeImage(dir.filePath("src"), "a.png", 40, 30, QColor(0, 0, 220));
    // b.png: a real picture's header and half its data.
    const QString cut = e2e::writeImage(dir.filePath("src"), "b.png", 900, 700, QColor(0, 200, 0));
    QImage noise(900, 700, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgb((x * 7 + y * 13) % 256, (x * y) % 256, (x ^ y) % 256));
    ASSERT_TRUE(noise.save(cut));
    QFile file(cut);
    ASSERT_TRUE(file.resize(file.size() / 2));
    e2e::writeImage(dir.filePath("src"), "c.png", 40, 30, QColor(0, 0, 220));

    startWindow();
    window->click("RadioButton4");  // Multiple: the source picker adds a folder's pictures
    ASSERT_TRUE(window->typeIntoDialogOf("ThemedButton1", dir.filePath("src")).has_value());
    ASSERT_TRUE(e2e::waitUntil([&] { return near(previewCentre(), QColor(0, 0, 220)); }));

    // The cut file: the box empties and stays so; the window keeps answering.
    e2e::click(window->at("List1", QPoint(40, 8)));  // the first row, a.png
    e2e::key("Down");
    ASSERT_TRUE(e2e::waitUntil([&] { return previewCentre() == emptyPreview; }));
    const QImage option = control("CheckBox1");
    window->click("RadioButton2");
    EXPECT_TRUE(e2e::waitUntil([&] { return control("CheckBox1") != option; }))
        << "Resize enables its options";
    EXPECT_EQ(previewCentre(), emptyPreview);
    e2e::saveArtifact(window->screenshot(), "cut-file-selected.png");
    window->click("RadioButton1");

    // A run over all three: the cut file fails, the others are written.
    window->typeInto("FlatEdit2", dir.filePath("out"));
    window->click("ThemedButton3");
    const QDir out(dir.filePath("out"));
    EXPECT_TRUE(e2e::waitUntil([&] { return out.entryList(QDir::Files).size() == 2; }));
    // The run has ended once the list takes a right-click again.
    QString menu;
    EXPECT_TRUE(e2e::waitUntil([&] {
        window->click("List1", Qt::RightButton);
        menu = window->program().waitForNewWindow({window->program().window()}, 1000);
        return !menu.isEmpty();
    }));
    e2e::key("Escape");
    EXPECT_EQ(out.entryList(QDir::Files), (QStringList{"a.jpg", "c.jpg"}));
}

}  // namespace
