// The platform layer: the open dialog's filter translation, files on the clipboard, the
// single-instance lock and its notice.

#include "WindowTestSupport.h"

#include "app/SingleInstance.h"
#include "platform/Clipboard.h"
#include "platform/FileDialogs.h"
#include "platform/InstanceLock.h"

#include <gtest/gtest.h>
#include <QMimeData>
#include <QUuid>

using namespace quarbel;

TEST(FileDialogFilter, TranslatesTheOpenDialogsFilterString)
{
    const QString filter = QStringLiteral(
        "Image Files|*.jpg;*.jpeg;*.jpe;*.png;*.gif;*.bmp;*.tif;*.tiff|JPEG files (*.jpg)(*.jpeg)(*.jpe)|"
        "*.jpg;*.jpeg;*.jpe;|PNG files (*.png)|*.png|BMP files (*.bmp)|*.bmp|GIF files (*.gif)|*.gif|"
        "TIFF files (*.tif)(*.tiff)|*.tif;*.tiff|WebP, AVIF and HEIC files (*.webp)(*.heic)|"
        "*.webp;*.heic");
    EXPECT_EQ(platform::qtFilter(filter).split(";;"),
              QStringList({"Image Files (*.jpg *.jpeg *.jpe *.png *.gif *.bmp *.tif *.tiff)",
                           "JPEG files (*.jpg)(*.jpeg)(*.jpe) (*.jpg *.jpeg *.jpe)",
                           "PNG files (*.png) (*.png)", "BMP files (*.bmp) (*.bmp)",
                           "GIF files (*.gif) (*.gif)", "TIFF files (*.tif)(*.tiff) (*.tif *.tiff)",
                           "WebP, AVIF and HEIC files (*.webp)(*.heic) (*.webp *.heic)"}));
    EXPECT_EQ(platform::qtFilter("Odd|"), QString());
    EXPECT_EQ(platform::qtFilter("A|*.a|dangling"), QStringLiteral("A (*.a)"));
}

TEST(ClipboardFiles, LocalPathsInOrderFromUrlListsAndGnomeLists)
{
    QMimeData uris;
    uris.setUrls({QUrl::fromLocalFile("/p/b.jpg"), QUrl("https://example.org/x.png"),
                  QUrl::fromLocalFile("/p/a b.png")});
    EXPECT_EQ(platform::localFilesFromMime(&uris), QStringList({"/p/b.jpg", "/p/a b.png"}));

    QMimeData gnome;
    gnome.setData("x-special/gnome-copied-files", "copy\nfile:///q/z.gif\nfile:///q/a%20c.bmp\n");
    EXPECT_EQ(platform::localFilesFromMime(&gnome), QStringList({"/q/z.gif", "/q/a c.bmp"}));

    QMimeData text;
    text.setText("/not/a/file/list.jpg");
    EXPECT_TRUE(platform::localFilesFromMime(&text).isEmpty());
    EXPECT_TRUE(platform::localFilesFromMime(nullptr).isEmpty());
}

TEST(InstanceLock, TheSecondHolderIsRefusedUntilTheFirstEnds)
{
    const QString key = QStringLiteral("quarbel-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    auto first = std::make_unique<platform::FileInstanceLock>(key);
    ASSERT_TRUE(first->acquire());
    EXPECT_TRUE(first->acquire());  // asking again keeps it
    platform::FileInstanceLock second(key);
    EXPECT_FALSE(second.acquire());
    first.reset();
    EXPECT_TRUE(second.acquire());
    // The key cannot reach outside the lock folder.
    platform::FileInstanceLock odd(QStringLiteral("../../x/y"));
    EXPECT_FALSE(QFileInfo(odd.path()).fileName().contains(u'/'));
    EXPECT_EQ(QFileInfo(odd.path()).fileName(), QStringLiteral(".._.._x_y.instance.lock"));
}

TEST(InstanceLock, ASecondInstanceShowsTheNotice)
{
    const QString key = QStringLiteral("quarbel-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    platform::FileInstanceLock first(key);
    quarbel::testing::FakeMessageBoxes messages;
    ASSERT_TRUE(app::claimSingleInstance(first, messages));
    EXPECT_TRUE(messages.asked.isEmpty());

    platform::FileInstanceLock second(key);
    EXPECT_FALSE(app::claimSingleInstance(second, messages));
    ASSERT_EQ(messages.asked.size(), 1);
    EXPECT_EQ(messages.asked[0].text, QStringLiteral(" Quarbel Image Converter is already running."));
    EXPECT_EQ(messages.asked[0].title, QStringLiteral("Quarbel Image Converter 1.0"));
    EXPECT_EQ(messages.asked[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(messages.asked[0].buttons, platform::MessageButtons::Ok);
}
