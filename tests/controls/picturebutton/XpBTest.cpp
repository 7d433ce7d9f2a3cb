// The picture button's behaviour: access keys, mouse and Space, leaving while pressed, the
// picture size rules, the resize rule, persistence, sounds and links.

#include "TestApp.h"
#include "controls/common/PropertyBag.h"
#include "controls/picturebutton/ButtonSound.h"
#include "controls/picturebutton/XpB.h"
#include "platform/Shell.h"

#include <gtest/gtest.h>
#include <QCursor>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace quarbel {
namespace {

using picturebutton::Look;

TEST(AccessKey, TakenFromTheCaption)
{
    const struct {
        const char* caption;
        char16_t key;  // 0: none
    } cases[] = {
        {"&Help", u'h'}, {"Clear", 0},    {"Save && Quit", 0}, {"A && B &Keep", u'k'},
        {"&", 0},        {"X", 0},        {"Stop&", 0},        {"Fish && &&chips", 0},
        {"a&&&b", u'b'}, {"Op&en", u'e'}, {"&1st", u'1'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(accessKeyOf(QString::fromUtf8(c.caption)), c.key ? QChar(c.key) : QChar()) << c.caption;
}

class RecordingShell : public platform::Shell {
public:
    bool openUrl(const QUrl& url) override
    {
        urls << url;
        return true;
    }
    bool openFolder(const QString&) override { return true; }
    QList<QUrl> urls;
};

class Button : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::ensureApplication();
        window.resize(200, 100);
        button = new XpB(&window);
        button->setGeometry(10, 10, 80, 25);
        button->setCaption(QStringLiteral("&Go"));
        button->setSoundClick(QStringLiteral("no such folder/click.wav"));
        shell = std::make_shared<RecordingShell>();
        button->setShell(shell);
        window.show();
        QApplication::setActiveWindow(&window);
        button->setFocus();
        (void)QTest::qWaitForWindowActive(&window);
    }
    QWidget window;
    XpB* button = nullptr;
    std::shared_ptr<RecordingShell> shell;
};

TEST_F(Button, ReleaseInsideClicksReleaseOutsideDoesNot)
{
    QSignalSpy clicks(button, &XpB::Click);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_TRUE(button->IsPressed());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(clicks.size(), 1);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(40, 12));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(85, 12));  // just right of it
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(clicks.size(), 1);
}

TEST_F(Button, RightButtonNeverPressesNorClicks)
{
    QSignalSpy clicks(button, &XpB::Click);
    QSignalSpy downs(button, &XpB::MouseDown);
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(40, 12));
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(button->surface().pixel(40, 1), button->surface().pixel(40, 1));  // painted
    QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(40, 12));
    EXPECT_EQ(clicks.size(), 0);
    ASSERT_EQ(downs.size(), 1);
    EXPECT_EQ(downs[0][0].toInt(), 2);
}

// A double click arrives as press, release, double click, release: two presses, two clicks.
TEST_F(Button, DoubleClickClicksTwice)
{
    QSignalSpy clicks(button, &XpB::Click);
    QSignalSpy downs(button, &XpB::MouseDown);
    const QPointF at(40, 12);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, button->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &e);
        EXPECT_EQ(button->IsPressed(), type != QEvent::MouseButtonRelease);
    }
    EXPECT_EQ(downs.size(), 2);
    EXPECT_EQ(clicks.size(), 2);
}

// Held Space: X repeats it as releases and presses marked auto-repeated; one press, one click.
TEST_F(Button, HeldSpacePressesOnceAndClicksOnce)
{
    QSignalSpy clicks(button, &XpB::Click);
    QSignalSpy pressedDrawings(button, &XpB::MouseDown);
    const auto send = [this](QEvent::Type type, bool repeat) {
        QKeyEvent e(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), repeat);
        QApplication::sendEvent(button, &e);
    };
    send(QEvent::KeyPress, false);
    EXPECT_TRUE(button->IsPressed());
    const QImage pressed = button->surface().image();
    for (int i = 0; i < 3; ++i) {
        send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
        EXPECT_TRUE(button->IsPressed());
        EXPECT_EQ(button->surface().image(), pressed);
    }
    EXPECT_EQ(clicks.size(), 0);
    send(QEvent::KeyRelease, false);
    EXPECT_EQ(clicks.size(), 1);
    EXPECT_FALSE(button->IsPressed());
    EXPECT_FALSE(button->KeyIsDown());
    EXPECT_NE(button->surface().image(), pressed);
}

