// The size options as a person meets them in the real program, through the X server: the
// width, height and quick-size fields typed into, pasted into every way X offers (Ctrl+V,
// Shift+Insert, the middle button, a context menu, a dropped text), the lists chosen from
// with the pointer and with the keyboard, and the Tab order. Fields are read back the way a
// person copies them out (their selection); results are checked on disk.

#include "support/RealWindow.h"
#include "support/WindowE2E.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>

using namespace quarbel;
using e2e::RealWindow;

namespace {

class RealFields : public ::testing::Test {
protected:
    void SetUp() override
    {
        e2e::ensureApplication();
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir("out"));
        picture = e2e::writeImage(dir.path(), "p.png", 40, 30);
        window = std::make_unique<RealWindow>();
        ASSERT_TRUE(window->started());
    }

    // Resize mode, then the picture pasted into the list from the list's menu: the size
    // fields show its size.
    void pastePictureInResizeMode()
    {
        window->click("RadioButton2");
        e2e::ClipboardOwner copied(QUrl::fromLocalFile(picture).toEncoded() + "\r\n", "text/uri-list");
        window->click("List1", Qt::RightButton);
        const QString menu = window->waitForNewWindow();
        ASSERT_FALSE(menu.isEmpty()) << "no menu on a right-click with a file on the clipboard";
        e2e::click(e2e::windowGeometry(menu).topLeft() + QPoint(30, 12));  // "Paste", the first item
        ASSERT_TRUE(window->waitUntilClosed(menu));
        ASSERT_TRUE(e2e::waitUntil([&] { return window->textOf("txtWidth") == "40"; }));
        EXPECT_EQ(window->textOf("txtHeight"), "30");
    }

    // Starts the resize into out/ and waits for its output; returns the output's size.
    QSize resizeIntoOut()
    {
        window->typeInto("FlatEdit2", dir.filePath("out"));
        window->click("ThemedButton3");
        const QString output = dir.filePath("out/p.png");
        if (!e2e::waitUntil([&] { return QFileInfo(output).size() > 0 && QImageReader(output).canRead(); }))
            return {};
        return QImageReader(output).size();
    }

    QTemporaryDir dir;
    QString picture;
    std::unique_ptr<RealWindow> window;
};

TEST_F(RealFields, OnlyTypedDigitsGetIntoTheSizeFieldsWhateverIsPastedOrDropped)
{
    pastePictureInResizeMode();
    const QStringList fields = {"txtWidth", "txtHeight", "cbQuick"};
    const QStringList texts = {"40", "30", "100%"};
    for (const QString& field : fields) {
        SCOPED_TRACE(field.toStdString());
        const e2e::ClipboardOwner clipboard("x7y", "UTF8_STRING");
        {
            const e2e::ClipboardOwner selection("q9", "UTF8_STRING", e2e::Selection::Primary);
            window->click(field);
            e2e::key("End");
            e2e::type("a%. -");
            e2e::key("ctrl+v");
            e2e::key("shift+Insert");
            e2e::click(window->at(field), Qt::MiddleButton);
        }
        // The field's own menu, if it offered one, would paste on "p".
        window->click(field, Qt::RightButton);
        e2e::key("p");
        e2e::key("Escape");

        // A text dragged from another program onto the field.
        e2e::XProgram source;
        ASSERT_TRUE(source.start("tests/e2e/quarbel-e2e-drag-source", {"--at", "900,100", "--text", "55"}));
        e2e::drag(e2e::windowGeometry(source.window()).center(), window->at(field));
        QByteArray said;
        EXPECT_TRUE(e2e::waitUntil([&] {
            said += source.process().readAllStandardOutput();
            return said.contains("dropped ");
        }));
        EXPECT_TRUE(said.endsWith("dropped none\n")) << said.toStdString();

        for (qsizetype i = 0; i < fields.size(); ++i)
            EXPECT_EQ(window->textOf(fields[i]), texts[i]) << fields[i].toStdString();
    }
    e2e::saveArtifact(window->screenshot(), "fields-after-refused-input.png");

    // Typed digits do get in, and the rules follow them.
    window->typeInto("cbQuick", "50");
    EXPECT_EQ(window->textOf("txtWidth"), "20");
    EXPECT_EQ(window->textOf("txtHeight"), "15");
    window->typeInto("cbQuick", "150");  // above 100: becomes 100
    EXPECT_EQ(window->textOf("cbQuick"), "100");
    EXPECT_EQ(window->textOf("txtWidth"), "40");
    EXPECT_EQ(window->textOf("txtHeight"), "30");
    window->typeInto("txtWidth", "8x");
    EXPECT_EQ(window->textOf("txtWidth"), "8");
    EXPECT_EQ(window->textOf("txtHeight"), "6");
    window->typeInto("txtHeight", "1%5");
    EXPECT_EQ(window->textOf("txtHeight"), "15");
    EXPECT_EQ(window->textOf("txtWidth"), "20");

    EXPECT_EQ(resizeIntoOut(), QSize(20, 15));
}

