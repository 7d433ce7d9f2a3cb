// The picture button's design-time properties: read and written through the host's property
// bag, in the stored order, each with its default.

#include "controls/picturebutton/XpB.h"

#include <QApplication>

namespace quarbel {

using namespace picturebutton;

namespace {

std::uint32_t colour(const PropertyBag& bag, const char* name, std::uint32_t defaultValue)
{
    return static_cast<std::uint32_t>(
        bag.ReadTyped(QString::fromLatin1(name), qlonglong(defaultValue)).toLongLong());
}

int number(const PropertyBag& bag, const char* name, int defaultValue)
{
    return bag.ReadTyped(QString::fromLatin1(name), defaultValue).toInt();
}

bool flag(const PropertyBag& bag, const char* name, bool defaultValue)
{
    return bag.ReadTyped(QString::fromLatin1(name), defaultValue).toBool();
}

QString text(const PropertyBag& bag, const char* name, const QString& defaultValue)
{
    const QVariant v = bag.ReadProperty(QString::fromLatin1(name), defaultValue);
    return v.typeId() == QMetaType::QString ? v.toString() : defaultValue;
}

// Pictures are kept in the bag as images; anything else (a file name the host resolves
// itself) is no picture here.
QImage picture(const PropertyBag& bag, const char* name)
{
    const QVariant v = bag.ReadProperty(QString::fromLatin1(name), QVariant());
    return v.typeId() == QMetaType::QImage ? v.value<QImage>() : QImage();
}

QVariant pictureValue(const QImage& image) { return image.isNull() ? QVariant() : QVariant(image); }

}  // namespace

void XpB::ReadProperties(const PropertyBag& bag)
{
    m_backColor = colour(bag, "BackColor", 0x8000000F);
    m_surfaceBackColor = ResolveButtonColor(m_backColor);
    m_foreColor = colour(bag, "ForeColor", 0x80000012);
    m_showFocusRect = flag(bag, "ShowFocusRect", true);
    m_caption = text(bag, "Caption", objectName());
    m_picturePosition = number(bag, "PicturePosition", LeftOf);
    m_buttonStyle = number(bag, "ButtonStyle", Flat);
    m_picture = picture(bag, "Picture");
    m_pictureWidth = number(bag, "PictureWidth", 32);
    m_pictureHeight = number(bag, "PictureHeight", 32);
    m_pictureSize = number(bag, "PictureSize", Large32);
    m_originalPicSizeW = number(bag, "OriginalPicSizeW", 32);
    m_originalPicSizeH = number(bag, "OriginalPicSizeH", 32);
    const QVariant storedFont = bag.ReadProperty(QStringLiteral("Font"), QVariant());
    if (storedFont.typeId() == QMetaType::QFont)
        QWidget::setFont(storedFont.value<QFont>());
    m_pictureHover = picture(bag, "PictureHover");
    m_normalPicture = m_picture;
    m_mouseIcon = picture(bag, "MouseIcon");
    QWidget::setEnabled(flag(bag, "Enabled", true));
    m_mousePointer = number(bag, "MousePointer", 0);
    applyPointer();
    m_url = text(bag, "URL", QString());
    m_xpColorPressed = colour(bag, "XPColor_Pressed", 0x80000014);
    m_xpColorHover = colour(bag, "XPColor_Hover", 0x80000016);
    m_xpDefaultColors = flag(bag, "XPDefaultColors", true);
    m_soundOver = text(bag, "SoundOver", QStringLiteral(".\\resources\\over.wav"));
    m_soundClick = text(bag, "SoundClick", QStringLiteral(".\\resources\\click.wav"));
    m_defCurHand = flag(bag, "DefCurHand", false);
    m_xpShowBorderAlways = flag(bag, "XPShowBorderAlways", false);
    m_maskColor = colour(bag, "MaskColor", 0);
    m_transparentBG = flag(bag, "TransparentBG", false);
    m_bevel = number(bag, "BEVEL", 1);
    m_bevelDepth = number(bag, "BEVELDEPTH", 8);
    UpdateAccessKey();
    resizeSteps();
}

void XpB::WriteProperties(PropertyBag& bag) const
{
    const auto write = [&bag](const char* name, const QVariant& value, const QVariant& defaultValue) {
        bag.WriteProperty(QString::fromLatin1(name), value, defaultValue);
    };
    const auto colourValue = [](std::uint32_t c) { return QVariant(qlonglong(c)); };
    const QFont containerFont = parentWidget() ? parentWidget()->font() : QApplication::font();
    write("Caption", m_caption, objectName());
    write("PicturePosition", m_picturePosition, LeftOf);
    write("ButtonStyle", m_buttonStyle, Flat);
    write("Picture", pictureValue(m_normalPicture), QVariant());
    write("PictureWidth", m_pictureWidth, 32);
    write("PictureHeight", m_pictureHeight, 32);
    write("PictureSize", m_pictureSize, Large32);
    write("OriginalPicSizeW", m_originalPicSizeW, 32);
    write("OriginalPicSizeH", m_originalPicSizeH, 32);
    write("PictureHover", pictureValue(m_pictureHover), QVariant());
    write("Enabled", isEnabled(), true);
    write("Font", font(), containerFont);
    write("MouseIcon", pictureValue(m_mouseIcon), QVariant());
    write("MousePointer", m_mousePointer, 0);
    write("ShowFocusRect", m_showFocusRect, true);
    write("URL", m_url, QString());
    write("XPColor_Pressed", colourValue(m_xpColorPressed), colourValue(0x80000014));
    write("XPColor_Hover", colourValue(m_xpColorHover), colourValue(0x80000016));
    write("XPDefaultColors", m_xpDefaultColors, true);
    write("BackColor", colourValue(m_backColor), colourValue(0x8000000F));
    write("ForeColor", colourValue(m_foreColor), colourValue(0x80000012));
    write("SoundOver", m_soundOver, QStringLiteral(".\\resources\\over.wav"));
    write("SoundClick", m_soundClick, QStringLiteral(".\\resources\\click.wav"));
    write("DefCurHand", m_defCurHand, false);
    write("XPShowBorderAlways", m_xpShowBorderAlways, false);
    write("MaskColor", colourValue(m_maskColor), colourValue(0));
    write("TransparentBG", m_transparentBG, false);
    write("BEVEL", m_bevel, 1);
    write("BEVELDEPTH", m_bevelDepth, 8);
}

}  // namespace quarbel