// The pointer leaves a pressed button: it looks released; it comes back: pressed again;
// released outside: no click.
TEST_F(Button, LeavingAndReturningWhilePressed)
{
    QSignalSpy clicks(button, &XpB::Click);
    QSignalSpy outs(button, &XpB::MouseOut);
    button->setButtonStyle(picturebutton::Bordered);
    QTest::mouseMove(button, QPoint(40, 12));
    EXPECT_TRUE(button->IsHovering());
    EXPECT_TRUE(button->overTimerActive());
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(40, 12));
    const QImage pressed = button->surface().image();

    QCursor::setPos(window.mapToGlobal(QPoint(150, 80)));
    button->OverTimer_Timer();
    EXPECT_FALSE(button->IsHovering());
    EXPECT_FALSE(button->overTimerActive());
    EXPECT_EQ(outs.size(), 1);
    EXPECT_TRUE(button->IsPressed());               // still held
    EXPECT_NE(button->surface().image(), pressed);  // but drawn released

    QTest::mouseMove(button, QPoint(30, 12));
    EXPECT_TRUE(button->IsHovering());
    EXPECT_EQ(button->surface().image(), pressed);

    QCursor::setPos(window.mapToGlobal(QPoint(150, 80)));
    button->OverTimer_Timer();
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(140, 70));
    EXPECT_EQ(clicks.size(), 0);
}

TEST_F(Button, HoverPictureWhileThePointerIsOver)
{
    QImage normal(2, 2, QImage::Format_RGB32);
    normal.fill(Qt::red);
    QImage hover(2, 2, QImage::Format_RGB32);
    hover.fill(Qt::blue);
    button->setPicture(normal);
    button->setPictureHover(hover);
    QTest::mouseMove(button, QPoint(40, 12));
    EXPECT_EQ(button->Picture(), hover);
    QCursor::setPos(window.mapToGlobal(QPoint(150, 80)));
    button->OverTimer_Timer();
    EXPECT_EQ(button->Picture(), normal);
}

TEST_F(Button, AccessKeyClicksWithoutPressingAndOnlyWhileEnabled)
{
    QSignalSpy clicks(button, &XpB::Click);
    button->setURL(QStringLiteral("https://example.org/"));
    window.setFocus();  // the access key works from anywhere in the window
    QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks.size(), 1);
    ASSERT_EQ(shell->urls.size(), 1);
    button->setEnabled(false);
    QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks.size(), 1);
    button->setEnabled(true);
    button->setCaption(QStringLiteral("G&&o"));
    QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks.size(), 1);
}

TEST_F(Button, LinksOpenAfterTheClick)
{
    const struct {
        const char* url;
        const char* opened;  // nullptr: nothing opened
    } cases[] = {
        {"mailto:someone@example.org?subject=Hi", "mailto:someone@example.org?subject=Hi"},
        {"www.example.org", "http://www.example.org"},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        shell->urls.clear();
        button->setURL(QString::fromUtf8(c.url));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(40, 12));
        if (!c.opened) {
            EXPECT_TRUE(shell->urls.isEmpty()) << c.url;
            continue;
        }
        ASSERT_EQ(shell->urls.size(), 1) << c.url;
        EXPECT_EQ(shell->urls[0], QUrl(QString::fromUtf8(c.opened))) << c.url;
    }
}

TEST(PictureSize, SetsThePictureBox)
{
    testing::ensureApplication();
    XpB b;
    b.setPictureSize(picturebutton::NativeSize);
    EXPECT_EQ(QSize(b.PictureWidth(), b.PictureHeight()), QSize(32, 32));  // no picture
    b.setPicture(QImage(20, 12, QImage::Format_RGB32));
    EXPECT_EQ(QSize(b.PictureWidth(), b.PictureHeight()), QSize(20, 12));
    EXPECT_EQ(b.OriginalPicSize(), QSize(20, 12));
    b.setPictureSize(picturebutton::Small16);
    EXPECT_EQ(QSize(b.PictureWidth(), b.PictureHeight()), QSize(16, 16));
    b.setPictureSize(9);
    EXPECT_EQ(QSize(b.PictureWidth(), b.PictureHeight()), QSize(16, 16));
    b.setPicture(QImage());
    EXPECT_EQ(b.OriginalPicSize(), QSize(32, 32));
}

TEST(Style, XPTurnsTransparencyOff)
{
    testing::ensureApplication();
    XpB b;
    b.setTransparentBG(true);
    b.setButtonStyle(picturebutton::Flat);
    EXPECT_TRUE(b.TransparentBG());
    QSignalSpy changes(&b, &XpB::propertyChanged);
    b.setButtonStyle(picturebutton::XP);
    EXPECT_FALSE(b.TransparentBG());
    EXPECT_EQ(changes.size(), 1);
}

