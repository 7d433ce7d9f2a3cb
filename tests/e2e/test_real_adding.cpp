// Files getting into the real program's list the ways a person puts them there, through the
// X server: Paste from the list's menu and Ctrl+V with files a file manager copied (another
// process owns the clipboard), a real drag from another program, the open dialog and the
// folder pickers typed into, and Delete All. What the list holds is seen on disk, in what
// Convert writes, and in the preview on the screen.

#include "support/RealWindow.h"
#include "support/WindowE2E.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QUrl>

using namespace quarbel;
using e2e::RealWindow;

namespace {

class RealAdding : public ::testing::Test {
protected:
    void SetUp() override
    {
        e2e::ensureApplication();
        ASSERT_TRUE(dir.isValid());
        for (const char* folder : {"src/folder", "out"})
            ASSERT_TRUE(QDir(dir.path()).mkpath(folder));
        window = std::make_unique<RealWindow>();
        ASSERT_TRUE(window->started());
    }

    QString picture(const QString& relative, QColor color)
    {
        const QFileInfo at(dir.filePath(relative));
        return e2e::writeImage(at.path(), at.fileName(), 60, 40, color);
    }
    QByteArray uri(const QString& path) const { return QUrl::fromLocalFile(path).toEncoded(); }

    // Opens the list's menu with a right-click and returns it (empty when none opened).
    QString listMenu()
    {
        window->click("List1", Qt::RightButton);
        return window->waitForNewWindow();
    }

    // Types out/ into the destination field, converts, and returns the names written there
    // once `expected` of them are.
    QStringList convertIntoOut(int expected)
    {
        window->typeInto("FlatEdit2", dir.filePath("out"));
        window->click("ThemedButton3");
        return written(expected);
    }
    QStringList written(int expected) const
    {
        QStringList names;
        e2e::waitUntil([&] {
            names = QDir(dir.filePath("out")).entryList(QDir::Files, QDir::Name);
            return names.size() >= expected && std::all_of(names.begin(), names.end(), [&](const QString& n) {
                       return QImageReader(dir.filePath("out/" + n)).canRead();
                   });
        });
        return names;
    }
    QColor previewCentre() const
    {
        return window->screenshot().pixelColor(e2e::placeOf("Picture1").center());
    }

    QTemporaryDir dir;
    std::unique_ptr<RealWindow> window;
};

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 30;
}

TEST_F(RealAdding, PasteCtrlVAndADropFromOtherProgramsAddWhatConvertThenWrites)
{
    const QString red = picture("src/a.png", Qt::red);
    const QString green = picture("src/b.png", Qt::green);
    picture("src/folder/c.png", Qt::blue);
    picture("src/folder/d.jpeg", Qt::blue);  // not an accepted name
    const QString notes = dir.filePath("src/notes.txt");

    {  // Copied in a file manager: a picture, a folder and a text file; Paste from the menu.
        const e2e::ClipboardOwner copied(
            uri(red) + "\r\n" + uri(dir.filePath("src/folder")) + "\r\n" + uri(notes) + "\r\n",
            "text/uri-list");
        const QString menu = listMenu();
        ASSERT_FALSE(menu.isEmpty());
        e2e::click(e2e::windowGeometry(menu).topLeft() + QPoint(30, 12));  // "Paste", the first item
        ASSERT_TRUE(window->waitUntilClosed(menu));
    }
    EXPECT_TRUE(e2e::waitUntil([&] { return near(previewCentre(), Qt::red); }));
    e2e::saveArtifact(window->screenshot(), "list-after-paste.png");

    {  // The file managers' own format, pasted with Ctrl+V on the list (the first item stays
        // the one shown).
        const e2e::ClipboardOwner copied("copy\n" + uri(green), "x-special/gnome-copied-files");
        window->click("List1");
        e2e::key("ctrl+v");
    }

    // The folder dragged from another program and dropped on the list: its accepted images.
    e2e::XProgram source;
    ASSERT_TRUE(source.start("tests/e2e/quarbel-e2e-drag-source",
                             {"--at", "900,100", dir.filePath("src/folder"), notes}));
    QByteArray said;
    const auto sourceSays = [&](const QByteArray& line) {
        said += source.process().readAllStandardOutput();
        return said.contains(line + '\n');
    };
    e2e::drag(e2e::windowGeometry(source.window()).center(), window->at("List1"), Qt::LeftButton,
              [&] { return sourceSays("over copy"); });
    EXPECT_TRUE(e2e::waitUntil([&] { return sourceSays("dropped copy"); })) << said.toStdString();
    // After a drop the first item of the list is shown.
    EXPECT_TRUE(e2e::waitUntil([&] { return near(previewCentre(), Qt::red); }));

    EXPECT_EQ(convertIntoOut(3), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
}

TEST_F(RealAdding, DialogsTypedIntoAddFilesPickTheDestinationAndDeleteAllEmptiesTheList)
{
    const QString red = picture("src/a.png", Qt::red);
    picture("src/folder/c.png", Qt::blue);
    const QColor emptyPreview = previewCentre();

    // Single: the open dialog, its file name typed.
    EXPECT_TRUE(window->typeIntoDialogOf("ThemedButton1", red).has_value());
    EXPECT_TRUE(e2e::waitUntil([&] { return near(previewCentre(), Qt::red); }));

    // Multiple: the input folder picker, the folder typed; then the destination picker.
    window->click("RadioButton4");
    EXPECT_EQ(window->typeIntoDialogOf("ThemedButton1", dir.filePath("src/folder")).value_or("none"),
              "Quarbel Image Converter - Please select input folder.");
    EXPECT_EQ(window->typeIntoDialogOf("ThemedButton2", dir.filePath("out")).value_or("none"),
              "Quarbel Image Converter - Please select output folder.");
    EXPECT_EQ(window->textOf("FlatEdit2"), dir.filePath("out"));

    window->click("ThemedButton3");
    EXPECT_EQ(written(2), QStringList({"a.jpg", "c.jpg"}));

    // Delete All, the menu's last item, chosen with the keyboard.
    const QString menu = listMenu();
    ASSERT_FALSE(menu.isEmpty());
    e2e::key("Up");
    e2e::key("Return");
    ASSERT_TRUE(window->waitUntilClosed(menu));
    EXPECT_TRUE(e2e::waitUntil([&] { return previewCentre() == emptyPreview; })) << "the preview is emptied";
    // Nothing left to convert (and the fields were emptied): the start command says so.
    window->click("ThemedButton3");
    const QString box = window->waitForNewWindow();
    ASSERT_FALSE(box.isEmpty());
    EXPECT_EQ(e2e::windowName(box), "Error");
    window->answer(box, {}, "Return");
    EXPECT_TRUE(window->waitUntilClosed(box));
}

}  // namespace
