// The picture button's place in the gallery: a row of live buttons, one a style, and every
// style drawn in every state, with the four picture positions and the three picture sizes.

#include "controls/picturebutton/XpB.h"
#include "gallery/GalleryRegistry.h"
#include "gallery/RenderCommand.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace quarbel::gallery {

namespace {

const char* const StyleNames[] = {"0 raised", "1 raised, bevel 3", "2 flat", "3 XP", "4 face only"};

// A 16 x 16 bitmap of our own: a green square with a white cross on a magenta key colour.
QImage sampleBitmap()
{
    QImage bitmap(16, 16, QImage::Format_RGB32);
    bitmap.fill(qRgb(255, 0, 255));
    QPainter p(&bitmap);
    p.fillRect(2, 2, 12, 12, QColor(40, 150, 60));
    p.fillRect(7, 4, 2, 8, Qt::white);
    p.fillRect(4, 7, 8, 2, Qt::white);
    return bitmap;
}

void configure(XpB& b, int style)
{
    b.setButtonStyle(style);
    b.setCaption(QStringLiteral("&Button"));
    b.setPictureSize(picturebutton::Small16);
    b.setPicture(sampleBitmap());
    b.setMaskColor(0xFF00FF);
    if (style == 1)
        b.setBEVEL(3);
}

// The button's face as a picture; pixels outside its region are transparent.
QPixmap facePicture(const XpB& b, const picturebutton::Look& look)
{
    gfx::Surface surface(look.W, look.H);
    picturebutton::RenderPictureButton(surface, look);
    return QPixmap::fromImage(transparentOutside(surface.image(), b.mask()));
}

QLabel* stateCell(QWidget* parent, XpB& model, bool hover, bool pressed, bool focus, bool enabled)
{
    picturebutton::Look look = model.look();
    look.isHovering = hover;
    look.isPressed = pressed;
    look.hasFocus = focus;
    look.enabled = enabled;
    auto* label = new QLabel(parent);
    label->setPixmap(facePicture(model, look));
    return label;
}

QWidget* showcase(QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* outer = new QVBoxLayout(page);
    outer->addWidget(
        new QLabel(QStringLiteral("Live buttons (point, press, Tab, Space, Alt+0 to Alt+4):"), page));
    auto* live = new QHBoxLayout;
    for (int style = 0; style < 5; ++style) {
        auto* b = new XpB(page);
        configure(*b, style);
        b->setCaption(QStringLiteral("Style &%1").arg(style));  // Alt and the style's digit
        b->setFixedSize(96, 30);
        live->addWidget(b);
    }
    live->addStretch();
    outer->addLayout(live);

    auto* grid = new QGridLayout;
    const char* const states[] = {"normal", "hover", "pressed", "focus", "disabled"};
    for (int c = 0; c < 5; ++c)
        grid->addWidget(new QLabel(QString::fromLatin1(states[c]), page), 0, 1 + c);
    for (int style = 0; style < 5; ++style) {
        auto* model = new XpB(page);
        model->hide();
        model->resize(96, 30);
        configure(*model, style);
        grid->addWidget(new QLabel(QString::fromLatin1(StyleNames[style]), page), 1 + style, 0);
        grid->addWidget(stateCell(page, *model, false, false, false, true), 1 + style, 1);
        grid->addWidget(stateCell(page, *model, true, false, false, true), 1 + style, 2);
        grid->addWidget(stateCell(page, *model, true, true, false, true), 1 + style, 3);
        grid->addWidget(stateCell(page, *model, false, false, true, true), 1 + style, 4);
        grid->addWidget(stateCell(page, *model, false, false, false, false), 1 + style, 5);
    }
    outer->addLayout(grid);

    // Picture positions and sizes, in the XP look.
    auto* positions = new QHBoxLayout;
    for (int position = 0; position < 4; ++position) {
        auto* b = new XpB(page);
        configure(*b, picturebutton::XP);
        b->setPicturePosition(position);
        b->setFixedSize(position == 0 || position == 3 ? 80 : 110, position == 0 || position == 3 ? 56 : 30);
        positions->addWidget(b);
    }
    for (int size = 0; size < 3; ++size) {
        auto* b = new XpB(page);
        configure(*b, picturebutton::XP);
        b->setCaption(QString());
        b->setPictureSize(size);
        b->setFixedSize(44, 44);
        positions->addWidget(b);
    }
    positions->addStretch();
    outer->addLayout(positions);
    outer->addStretch();
    return page;
}

// The states a render asks for, as a person would bring them about.
void applyState(QWidget& widget, const QStringList& states)
{
    const QPointF centre(widget.width() / 2.0, widget.height() / 2.0);
    if (states.contains(QStringLiteral("focus"))) {
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(&widget, &in);
    }
    if (states.contains(QStringLiteral("hover"))) {
        QMouseEvent move(QEvent::MouseMove, centre, widget.mapToGlobal(centre), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &move);
    }
    if (states.contains(QStringLiteral("pressed"))) {
        QMouseEvent press(QEvent::MouseButtonPress, centre, widget.mapToGlobal(centre), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &press);
    }
}

}  // namespace

GalleryControl pictureButtonControl()
{
    GalleryControl c;
    c.name = QStringLiteral("picturebutton");
    using K = PropertyKind;
    c.properties = {{"Caption", K::Text},
                    {"PicturePosition", K::Integer},
                    {"ButtonStyle", K::Integer},
                    {"Picture", K::Picture},
                    {"PictureWidth", K::Integer},
                    {"PictureHeight", K::Integer},
                    {"PictureSize", K::Integer},
                    {"OriginalPicSizeW", K::Integer},
                    {"OriginalPicSizeH", K::Integer},
                    {"PictureHover", K::Picture},
                    {"Enabled", K::Boolean},
                    {"Font", K::Font},
                    {"MouseIcon", K::Picture},
                    {"MousePointer", K::Integer},
                    {"ShowFocusRect", K::Boolean},
                    {"URL", K::Text},
                    {"XPColor_Pressed", K::Integer},
                    {"XPColor_Hover", K::Integer},
                    {"XPDefaultColors", K::Boolean},
                    {"BackColor", K::Integer},
                    {"ForeColor", K::Integer},
                    {"SoundOver", K::Text},
                    {"SoundClick", K::Text},
                    {"DefCurHand", K::Boolean},
                    {"XPShowBorderAlways", K::Boolean},
                    {"MaskColor", K::Integer},
                    {"TransparentBG", K::Boolean},
                    {"BEVEL", K::Integer},
                    {"BEVELDEPTH", K::Integer}};
    c.keys = KeyCase::Insensitive;
    c.create = [] { return std::make_unique<XpB>(); };
    c.read = [](QWidget& w, const PropertyBag& bag) { static_cast<XpB&>(w).ReadProperties(bag); };
    c.showcase = showcase;
    c.applyState = applyState;
    return c;
}

}  // namespace quarbel::gallery
