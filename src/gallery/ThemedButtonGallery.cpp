// The themed button's place in the gallery: all eleven styles in the four states and with the
// focus, a live column to try them with the pointer and keys, icons, captions and toggles.

#include "controls/themedbutton/ThemedButton.h"
#include "gallery/GalleryRegistry.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>

namespace quarbel::gallery {

namespace {

const char* const StyleNames[] = {
    "0 Classic3D",     "1 Soft3D",       "2 FlatHover",    "3 SimpleBorder",       "4 HighlightFill",
    "5 FixedGlossy",   "6 WindowsTheme", "7 SystemGlossy", "8 SystemFlatGradient", "9 SystemRaisedGradient",
    "10 RoundedPixmap"};

// Puts the button into the states a person would: the focus, the pointer over it, a left
// button held down on it.
void applyStates(QWidget& widget, const QStringList& states)
{
    auto& button = static_cast<ThemedButton&>(widget);
    if (states.contains(QStringLiteral("focus"))) {
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(&button, &in);
    }
    if (states.contains(QStringLiteral("hover")))
        button.SubclassProc(ThemedButton::Notice::MouseMove);
    if (states.contains(QStringLiteral("pressed"))) {
        const QPointF centre(button.width() / 2.0, button.height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, centre, button.mapToGlobal(centre), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&button, &press);
    }
}

QImage sampleIcon()
{
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setBrush(QColor(40, 120, 200));
    p.setPen(QColor(20, 60, 120));
    p.drawEllipse(1, 1, 13, 13);
    p.fillRect(6, 4, 3, 7, QColor(250, 200, 40));
    return icon;
}

ThemedButton* makeButton(QWidget* parent, int style, const QString& caption)
{
    auto* b = new ThemedButton(parent);
    b->setStyle(style);
    b->setNonThemeStyle(0);
    b->setCaption(caption);
    b->setFixedSize(97, 25);
    return b;
}

QWidget* showcase(QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* grid = new QGridLayout(page);
    const char* const columns[] = {"Live", "Normal", "Hot", "Pressed", "Disabled", "Focus", "Icon, toggle"};
    for (int c = 0; c < 7; ++c)
        grid->addWidget(new QLabel(QString::fromLatin1(columns[c]), page), 0, 1 + c);
    for (int style = 0; style <= 10; ++style) {
        grid->addWidget(new QLabel(QString::fromLatin1(StyleNames[style]), page), 1 + style, 0);
        grid->addWidget(makeButton(page, style, QStringLiteral("&Convert")), 1 + style, 1);
        const QStringList states[] = {
            {}, {QStringLiteral("hover")}, {QStringLiteral("pressed")}, {}, {QStringLiteral("focus")}};
        for (int s = 0; s < 5; ++s) {
            // Shown in one state: the pointer and the keyboard leave them alone.
            ThemedButton* b = makeButton(page, style, QStringLiteral("Convert"));
            b->setAttribute(Qt::WA_TransparentForMouseEvents);
            b->setFocusPolicy(Qt::NoFocus);
            if (s == 3)
                b->setEnabled(false);
            grid->addWidget(b, 1 + style, 2 + s);
            applyStates(*b, states[s]);
        }
        ThemedButton* toggle = makeButton(page, style, QStringLiteral("Toggle"));
        toggle->setIcon(sampleIcon());
        toggle->setButtonType(1);
        toggle->setCaptionAlign(style % 2 == 0 ? 2 : 0);
        toggle->setToolTipText(QStringLiteral("A toggle button in style %1").arg(style));
        toggle->setToolTipTitle(QStringLiteral("ThemedButton"));
        toggle->setToolTipIcon(1 + style % 3);
        grid->addWidget(toggle, 1 + style, 7);
    }
    grid->setRowStretch(12, 1);
    grid->setColumnStretch(8, 1);
    return page;
}

}  // namespace

GalleryControl themedButtonControl()
{
    GalleryControl c;
    c.name = QStringLiteral("themedbutton");
    using K = PropertyKind;
    c.properties = {{"Icon", K::Picture},
                    {"Style", K::Integer},
                    {"Caption", K::Text},
                    {"IconSize", K::Integer},
                    {"IconAlign", K::Integer},
                    {"CaptionAlign", K::Integer},
                    {"iNonThemeStyle", K::Integer},
                    {"Enabled", K::Boolean},
                    {"ShowFocus", K::Boolean},
                    {"USeCustomColors", K::Boolean},
                    {"BackColor", K::Integer},
                    {"HighlightColor", K::Integer},
                    {"FontColor", K::Integer},
                    {"FontHighlightColor", K::Integer},
                    {"ToolTipText", K::Text},
                    {"Tooltiptitle", K::Text},
                    {"ToolTipIcon", K::Integer},
                    {"ToolTipType", K::Integer},
                    {"ttBackColor", K::Integer},
                    {"ttForeColor", K::Integer},
                    {"Font", K::Font},
                    {"ButtonType", K::Integer},
                    {"Value", K::Boolean},
                    {"MaskColor", K::Integer},
                    {"UseMaskColor", K::Boolean},
                    {"MousePointer", K::Integer},
                    {"RoundedBordersByTheme", K::Boolean},
                    {"bRTLText", K::Boolean}};
    c.keys = KeyCase::Insensitive;
    c.create = [] {
        auto button = std::make_unique<ThemedButton>();
        // Shown (so that it draws) without a window on any screen.
        button->setAttribute(Qt::WA_DontShowOnScreen);
        button->show();
        return std::unique_ptr<QWidget>(std::move(button));
    };
    c.read = [](QWidget& w, const PropertyBag& bag) { static_cast<ThemedButton&>(w).ReadProperties(bag); };
    c.applyState = applyStates;
    c.showcase = showcase;
    return c;
}

}  // namespace quarbel::gallery