// The flat style's hover colour is its surface's back colour; another style starts from
// BackColor again.
TEST(Style, LeavingTheFlatStyleForgetsItsHoverColour)
{
    testing::ensureApplication();
    QWidget window;
    auto* b = new XpB(&window);
    b->setGeometry(0, 0, 40, 20);
    b->setCaption(QString());
    window.show();
    QTest::mouseMove(b, QPoint(5, 5));
    EXPECT_EQ(b->surface().pixel(20, 10), gfx::rgb(181, 190, 214));
    b->setButtonStyle(picturebutton::FaceOnly);
    EXPECT_EQ(b->surface().pixel(20, 10), gfx::rgb(212, 208, 200));
}

// TransparentBG shows what the container shows behind the button (here its window colour);
// the flat style does so only while it is neither hovered nor pressed.
TEST(Style, TransparentBackgroundShowsTheContainer)
{
    testing::ensureApplication();
    QWidget window;
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(10, 20, 30));
    window.setPalette(palette);
    auto* b = new XpB(&window);
    b->setGeometry(5, 5, 40, 20);
    b->setCaption(QString());
    b->setButtonStyle(picturebutton::FaceOnly);
    EXPECT_EQ(b->surface().pixel(20, 10), gfx::rgb(212, 208, 200));
    b->setTransparentBG(true);
    EXPECT_EQ(b->surface().pixel(20, 10), gfx::rgb(10, 20, 30));
    b->setButtonStyle(picturebutton::Flat);
    EXPECT_EQ(b->surface().pixel(20, 10), gfx::rgb(10, 20, 30));
    window.show();
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(b->surface().pixel(20, 10), gfx::rgb(166, 175, 214));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(20, 10));
    b->setButtonStyle(picturebutton::XP);
    EXPECT_FALSE(b->TransparentBG());
}

// The pointer over the button: the icon only with pointer 99, classic shapes by number.
TEST(Pointer, MousePointerChoosesTheShapeAndMouseIconNeeds99)
{
    testing::ensureApplication();
    QWidget window;
    XpB& b = *new XpB(&window);
    QImage icon(8, 8, QImage::Format_ARGB32);
    icon.fill(Qt::black);
    b.setMouseIcon(icon);
    EXPECT_FALSE(b.testAttribute(Qt::WA_SetCursor));
    b.setMousePointer(99);
    EXPECT_EQ(b.cursor().shape(), Qt::BitmapCursor);
    b.setMousePointer(11);
    EXPECT_EQ(b.cursor().shape(), Qt::WaitCursor);
    b.setMousePointer(0);
    EXPECT_FALSE(b.testAttribute(Qt::WA_SetCursor));
}

TEST(Resize, SidesBelowTenPixelsGrowToTen)
{
    testing::ensureApplication();
    XpB b;
    b.resize(5, 5);
    EXPECT_EQ(b.size(), QSize(10, 10));
    b.resize(3, 40);
    EXPECT_EQ(b.size(), QSize(10, 40));
    b.setButtonStyle(picturebutton::XP);
    EXPECT_EQ(b.surface().width(), 10);
    EXPECT_FALSE(b.mask().contains(QPoint(9, 39)));
}

TEST(Persistence, RoundTripOmitsDefaults)
{
    testing::ensureApplication();
    QWidget host;
    XpB b(&host);
    b.setObjectName(QStringLiteral("XpB7"));
    PropertyBag empty;
    b.ReadProperties(empty);
    EXPECT_EQ(b.Caption(), QStringLiteral("XpB7"));
    PropertyBag defaults;
    b.WriteProperties(defaults);
    EXPECT_TRUE(defaults.isEmpty()) << defaults.toText().toStdString();

    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::yellow);
    b.setCaption(QStringLiteral("&Help"));
    b.setButtonStyle(picturebutton::XP);
    b.setPicture(picture);
    b.setPictureWidth(16);
    b.setBackColor(0x00C0FFEE);
    b.setXPColor_Hover(0x80000001);
    b.setSoundClick(QStringLiteral("sounds/tick.wav"));
    b.setBEVELDEPTH(3);
    b.setEnabled(false);
    PropertyBag written;
    b.WriteProperties(written);
    EXPECT_EQ(written.names(), (QStringList{"Caption", "ButtonStyle", "Picture", "PictureWidth",
                                            "OriginalPicSizeW", "OriginalPicSizeH", "Enabled",
                                            "XPColor_Hover", "BackColor", "SoundClick", "BEVELDEPTH"}));
    // Through the text form, as a layout file keeps it.
    const auto reread = PropertyBag::fromText(written.toText());
    ASSERT_TRUE(reread);
    XpB copy(&host);
    copy.ReadProperties(*reread);
    EXPECT_EQ(copy.Caption(), QStringLiteral("&Help"));
    EXPECT_EQ(copy.accessKey(), QChar(u'h'));
    EXPECT_EQ(copy.ButtonStyle(), picturebutton::XP);
    EXPECT_EQ(copy.Picture().convertToFormat(QImage::Format_RGB32), picture);
    EXPECT_EQ(copy.PictureWidth(), 16);
    EXPECT_EQ(copy.OriginalPicSize(), QSize(3, 2));
    EXPECT_EQ(copy.BackColor(), 0x00C0FFEEu);
    EXPECT_EQ(copy.XPColor_Hover(), 0x80000001u);
    EXPECT_EQ(copy.SoundClick(), QStringLiteral("sounds/tick.wav"));
    EXPECT_EQ(copy.BEVELDEPTH(), 3);
    EXPECT_FALSE(copy.Enabled());
    PropertyBag again;
    copy.WriteProperties(again);
    EXPECT_EQ(again.toText(), written.toText());
}

