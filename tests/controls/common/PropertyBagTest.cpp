// The property bag: defaults, omission of default values, key case and the text form.

#include "controls/common/PropertyBag.h"

#include <gtest/gtest.h>
#include <QFont>
#include <QGuiApplication>
#include <QImage>

namespace quarbel {
namespace {

TEST(PropertyBagTest, ReadsTheDefaultForAMissingName)
{
    PropertyBag bag;
    EXPECT_EQ(bag.ReadProperty("Max", 100).toInt(), 100);
    bag.WriteProperty("Max", 3, 100);
    EXPECT_EQ(bag.ReadProperty("Max", 100).toInt(), 3);
}

TEST(PropertyBagTest, AValueEqualToItsDefaultIsNotStored)
{
    PropertyBag bag;
    bag.WriteProperty("Scrolling", 0, 0);
    EXPECT_FALSE(bag.contains("Scrolling"));
    bag.WriteProperty("Scrolling", 4, 0);
    EXPECT_TRUE(bag.contains("Scrolling"));
    // Writing the default again removes the stored value.
    bag.WriteProperty("Scrolling", 0, 0);
    EXPECT_FALSE(bag.contains("Scrolling"));
    // Numbers compare by value whatever their type.
    bag.WriteProperty("Color", qlonglong(16777215), 16777215);
    EXPECT_TRUE(bag.isEmpty());
    bag.WriteProperty("ShowText", false, false);
    EXPECT_TRUE(bag.isEmpty());
}

TEST(PropertyBagTest, KeysIgnoreCaseUnlessTheControlSaysOtherwise)
{
    PropertyBag loose;
    loose.WriteProperty("BrushStyle", 2, 4);
    EXPECT_EQ(loose.ReadProperty("brushstyle", 4).toInt(), 2);
    loose.WriteProperty("BRUSHSTYLE", 3, 4);
    EXPECT_EQ(loose.size(), 1);
    PropertyBag strict(KeyCase::Sensitive);
    strict.WriteProperty("BrushStyle", 2, 4);
    EXPECT_EQ(strict.ReadProperty("brushstyle", 4).toInt(), 4);
}

TEST(PropertyBagTest, TextFormKeepsOrderAndEveryValueKind)
{
    static int argc = 1;
    static char name[] = "common_tests";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance())
        new QGuiApplication(argc, argv);

    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(qRgb(1, 2, 3));
    picture.setPixel(2, 1, qRgb(200, 100, 50));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    font.setBold(true);

    PropertyBag bag;
    bag.set("Scrolling", 4);
    bag.set("Color", qlonglong(-2147483635));
    bag.set("ShowText", true);
    bag.set("Caption", QStringLiteral("say \"hi\"\\\nbye = now"));
    bag.set("Image", picture);
    bag.set("Font", font);

    const QString text = bag.toText();
    EXPECT_TRUE(text.startsWith("Scrolling = 4\nColor = -2147483635\nShowText = True\n"))
        << text.toStdString();
    QString error;
    const auto back = PropertyBag::fromText(text, &error);
    ASSERT_TRUE(back) << error.toStdString();
    EXPECT_EQ(back->names(), bag.names());
    EXPECT_EQ(back->ReadProperty("Scrolling", 0).toInt(), 4);
    EXPECT_EQ(back->ReadProperty("Color", 0).toLongLong(), -2147483635);
    EXPECT_TRUE(back->ReadProperty("ShowText", false).toBool());
    EXPECT_EQ(back->ReadProperty("Caption", QString()).toString(), QStringLiteral("say \"hi\"\\\nbye = now"));
    EXPECT_EQ(back->ReadProperty("Image", QImage()).value<QImage>().convertToFormat(QImage::Format_RGB32),
              picture);
    const QFont f = back->ReadProperty("Font", QFont()).value<QFont>();
    EXPECT_EQ(f.pixelSize(), 13);
    EXPECT_TRUE(f.bold());
}

TEST(PropertyBagTest, ParsesTheLayoutFilesConventions)
{
    const auto bag = PropertyBag::fromText(
        "' the progress bar\n\n  Scrolling=4\nColor = &H8000000D&\n# note\nMax = 0x10\n");
    ASSERT_TRUE(bag);
    EXPECT_EQ(bag->ReadProperty("Scrolling", 0).toInt(), 4);
    EXPECT_EQ(bag->ReadProperty("Color", 0).toLongLong(), 0x8000000DLL);
    EXPECT_EQ(bag->ReadProperty("Max", 0).toInt(), 16);
    EXPECT_EQ(bag->size(), 3);
}

TEST(PropertyBagTest, MalformedLinesAreRejectedNamingTheLine)
{
    for (const char* bad : {"Scrolling = 4\nno equals sign\n", "= 4\n", "Caption = \"open\n",
                            "Max = twelve\n", "Image = png:!!!!\n"}) {
        QString error;
        EXPECT_FALSE(PropertyBag::fromText(QString::fromUtf8(bad), &error)) << bad;
        EXPECT_TRUE(error.startsWith("line ")) << error.toStdString();
    }
    QString error;
    PropertyBag::fromText("A = 1\nB = 2\nC = ?\n", &error);
    EXPECT_TRUE(error.startsWith("line 3:")) << error.toStdString();
}

}  // namespace
}  // namespace quarbel
