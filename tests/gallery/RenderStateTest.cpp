// --render with states: the control's applyState sees the states after its properties.

#include "gallery/GalleryRegistry.h"
#include "gallery/RenderCommand.h"

#include "TestApp.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

namespace quarbel::gallery {
namespace {

// Paints its colour, red while "pressed" was applied, so the PNG shows what happened last.
class Swatch : public QWidget {
public:
    QColor colour = Qt::white;
    QStringList log;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour); }
};

GalleryControl swatchControl(QStringList* log)
{
    GalleryControl c;
    c.name = QStringLiteral("swatch");
    c.properties = {{"Color", PropertyKind::Integer}};
    c.create = [] { return std::make_unique<Swatch>(); };
    c.read = [log](QWidget& w, const PropertyBag& bag) {
        auto& s = static_cast<Swatch&>(w);
        const std::uint32_t bgr = static_cast<std::uint32_t>(bag.ReadProperty("Color", 0).toLongLong());
        s.colour = QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
        *log << "read";
    };
    c.applyState = [log](QWidget& w, const QStringList& states) {
        *log << "state:" + states.join(u',');
        if (states.contains("pressed"))
            static_cast<Swatch&>(w).colour = Qt::red;
    };
    return c;
}

class RenderStateTest : public ::testing::Test {
protected:
    void SetUp() override { testing::ensureApplication(); }
    RenderRequest request(QStringList states)
    {
        RenderRequest r;
        r.control = "swatch";
        r.size = QSize(8, 6);
        r.properties = {{"color", "0xFF0000"}};
        r.states = std::move(states);
        r.out = dir.filePath("s.png");
        return r;
    }
    QTemporaryDir dir;
};

TEST_F(RenderStateTest, StatesAreAppliedAfterThePropertiesAndOnlyWhenAsked)
{
    QStringList log;
    const GalleryControl control = swatchControl(&log);

    ASSERT_EQ(renderControl(control, request({})).exitCode, ExitOk);
    EXPECT_EQ(log, QStringList{"read"});
    EXPECT_EQ(QImage(dir.filePath("s.png")).pixel(7, 5), qRgb(0, 0, 255));

    log.clear();
    ASSERT_EQ(renderControl(control, request({"hover", "pressed"})).exitCode, ExitOk);
    EXPECT_EQ(log, (QStringList{"read", "state:hover,pressed"}));
    EXPECT_EQ(QImage(dir.filePath("s.png")).pixel(7, 5), qRgb(255, 0, 0));
}

TEST_F(RenderStateTest, AControlWithoutStatesRefusesThemAndWritesNothing)
{
    QStringList log;
    GalleryControl control = swatchControl(&log);
    control.applyState = nullptr;
    const RenderOutcome outcome = renderControl(control, request({"focus"}));
    EXPECT_EQ(outcome.exitCode, ExitUsage);
    EXPECT_TRUE(outcome.message.contains("focus")) << outcome.message.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("s.png")));
}

}  // namespace
}  // namespace quarbel::gallery