// Layout files keep numbers as the form writes them; text that is no number gives the default.
TEST(Persistence, ReadsNumbersKeptAsText)
{
    testing::ensureApplication();
    const auto bag =
        PropertyBag::fromText(QStringLiteral("ButtonStyle = 3\nBackColor = &H8000000D&\n"
                                             "ShowFocusRect = 0\nBEVEL = \"deep\"\n"));
    ASSERT_TRUE(bag);
    XpB b;
    b.ReadProperties(*bag);
    EXPECT_EQ(b.ButtonStyle(), 3);
    EXPECT_EQ(b.BackColor(), 0x8000000Du);
    EXPECT_FALSE(b.ShowFocusRect());
    EXPECT_EQ(b.BEVEL(), 1);
}

TEST(Sound, StoredRelativePathFallsBackToTheProgramsFiles)
{
    testing::ensureApplication();
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    QFile wav(data.filePath(QStringLiteral("click.wav")));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.write("RIFF");
    wav.close();
    QTemporaryDir current;
    ASSERT_TRUE(current.isValid());
    const QString before = QDir::currentPath();
    QDir::setCurrent(current.path());
    picturebutton::setSoundResourceLookup([&](const QString& name) { return data.filePath(name); });
    EXPECT_EQ(picturebutton::findSoundFile(QStringLiteral(".\\resources\\click.wav")), wav.fileName());
    EXPECT_TRUE(picturebutton::findSoundFile(QStringLiteral(".\\resources\\over.wav")).isEmpty());
    EXPECT_TRUE(picturebutton::findSoundFile(QStringLiteral("..\\click.wav")).isEmpty());
    // A file in the current folder comes first.
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("resources")));
    QFile local(QStringLiteral("resources/click.wav"));
    ASSERT_TRUE(local.open(QIODevice::WriteOnly));
    local.close();
    EXPECT_EQ(picturebutton::findSoundFile(QStringLiteral(".\\resources\\click.wav")),
              QDir(current.path()).filePath(QStringLiteral("resources/click.wav")));
    local.remove();
    picturebutton::setSoundResourceLookup({});
    EXPECT_TRUE(picturebutton::findSoundFile(QStringLiteral(".\\resources\\click.wav")).isEmpty());
    QDir::setCurrent(before);
}

// Click sounds: an undecodable file and a machine without an audio device are silence, with
// nothing said on the terminal; a missing file is not even looked at.
TEST(Sound, UnplayableSoundsSayNothing)
{
    testing::ensureApplication();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString junk = dir.filePath(QStringLiteral("junk.wav"));
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    static const char bytes[] = "RIFF\x10\0\0\0WAVEnot a sound at all";
    f.write(bytes, sizeof bytes - 1);
    f.close();
    const QString click = QStringLiteral(QUARBEL_SOURCE_DIR "/resources/click.wav");
    ASSERT_TRUE(QFile::exists(click));

    QWidget window;
    auto* button = new XpB(&window);
    button->setGeometry(0, 0, 60, 24);
    window.show();
    QSignalSpy clicks(button, &XpB::Click);
    for (const QString& sound : {junk, click, dir.filePath(QStringLiteral("missing.wav"))}) {
        button->setSoundClick(sound);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    }
    EXPECT_EQ(clicks.size(), 3);
    const auto settled = [](const QString& path) {
        const QSoundEffect::Status s = picturebutton::soundStatus(path);
        return s == QSoundEffect::Ready || s == QSoundEffect::Error;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return settled(junk) && settled(click); }, 15000));
    EXPECT_EQ(picturebutton::soundStatus(junk), QSoundEffect::Error);
    EXPECT_EQ(picturebutton::soundStatus(dir.filePath(QStringLiteral("missing.wav"))), QSoundEffect::Null);
    QCoreApplication::processEvents();
    for (const QString& m : testing::loggedMessages())
        EXPECT_FALSE(m.contains(QStringLiteral("audio"), Qt::CaseInsensitive) ||
                     m.contains(QStringLiteral("Sound")))
            << m.toStdString();
}

}  // namespace
}  // namespace quarbel
