// The themed button's persisted properties: a new instance's values, and reading and writing
// them through the host's property bag under their keys (matched without regard to case).

#include "controls/common/SystemColors.h"
#include "controls/themedbutton/ThemedButton.h"

namespace quarbel {

namespace {

std::uint32_t sysRgb(int n) { return SystemColors::get(n); }

// A stored value read as the type of its default: text such as "5", "&H8000000D&" or
// "True" (as the layout file keeps values) is converted; text that is no such value, and
// values of another kind, give the default.
QVariant typed(const PropertyBag& bag, const QString& key, const QVariant& defaultValue)
{
    QVariant v = bag.ReadProperty(key, defaultValue);
    const int want = defaultValue.typeId();
    if (want == QMetaType::QString)
        return v.typeId() == QMetaType::QString ? v : QVariant(v.toString());
    if (v.typeId() == QMetaType::QString) {
        const auto parsed = PropertyBag::parseValue(v.toString());
        if (!parsed || parsed->typeId() == QMetaType::QString)
            return defaultValue;
        v = *parsed;
    }
    if (want == QMetaType::Bool)
        return v.typeId() == QMetaType::Bool ? v : QVariant(v.toLongLong() != 0);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? -1 : 0;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    return ok ? QVariant(n) : defaultValue;
}

int readInt(const PropertyBag& bag, const char* key, int defaultValue)
{
    return static_cast<int>(typed(bag, QString::fromLatin1(key), qlonglong(defaultValue)).toLongLong());
}

std::uint32_t readColor(const PropertyBag& bag, const char* key, std::uint32_t defaultValue)
{
    return static_cast<std::uint32_t>(
        typed(bag, QString::fromLatin1(key), qlonglong(defaultValue)).toLongLong());
}

bool readBool(const PropertyBag& bag, const char* key, bool defaultValue)
{
    return typed(bag, QString::fromLatin1(key), defaultValue).toBool();
}

QString readText(const PropertyBag& bag, const char* key, const QString& defaultValue)
{
    return typed(bag, QString::fromLatin1(key), defaultValue).toString();
}

}  // namespace

void ThemedButton::InitProperties(const QString& hostName)
{
    m_caption = hostName;
    m_iconSize = 16;
    m_icon = QImage();
    m_captionFormat = 17;
    m_enabled = true;
    m_showFocus = false;
    m_useCustomColors = false;
    m_backColor = sysRgb(ButtonFace);
    m_highlightColor = sysRgb(Highlight);
    m_fontColor = sysRgb(ButtonText);
    m_fontHighlightColor = sysRgb(ButtonText);
    m_toolTipType = 1;
    m_style = 0;
    m_captionAlign = 0;
    m_iconAlign = 1;
    m_iconMargin = 4;
    updateAccessKey();
    relayout();
}

void ThemedButton::ReadProperties(const PropertyBag& bag)
{
    m_buttonState = static_cast<int>(ButtonState::Normal);
    const QVariant icon = bag.ReadProperty(QStringLiteral("Icon"), QVariant());
    m_icon = icon.typeId() == QMetaType::QImage ? icon.value<QImage>() : QImage();
    m_style = readInt(bag, "Style", 3);
    m_caption = readText(bag, "Caption", QStringLiteral("ThemedButton"));
    m_iconSize = static_cast<std::int16_t>(readInt(bag, "IconSize", 16));
    m_captionAlign = readInt(bag, "CaptionAlign", 0);
    m_iconAlign = readInt(bag, "IconAlign", 1);
    m_nonThemeStyle = readInt(bag, "iNonThemeStyle", 5);
    m_enabled = readBool(bag, "Enabled", true);
    m_showFocus = readBool(bag, "ShowFocus", false);
    m_useCustomColors = readBool(bag, "USeCustomColors", false);
    m_backColor = readColor(bag, "BackColor", sysRgb(ButtonFace));
    m_highlightColor = readColor(bag, "HighlightColor", sysRgb(Highlight));
    m_fontColor = readColor(bag, "FontColor", sysRgb(ButtonText));
    m_fontHighlightColor = readColor(bag, "FontHighlightColor", sysRgb(ButtonText));
    // The host's own tooltip gets the stored text; the button takes it over while the
    // pointer is inside.
    setToolTip(readText(bag, "ToolTipText", toolTip()));
    m_toolTipText = readText(bag, "ToolTipText", QString());
    m_toolTipTitle = readText(bag, "Tooltiptitle", QString());
    m_toolTipIcon = readInt(bag, "ToolTipIcon", 0);
    m_toolTipType = readInt(bag, "ToolTipType", 1);
    m_toolTipBackColor = readColor(bag, "ttBackColor", sysRgb(InfoText));
    m_toolTipForeColor = readColor(bag, "ttForeColor", sysRgb(InfoBackground));
    const QVariant font = bag.ReadProperty(QStringLiteral("Font"), QWidget::font());
    if (font.typeId() == QMetaType::QFont)
        QWidget::setFont(font.value<QFont>());
    m_buttonType = readInt(bag, "ButtonType", 0);
    m_value = readBool(bag, "Value", false);
    m_useMaskColor = readBool(bag, "UseMaskColor", false);
    m_maskColor = readColor(bag, "MaskColor", 0xC0C0C0);
    m_mousePointer = static_cast<std::int16_t>(readInt(bag, "MousePointer", 0));
    applyCursor();
    m_roundedBordersByTheme = readBool(bag, "RoundedBordersByTheme", true);
    m_rightToLeft = readBool(bag, "bRTLText", false);
    // A button that shows Disabled does not take clicks either.
    QWidget::setEnabled(m_enabled);
    updateAccessKey();
    relayout();
}

void ThemedButton::WriteProperties(PropertyBag& bag) const
{
    // An empty icon is written as empty text, which reads back as no picture.
    bag.set(QStringLiteral("Icon"), m_icon.isNull() ? QVariant(QString()) : QVariant(m_icon));
    bag.WriteProperty(QStringLiteral("Style"), m_style, 3);
    bag.WriteProperty(QStringLiteral("Caption"), m_caption, QString());
    bag.WriteProperty(QStringLiteral("IconSize"), m_iconSize, 16);
    bag.WriteProperty(QStringLiteral("IconAlign"), m_iconAlign, 1);
    bag.WriteProperty(QStringLiteral("CaptionAlign"), m_captionAlign, 0);
    bag.WriteProperty(QStringLiteral("iNonThemeStyle"), m_nonThemeStyle, 5);
    bag.WriteProperty(QStringLiteral("Enabled"), m_enabled, true);
    bag.WriteProperty(QStringLiteral("ShowFocus"), m_showFocus, false);
    bag.WriteProperty(QStringLiteral("USeCustomColors"), m_useCustomColors, false);
    bag.WriteProperty(QStringLiteral("BackColor"), qlonglong(m_backColor), qlonglong(sysRgb(ButtonFace)));
    bag.WriteProperty(QStringLiteral("HighlightColor"), qlonglong(m_highlightColor),
                      qlonglong(sysRgb(Highlight)));
    bag.WriteProperty(QStringLiteral("FontColor"), qlonglong(m_fontColor), qlonglong(sysRgb(ButtonText)));
    bag.WriteProperty(QStringLiteral("FontHighlightColor"), qlonglong(m_fontHighlightColor),
                      qlonglong(sysRgb(ButtonText)));
    bag.WriteProperty(QStringLiteral("ToolTipText"), m_toolTipText, QString());
    bag.set(QStringLiteral("Tooltiptitle"), m_toolTipTitle);
    bag.set(QStringLiteral("ToolTipIcon"), m_toolTipIcon);
    bag.set(QStringLiteral("ToolTipType"), m_toolTipType);
    bag.WriteProperty(QStringLiteral("ttBackColor"), qlonglong(m_toolTipBackColor),
                      qlonglong(sysRgb(InfoText)));
    bag.WriteProperty(QStringLiteral("ttForeColor"), qlonglong(m_toolTipForeColor),
                      qlonglong(sysRgb(InfoBackground)));
    bag.set(QStringLiteral("Font"), QWidget::font());
    bag.WriteProperty(QStringLiteral("ButtonType"), m_buttonType, 0);
    bag.WriteProperty(QStringLiteral("Value"), m_value, false);
    bag.WriteProperty(QStringLiteral("MaskColor"), qlonglong(m_maskColor), qlonglong(0xC0C0C0));
    bag.WriteProperty(QStringLiteral("UseMaskColor"), m_useMaskColor, false);
    bag.WriteProperty(QStringLiteral("MousePointer"), m_mousePointer, 0);
    bag.WriteProperty(QStringLiteral("RoundedBordersByTheme"), m_roundedBordersByTheme, true);
    bag.WriteProperty(QStringLiteral("bRTLText"), m_rightToLeft ? -1 : 0, 0);
}

}  // namespace quarbel
