// The themed button's behaviour: the state machine under mouse, keys and focus, the events it
// raises, persistence through the property bag, the minimum size, the tooltip's rules and
// lifetime, style 6's fallback and the About box. Events are delivered in-process; the real
// window under X is driven by the end-to-end tests.

#include "TestApp.h"
#include "controls/themedbutton/ThemedButton.h"

#include <gtest/gtest.h>
#include <QCommonStyle>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcutEvent>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << s.toStdString(); }
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << l.join(QStringLiteral(", ")).toStdString();
}
QT_END_NAMESPACE

namespace quarbel {
namespace {

using State = ThemedButton::ButtonState;

void enter(QWidget* w)
{
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(w, &e);
}

void leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

void mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint at = {10, 10})
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void click(QWidget* w, QPoint releaseAt = {10, 10})
{
    mouse(w, QEvent::MouseButtonPress, Qt::LeftButton);
    mouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, releaseAt);
}

void key(QWidget* w, QEvent::Type type, int k, bool autoRepeat = false)
{
    QKeyEvent e(type, k, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(w, &e);
}

class Behaviour : public ::testing::Test {
protected:
    // Before the fixture's window is made.
    static void SetUpTestSuite() { testing::ensureWidgetsWithClassicColors(); }
    void SetUp() override
    {
        window.resize(300, 100);
        before = new ThemedButton(&window);
        button = new ThemedButton(&window);
        after = new ThemedButton(&window);
        before->setGeometry(0, 0, 80, 25);
        button->setGeometry(100, 0, 81, 25);
        after->setGeometry(200, 0, 80, 25);
        button->setCaption(QStringLiteral("&Go"));
        QObject::connect(button, &ThemedButton::Click, [this] { ++clicks; });
        QObject::connect(button, &ThemedButton::MouseEnter, [this] { ++enters; });
        QObject::connect(button, &ThemedButton::MouseLeave, [this] { ++leaves; });
        window.show();
    }
    QWidget window;
    ThemedButton* before = nullptr;
    ThemedButton* button = nullptr;
    ThemedButton* after = nullptr;
    int clicks = 0, enters = 0, leaves = 0;
};

TEST_F(Behaviour, HoverPressAndReleaseInside)
{
    EXPECT_EQ(button->state(), State::Normal);
    enter(button);
    EXPECT_TRUE(button->MouseInside());
    EXPECT_EQ(button->state(), State::Hot);
    EXPECT_EQ(enters, 1);
    mouse(button, QEvent::MouseMove, Qt::NoButton);
    EXPECT_EQ(enters, 1);  // only the first move inside
    mouse(button, QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_EQ(button->state(), State::Pressed);
    mouse(button, QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(button->state(), State::Hot);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button->LastMouseButton(), 1);
    leave(button);
    EXPECT_EQ(button->state(), State::Normal);
    EXPECT_FALSE(button->MouseInside());
    EXPECT_EQ(leaves, 1);

    // Other buttons neither press nor click, but are remembered.
    enter(button);
    mouse(button, QEvent::MouseButtonPress, Qt::RightButton);
    EXPECT_EQ(button->state(), State::Hot);
    mouse(button, QEvent::MouseButtonRelease, Qt::RightButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button->LastMouseButton(), 2);
}

TEST_F(Behaviour, ReleaseOutsideShowsHotWithoutClickUntilThePointerLeaves)
{
    enter(button);
    click(button, QPoint(150, 60));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button->state(), State::Hot);
    leave(button);
    EXPECT_EQ(button->state(), State::Normal);
}

TEST_F(Behaviour, ToggleButtonClicksOnlyWhenSwitchedOff)
{
    button->setButtonType(1);
    enter(button);
    click(button);
    EXPECT_TRUE(button->Value());
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button->state(), State::Pressed);  // an on toggle is shown pressed
    click(button);
    EXPECT_FALSE(button->Value());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button->state(), State::Hot);
}

