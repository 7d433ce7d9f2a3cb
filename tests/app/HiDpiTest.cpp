// The window on a screen scaled by 2: the preview keeps every device pixel of a picture,
// the owned controls show their 1x drawing as 2 x 2 blocks, text is drawn at device resolution.

#include "app/Form3.h"
#include "controls/picturebutton/XpB.h"
#include "controls/progressbar/XP_ProgressBar.h"
#include "controls/themedbutton/ThemedButton.h"
#include "imagelist/PreviewBox.h"
#include "platform/PlatformServices.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>

namespace quarbel::app {
namespace {

int g_argc = 1;
char g_name[] = "quarbel-hidpi-tests";
char* g_argv[] = {g_name, nullptr};
const QApplication* const g_application = [] {
    qputenv("QT_SCALE_FACTOR", "2");
    qputenv("QUARBEL_INSTANCE_KEY", "quarbel-hidpi-tests");
    return new QApplication(g_argc, g_argv);
}();

constexpr int kScale = 2;

// Where a widget lies in the window's device pixels.
QRect deviceRect(const QWidget* widget, const QWidget* window)
{
    const QRect logical(widget->mapTo(window, QPoint(0, 0)), widget->size());
    return QRect(logical.topLeft() * kScale, logical.size() * kScale);
}

class HiDpiWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        form = std::make_unique<Form3>(platform::PlatformServices::qt());
        form->show();
        ASSERT_EQ(form->devicePixelRatioF(), kScale);
    }
    QImage shot() const
    {
        QImage image = form->grab().toImage();
        EXPECT_EQ(image.size(), form->size() * kScale);
        return image.convertToFormat(QImage::Format_RGB32);
    }

    QTemporaryDir dir;
    std::unique_ptr<Form3> form;
};

TEST_F(HiDpiWindow, PreviewKeepsAOneDevicePixelCheckerboard)
{
    // A picture exactly as large as the box in device pixels, black and white alternating.
    const QSize device = form->Picture1->size() * kScale;
    ASSERT_EQ(form->preview()->deviceBoxSize(), device);
    QImage board(device, QImage::Format_RGB32);
    for (int y = 0; y < device.height(); ++y)
        for (int x = 0; x < device.width(); ++x)
            board.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QString path = dir.filePath("board.png");
    ASSERT_TRUE(board.save(path));
    form->List1_OLEDragDrop({path});
    form->waitForPreview();
    ASSERT_FALSE(form->preview()->isEmpty());
    EXPECT_EQ(form->PreviewWidth, device.width());  // the picture's own size

    const QImage image = shot();
    const QRect box = deviceRect(form->Picture1, form.get());
    int wrong = 0;
    for (int y = 0; y < box.height(); ++y)
        for (int x = 0; x < box.width(); ++x)
            wrong += image.pixel(box.x() + x, box.y() + y) != board.pixel(x, y);
    EXPECT_EQ(wrong, 0) << "of " << box.width() * box.height() << " device pixels";
}

TEST_F(HiDpiWindow, OwnedControlsShowTheirOnePixelDrawingDoubled)
{
    XP_ProgressBar* bar = form->XP_ProgressBar1;
    bar->setColor(0x0000C0);
    bar->setValue(37);
    const QImage image = shot();
    // Each control with the 1x drawing it keeps (cut to its own size).
    const QList<std::pair<QWidget*, QImage>> controls = {
        {bar, bar->clientImage()},
        {form->XpB6, form->XpB6->surface().image()},
        {form->ThemedButton3, form->ThemedButton3->surface().image()},
    };
    for (const auto& [control, drawing] : controls) {
        SCOPED_TRACE(control->objectName().toStdString());
        const QImage one =
            drawing.copy(QRect(QPoint(0, 0), control->size())).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(one.size(), control->size());
        const QPoint origin = deviceRect(control, form.get()).topLeft();
        const QRegion shape = control->mask();  // rounded corners show the window behind
        int wrong = 0, colours = 0;
        QRgb previous = 0;
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x) {
                if (!shape.isEmpty() && !shape.contains(QPoint(x, y)))
                    continue;
                const QRgb expected = one.pixel(x, y);
                colours += expected != previous;
                previous = expected;
                for (int dy = 0; dy < kScale; ++dy)
                    for (int dx = 0; dx < kScale; ++dx)
                        wrong += image.pixel(origin.x() + x * kScale + dx, origin.y() + y * kScale + dy) !=
                                 expected;
            }
        EXPECT_GT(colours, 10);  // edges, a bar or a caption: not one flat colour
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(HiDpiWindow, TextIsDrawnAtDeviceResolution)
{
    // Glyph edges fall inside 2 x 2 blocks: some blocks are not one colour.
    form->setPanelText(1, QStringLiteral("Name: checkerboard.png"));
    const QImage image = shot();
    const QRect label = deviceRect(form->panel(1), form.get());
    int mixed = 0;
    for (int y = label.top(); y + 1 <= label.bottom(); y += 2)
        for (int x = label.left(); x + 1 <= label.right(); x += 2) {
            const QRgb c = image.pixel(x, y);
            mixed +=
                image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c || image.pixel(x + 1, y + 1) != c;
        }
    EXPECT_GT(mixed, 20);
}

}  // namespace
}  // namespace quarbel::app
