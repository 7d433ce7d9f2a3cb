// The progress bar's place in the gallery: every style at a few values, both orientations,
// with its text, and a slider that moves all of them.

#include "controls/progressbar/XP_ProgressBar.h"
#include "gallery/GalleryRegistry.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace quarbel::gallery {

namespace {

const char* const StyleNames[] = {"0 XPBlocks", "1 XPSmooth", "2 XPBusy",  "3 Flat",    "4 Etched",
                                  "5 Shaded",   "6 Dark",     "7 Hatched", "8 Pattern", "9 Glass"};

QImage samplePattern()
{
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(qRgb(255, 220, 120));
    picture.setPixel(0, 0, qRgb(200, 60, 0));
    picture.setPixel(2, 2, qRgb(200, 60, 0));
    return picture;
}

XP_ProgressBar* makeBar(QWidget* parent, int style, int orientation, int value)
{
    auto* bar = new XP_ProgressBar(parent);
    bar->setScrolling(style);
    bar->setOrientation(orientation);
    bar->setColor(style == 4 ? 0x00FF00 : 0xC06020);
    bar->setBrushStyle(4);
    bar->setImage(samplePattern());
    bar->setShowText(orientation == 0);
    bar->setValue(value);
    if (orientation == 0)
        bar->setFixedSize(150, 19);
    else
        bar->setFixedSize(19, 90);
    return bar;
}

QWidget* showcase(QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* outer = new QVBoxLayout(page);
    auto* slider = new QSlider(Qt::Horizontal, page);
    slider->setRange(0, 100);
    slider->setValue(35);
    outer->addWidget(new QLabel(QStringLiteral("Value of the last column and of the vertical bars:"), page));
    outer->addWidget(slider);
    auto* grid = new QGridLayout;
    outer->addLayout(grid);
    const int values[] = {0, 50, 100};
    std::vector<XP_ProgressBar*> live;
    for (int style = 0; style < 10; ++style) {
        grid->addWidget(new QLabel(QString::fromLatin1(StyleNames[style]), page), style, 0);
        for (int c = 0; c < 3; ++c)
            grid->addWidget(makeBar(page, style, 0, values[c]), style, 1 + c);
        auto* moving = makeBar(page, style, 0, 35);
        live.push_back(moving);
        grid->addWidget(moving, style, 4);
    }
    auto* vertical = new QHBoxLayout;
    for (int style = 0; style < 10; ++style) {
        auto* bar = makeBar(page, style, 1, 35);
        live.push_back(bar);
        vertical->addWidget(bar);
    }
    vertical->addStretch();
    outer->addLayout(vertical);
    outer->addStretch();
    QObject::connect(slider, &QSlider::valueChanged, page, [live](int v) {
        for (XP_ProgressBar* bar : live)
            bar->setValue(v);
    });
    return page;
}

}  // namespace

GalleryControl progressBarControl()
{
    GalleryControl c;
    c.name = QStringLiteral("progressbar");
    using K = PropertyKind;
    c.properties = {{"BrushStyle", K::Integer},  {"Color", K::Integer},     {"Font", K::Font},
                    {"Image", K::Picture},       {"Max", K::Integer},       {"Min", K::Integer},
                    {"Orientation", K::Integer}, {"Scrolling", K::Integer}, {"ShowText", K::Boolean},
                    {"Value", K::Integer}};
    c.keys = KeyCase::Insensitive;
    c.create = [] { return std::make_unique<XP_ProgressBar>(); };
    c.read = [](QWidget& w, const PropertyBag& bag) { static_cast<XP_ProgressBar&>(w).ReadProperties(bag); };
    c.showcase = showcase;
    return c;
}

}  // namespace quarbel::gallery