TEST_F(Behaviour, HeldSpaceShowsPressedAndClicksOnceOnRelease)
{
    key(button, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_EQ(button->state(), State::Pressed);
    for (int i = 0; i < 3; ++i) {
        key(button, QEvent::KeyRelease, Qt::Key_Space, true);
        key(button, QEvent::KeyPress, Qt::Key_Space, true);
    }
    EXPECT_EQ(button->state(), State::Pressed);
    EXPECT_EQ(clicks, 0);
    key(button, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button->state(), State::Normal);
    // Enter is not one of the button's keys.
    key(button, QEvent::KeyPress, Qt::Key_Return);
    key(button, QEvent::KeyRelease, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
}

TEST_F(Behaviour, SpaceOnAToggleFlipsOnlyAfterALeftRelease)
{
    button->setButtonType(1);
    key(button, QEvent::KeyPress, Qt::Key_Space);
    key(button, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->Value());  // never clicked with the mouse

    enter(button);
    click(button);  // switched on by the mouse: no Click
    EXPECT_TRUE(button->Value());
    key(button, QEvent::KeyPress, Qt::Key_Space);
    key(button, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_FALSE(button->Value());
    EXPECT_EQ(clicks, 2);

    mouse(button, QEvent::MouseButtonPress, Qt::RightButton);
    mouse(button, QEvent::MouseButtonRelease, Qt::RightButton);
    key(button, QEvent::KeyPress, Qt::Key_Space);
    key(button, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_FALSE(button->Value());  // the last release was the right button's
    EXPECT_EQ(clicks, 3);
}

TEST_F(Behaviour, ArrowsMoveTheFocusTabRaisesMouseLeave)
{
    button->setButtonType(1);
    struct Case {
        int key;
        ThemedButton* next;
    };
    for (const Case& c : {Case{Qt::Key_Right, after}, Case{Qt::Key_Down, after}, Case{Qt::Key_Left, before},
                          Case{Qt::Key_Up, before}}) {
        button->setFocus();
        key(button, QEvent::KeyPress, c.key);
        EXPECT_EQ(window.focusWidget(), c.next) << c.key;
        EXPECT_FALSE(button->Value());
    }
    enter(button);
    const int before = leaves;
    key(button, QEvent::KeyPress, Qt::Key_Tab);
    EXPECT_EQ(leaves, before + 1);
    EXPECT_TRUE(button->MouseInside());
    EXPECT_EQ(button->state(), State::Hot);
}

TEST_F(Behaviour, AccessKeyClicksAndTogglesLikeALeftClick)
{
    button->setButtonType(1);
    QShortcutEvent e(QKeySequence(QStringLiteral("Alt+G")), 0);
    QApplication::sendEvent(button, &e);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button->LastMouseButton(), 1);
    EXPECT_TRUE(button->Value());
    QShortcutEvent other(QKeySequence(QStringLiteral("Alt+X")), 0);
    QApplication::sendEvent(button, &other);
    EXPECT_EQ(clicks, 1);
}

TEST_F(Behaviour, FocusAndEnabled)
{
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(button, &in);
    EXPECT_TRUE(button->HasFocus());
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(button, &out);
    EXPECT_FALSE(button->HasFocus());

    button->setEnabled(false);
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(button->state(), State::Disabled);
    button->setEnabled(true);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(button->state(), State::Normal);
}

TEST_F(Behaviour, DesignTimeHasNoHoverAndShowsStylesHot)
{
    button->setContainerMode(themed::Mode::Design);
    enter(button);
    EXPECT_FALSE(button->MouseInside());
    EXPECT_EQ(enters, 0);
    EXPECT_EQ(button->toolTipWindow(), nullptr);
    EXPECT_EQ(button->state(), State::Hot);  // style 0 at design time
    button->setStyle(5);
    button->Refresh();
    EXPECT_EQ(button->state(), State::Hot);  // what was written back stays; 5 is not forced
    button->setEnabled(true);                // resets to Normal
    EXPECT_EQ(button->state(), State::Normal);
}

TEST_F(Behaviour, ShrunkBelowTheMinimumGrowsBack)
{
    button->resize(10, 12);
    EXPECT_EQ(button->size(), QSize(20, 20));
    EXPECT_EQ(button->ClientRect(), (gfx::Rect{0, 0, 20, 20}));
    button->resize(15, 40);
    EXPECT_EQ(button->size(), QSize(20, 40));
}

TEST_F(Behaviour, WindowRegionFollowsTheStyle)
{
    // 81 x 25. Style 5: cut corners; 8: wider cuts; 10: rounded; others: the whole rectangle.
    button->setStyle(5);
    EXPECT_FALSE(button->mask().isEmpty());
    EXPECT_TRUE(button->mask().contains(QPoint(40, 12)));
    EXPECT_FALSE(button->mask().contains(QPoint(80, 0)));
    EXPECT_FALSE(button->mask().contains(QPoint(0, 24)));
    EXPECT_FALSE(button->mask().contains(QPoint(80, 24)));
    button->setStyle(8);
    EXPECT_FALSE(button->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(button->mask().contains(QPoint(80, 1)));
    EXPECT_TRUE(button->mask().contains(QPoint(3, 1)));
    button->setStyle(10);
    EXPECT_FALSE(button->mask().contains(QPoint(1, 1)));
    EXPECT_TRUE(button->mask().contains(QPoint(9, 1)));
    button->setStyle(0);
    EXPECT_TRUE(button->mask().isEmpty());
    EXPECT_TRUE(button->windowRegion().contains(80, 24));
}

TEST(PropertyNotices, EverySetterNamesItsProperty)
{
    testing::ensureWidgetsWithClassicColors();
    ThemedButton b;
    QStringList names;
    QObject::connect(&b, &ThemedButton::propertyChanged, [&](const QString& n) { names << n; });
    b.setStyle(1);
    b.setCaption(QStringLiteral("x"));
    b.setIcon(QImage(2, 2, QImage::Format_RGB32));
    b.setIconAlign(2);
    b.setIconSize(20);
    b.setCaptionAlign(1);
    b.setNonThemeStyle(2);
    b.setEnabled(true);
    b.setShowFocus(true);
    b.setUseCustomColors(true);
    b.setBackColor(1);
    b.setHighlightColor(1);
    b.setFontColor(1);
    b.setFontHighlightColor(1);
    b.setToolTipText(QStringLiteral("t"));
    b.setToolTipTitle(QStringLiteral("t"));
    b.setToolTipIcon(1);
    b.setToolTipType(0);
    b.setToolTipBackColor(1);
    b.setToolTipForeColor(1);
    b.setFont(QFont());
    b.setButtonType(1);
    b.setMousePointer(2);
    b.setValue(true);
    b.setMaskColor(1);
    b.setUseMaskColor(true);
    b.setRoundedBordersByTheme(true);
    b.setRightToLeft(true);
    EXPECT_EQ(names, QStringList({"Style",
                                  "Caption",
                                  "Icon",
                                  "IconAlign",
                                  "IconSize",
                                  "CaptionAlign",
                                  "NonThemeStyle",
                                  "Enabled",
                                  "ShowFocus",
                                  "UseCustomColors",
                                  "BackColor",
                                  "HighlightColor",
                                  "FontColor",
                                  "FontHighlightColor",
                                  "ToolTipText",
                                  "TooltipTitle",
                                  "TooltipIcon",
                                  "ToolTipType",
                                  "ToolTipBackColor",
                                  "ToolTipForeColor",
                                  "Font",
                                  "ButtonType",
                                  "MousePointer",
                                  "Value",
                                  "MaskColor",
                                  "UseMaskColor",
                                  "RoundedBordersByTheme",
                                  "bRTLText"}));
    EXPECT_EQ(b.cursor().shape(), Qt::CrossCursor);
}

TEST(Persistence, NewControlStoresOnlyWhatDiffersFromTheDefaults)
{
    testing::ensureWidgetsWithClassicColors();
    ThemedButton b;
    b.InitProperties(QString());
    PropertyBag bag;
    b.WriteProperties(bag);
    // Style 0 differs from the default 3; the empty caption equals its default; the colours
    // are the current system colours; Icon, the tooltip's title, icon and type and the font
    // are always written.
    EXPECT_EQ(bag.ReadProperty("Style", 3).toInt(), 0);
    // A new control's tooltip colours and mask colour are 0: the text colour equals its
    // default (the info text colour, black), the background and the mask colour do not.
    EXPECT_EQ(bag.names(),
              QStringList({"Icon", "Style", "iNonThemeStyle", "Tooltiptitle", "ToolTipIcon", "ToolTipType",
                           "ttForeColor", "Font", "MaskColor", "RoundedBordersByTheme"}));
    EXPECT_FALSE(bag.ReadProperty("RoundedBordersByTheme", true).toBool());
    EXPECT_EQ(bag.ReadProperty("ttForeColor", -1).toLongLong(), 0);

    ThemedButton named;
    named.InitProperties(QStringLiteral("ThemedButton1"));
    EXPECT_EQ(named.Caption(), QStringLiteral("ThemedButton1"));
    PropertyBag namedBag;
    named.WriteProperties(namedBag);
    EXPECT_EQ(namedBag.ReadProperty("Caption", QString()).toString(), QStringLiteral("ThemedButton1"));
}

TEST(Persistence, EmptyBagGivesTheReadDefaults)
{
    testing::ensureWidgetsWithClassicColors();
    ThemedButton b;
    b.ReadProperties(PropertyBag());
    EXPECT_EQ(b.Style(), 3);
    EXPECT_EQ(b.Caption(), QStringLiteral("ThemedButton"));
    EXPECT_EQ(b.NonThemeStyle(), 5);
    EXPECT_TRUE(b.RoundedBordersByTheme());
    EXPECT_EQ(b.MaskColor(), 0xC0C0C0u);
    // Tooltip text colour defaults to the info text colour and the background to the info
    // background, the other way round from what one might expect.
    EXPECT_EQ(b.ToolTipBackColor(), 0x000000u);
    EXPECT_EQ(b.ToolTipForeColor(), 0xE1FFFFu);
    EXPECT_EQ(b.BackColor(), 0xC8D0D4u);
    EXPECT_EQ(b.IconAlign(), 1);
    EXPECT_EQ(b.IconSize(), 16);
    EXPECT_EQ(b.ToolTipType(), 1);
}

TEST(Persistence, RoundTripWithKeysInAnyCase)
{
    testing::ensureWidgetsWithClassicColors();
    ThemedButton a;
    a.setStyle(9);
    a.setCaption(QStringLiteral("Résumé \"x\""));
    a.setIcon(QImage(4, 4, QImage::Format_ARGB32));
    a.setCaptionAlign(4);
    a.setUseCustomColors(true);
    a.setBackColor(0x80000005);
    a.setRightToLeft(true);
    a.setToolTipText(QStringLiteral("Add files"));
    a.setButtonType(1);
    a.setValue(true);
    a.setEnabled(false);
    PropertyBag bag;
    a.WriteProperties(bag);
    EXPECT_EQ(bag.ReadProperty("bRTLText", 0).toInt(), -1);

    // The host keeps its keys in lower case, and its text form.
    PropertyBag lower;
    for (const QString& name : bag.names())
        lower.set(name.toLower(), bag.ReadProperty(name, QVariant()));
    const auto parsed = PropertyBag::fromText(lower.toText());
    ASSERT_TRUE(parsed);
    ThemedButton b;
    b.ReadProperties(*parsed);
    EXPECT_EQ(b.Style(), 9);
    EXPECT_EQ(b.Caption(), a.Caption());
    EXPECT_EQ(b.Icon().size(), QSize(4, 4));
    EXPECT_EQ(b.CaptionAlign(), 4);
    EXPECT_TRUE(b.UseCustomColors());
    EXPECT_EQ(b.BackColor(), 0x80000005u);
    EXPECT_TRUE(b.RightToLeft());
    EXPECT_EQ(b.ToolTipText(), QStringLiteral("Add files"));
    EXPECT_EQ(b.toolTip(), QStringLiteral("Add files"));  // handed to the host's own tooltip
    EXPECT_TRUE(b.Value());
    EXPECT_FALSE(b.Enabled());
    EXPECT_FALSE(b.isEnabled());
}

TEST(Persistence, LayoutFileTextIsConverted)
{
    testing::ensureWidgetsWithClassicColors();
    PropertyBag bag;
    bag.set("Style", "5");
    bag.set("Caption", "Source");
    bag.set("ToolTipType", "1");
    bag.set("ttForeColor", "0");
    bag.set("MaskColor", "0");
    bag.set("RoundedBordersByTheme", "False");
    bag.set("BackColor", "&H8000000F&");
    bag.set("IconSize", "not a number");
    ThemedButton b;
    b.ReadProperties(bag);
    EXPECT_EQ(b.Style(), 5);
    EXPECT_EQ(b.Caption(), QStringLiteral("Source"));
    EXPECT_EQ(b.ToolTipForeColor(), 0u);
    EXPECT_EQ(b.MaskColor(), 0u);
    EXPECT_FALSE(b.RoundedBordersByTheme());
    EXPECT_EQ(b.BackColor(), 0x8000000Fu);
    EXPECT_EQ(b.IconSize(), 16);
}

TEST(ToolTipRules, TitleIconAndColours)
{
    testing::ensureWidgetsWithClassicColors();
    struct Case {
        const char* name;
        int type, icon;
        const char* title;
        std::uint32_t fore, back;
        bool balloon, hasTitle;
        std::optional<gfx::Color> text, background;
    };
    const Case cases[] = {
        {"plain balloon", 1, 0, "", 0, 0, true, false, {}, {}},
        {"rectangle", 0, 0, "", 0, 0, false, false, {}, {}},
        {"other type is a rectangle", 2, 0, "", 0, 0, false, false, {}, {}},
        {"icon without title", 1, 2, "", 0, 0, true, true, {}, {}},
        {"title without icon", 1, 0, "Hint", 0, 0, true, true, {}, {}},
        {"colours", 1, 0, "", 0x0000FF, 0x00FF00, true, false, 0x0000FF, 0x00FF00},
        {"system colours translated", 1, 0, "", 0x80000018, 0x80000017, true, false, 0xE1FFFF, 0x000000},
        {"unknown system colour", 1, 0, "", 0x800000FF, 0x80000005, true, false, {}, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        const themed::ToolTipSetup s = themed::toolTipSetup(c.type, c.icon, QString::fromLatin1(c.title),
                                                            QStringLiteral("text"), c.fore, c.back);
        EXPECT_EQ(s.balloon, c.balloon) << c.name;
        EXPECT_EQ(s.hasTitle, c.hasTitle) << c.name;
        EXPECT_EQ(s.textColor, c.text) << c.name;
        EXPECT_EQ(s.backColor, c.background) << c.name;
        EXPECT_EQ(s.text, QStringLiteral("text"));
    }
}

TEST_F(Behaviour, TooltipLivesFromEntryToLeaveAndIsMadeAnewEachTime)
{
    button->setToolTipText(QStringLiteral("Pick the files"));
    button->setToolTipTitle(QStringLiteral("Source"));
    button->setToolTipIcon(1);
    button->setToolTipForeColor(0x0000FF);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Pick the files"));
    enter(button);
    QPointer<themed::ButtonToolTip> first = button->toolTipWindow();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->setup().text, QStringLiteral("Pick the files"));
    EXPECT_EQ(first->setup().title, QStringLiteral("Source"));
    EXPECT_EQ(first->look().text, 0x0000FFu);
    EXPECT_EQ(first->look().background, 0xE1FFFFu);  // 0: the system colour stays
    EXPECT_FALSE(first->look().titleIcon.isNull());
    EXPECT_TRUE(button->toolTip().isEmpty());  // the host shows none of its own meanwhile
    first->popUp();
    EXPECT_TRUE(first->isVisible());

    leave(button);
    EXPECT_EQ(button->toolTipWindow(), nullptr);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Pick the files"));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);

    button->setToolTipType(0);
    button->setToolTipTitle(QString());
    button->setToolTipIcon(0);
    enter(button);
    ASSERT_TRUE(button->toolTipWindow());
    EXPECT_FALSE(button->toolTipWindow()->setup().balloon);
    EXPECT_FALSE(button->toolTipWindow()->setup().hasTitle);

    // A new text while inside is shown at once and not lost.
    button->setToolTipText(QStringLiteral("Other"));
    EXPECT_EQ(button->ToolTipText(), QStringLiteral("Other"));
    EXPECT_EQ(button->toolTipWindow()->setup().text, QStringLiteral("Other"));
    button->hide();
    EXPECT_EQ(button->toolTip(), QStringLiteral("Other"));
}

// A desktop style without a push button, as a desktop without visual styles.
class NoButtonStyle : public QCommonStyle {
public:
    void drawControl(ControlElement, const QStyleOption*, QPainter*, const QWidget*) const override {}
    void drawPrimitive(PrimitiveElement, const QStyleOption*, QPainter*, const QWidget*) const override {}
};

TEST_F(Behaviour, ThemeStyleFallsBackToTheNonThemeStyleAndStays)
{
    NoButtonStyle none;
    button->QWidget::setStyle(&none);
    button->setNonThemeStyle(2);
    QStringList names;
    QObject::connect(button, &ThemedButton::propertyChanged, [&](const QString& n) { names << n; });
    button->setStyle(6);
    EXPECT_EQ(button->Style(), 2);
    EXPECT_EQ(names, QStringList({"Style"}));  // the fallback itself is not announced
    button->Refresh();
    EXPECT_EQ(button->Style(), 2);
    button->QWidget::setStyle(nullptr);
}

TEST_F(Behaviour, HiddenControlOnlyClears)
{
    button->hide();
    button->setStyle(4);
    button->Refresh();
    for (int x = 0; x < 81; x += 10)
        EXPECT_EQ(button->surface().pixel(x, 12), 0xC8D0D4u);
    button->show();
    EXPECT_EQ(button->surface().pixel(40, 2), gfx::rgb(217, 213, 206));  // style 4's tint
}

TEST(AboutBox, ShowsTitleAndHidesOnAClick)
{
    testing::ensureWidgetsWithClassicColors();
    ThemedButton b;
    b.About();
    themed::AboutBox* box = b.aboutBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowTitle(), QStringLiteral("About ThemedButton 3.6.2"));
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(box->lines().contains(QStringLiteral("Version 3.6.2")));
    mouse(box, QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_TRUE(box->closePressed());
    mouse(box, QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_FALSE(box->isVisible());
    // An empty link still goes to the desktop, which refuses it.
    EXPECT_LE(b.OpenLink(QString()), 32);
}

}  // namespace
}  // namespace quarbel