TEST_F(RealFields, ListsAreChosenWithThePointerAndWithTheKeyboard)
{
    pastePictureInResizeMode();

    // Quick size with the pointer: the list opens from its arrow, "50%" is its third item.
    const QRect quick = e2e::placeOf("cbQuick");
    e2e::click(window->at("cbQuick", QPoint(quick.width() - 8, quick.height() / 2)));
    QString popup = window->waitForNewWindow();
    ASSERT_FALSE(popup.isEmpty());
    QRect list = e2e::windowGeometry(popup);
    e2e::click(QPoint(list.center().x(), list.top() + list.height() * 5 / 10));
    ASSERT_TRUE(window->waitUntilClosed(popup));
    EXPECT_EQ(window->textOf("txtWidth"), "20");
    EXPECT_EQ(window->textOf("txtHeight"), "15");
    // With the keyboard: Up picks "25%". The width 10 gives the height 7.5, rounded to the
    // even 8, which gives the width back as 10.67, rounded to 11.
    window->click("cbQuick");
    e2e::key("Up");
    EXPECT_TRUE(e2e::waitUntil([&] { return window->textOf("txtWidth") == "11"; }));
    EXPECT_EQ(window->textOf("txtHeight"), "8");
    EXPECT_EQ(window->textOf("cbQuick"), "25%");
    EXPECT_EQ(resizeIntoOut(), QSize(11, 8));

    // Image formats, in Convert mode: "BMP" with the pointer (the middle of the fourth of
    // eight items)...
    window->click("RadioButton1");
    window->click("Combo1");
    popup = window->waitForNewWindow();
    ASSERT_FALSE(popup.isEmpty());
    list = e2e::windowGeometry(popup);
    e2e::click(QPoint(list.center().x(), list.top() + list.height() * 7 / 16));
    ASSERT_TRUE(window->waitUntilClosed(popup));
    window->click("ThemedButton3");
    EXPECT_TRUE(e2e::waitUntil([&] { return QImageReader(dir.filePath("out/p.bmp")).format() == "bmp"; }));
    // ...then "GIF" with the keyboard: the list has the focus after the pick; Up moves it.
    window->click("Combo1");
    popup = window->waitForNewWindow();
    e2e::key("Escape");
    ASSERT_TRUE(window->waitUntilClosed(popup));
    e2e::key("Up");
    window->click("ThemedButton3");
    EXPECT_TRUE(e2e::waitUntil([&] { return QImageReader(dir.filePath("out/p.gif")).format() == "gif"; }));
}

TEST_F(RealFields, TabGoesFromWidthToTheAspectBoxToHeightToQuickSize)
{
    pastePictureInResizeMode();
    window->click("txtWidth");
    e2e::key("Tab");
    e2e::key("space");  // "Maintain aspect ratio" off: the fields no longer follow each other
    e2e::key("Tab");
    e2e::type("7");  // Tab selected the height's text: typing replaces it
    EXPECT_EQ(window->textOf("txtHeight"), "7");
    EXPECT_EQ(window->textOf("txtWidth"), "40");
    window->click("txtHeight");
    e2e::key("Tab");
    e2e::key("End");
    e2e::key("shift+Home");
    e2e::type("50");
    EXPECT_EQ(window->textOf("txtWidth"), "20");
    EXPECT_EQ(window->textOf("txtHeight"), "15");

    // From the source field, two Tabs reach the destination field (past the Source button).
    window->click("FlatEdit1");
    e2e::key("Tab");
    e2e::key("Tab");
    e2e::type(dir.filePath("out"));
    window->click("ThemedButton3");
    EXPECT_TRUE(
        e2e::waitUntil([&] { return QImageReader(dir.filePath("out/p.png")).size() == QSize(20, 15); }));
}

}  // namespace
