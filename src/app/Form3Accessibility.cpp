// The window as assistive technology and the keyboard meet it: every field is named (by its
// label where the window shows one), the list, the preview and the progress bar are named,
// and Tab walks the controls from the list through the options, the size fields, the mode,
// the path fields with their buttons, to Help, Cancel and Convert.

#include "app/Form3.h"

#include "controls/picturebutton/XpB.h"
#include "controls/progressbar/XP_ProgressBar.h"
#include "controls/themedbutton/ThemedButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

namespace quarbel::app {

void Form3::describeControls()
{
    // Labels name the field beside them (without this, a field in a group box is named
    // after the group).
    lblWidth->setBuddy(txtWidth);
    lblHeight->setBuddy(txtHeight);
    lblQuick->setBuddy(cbQuick);
    Label3->setBuddy(Combo1);
    Label4->setBuddy(Combo2);

    // Fields and boxes without a label of their own.
    List1->setAccessibleName(QStringLiteral("Image files"));
    List1->setAccessibleDescription(Label1->text().remove(u'(').remove(u')').trimmed());
    Picture1->setAccessibleName(QStringLiteral("Preview"));
    FlatEdit1->setAccessibleName(QStringLiteral("Source path"));
    FlatEdit2->setAccessibleName(QStringLiteral("Destination folder"));
    XP_ProgressBar1->setAccessibleName(QStringLiteral("Progress"));
    percent->setAccessibleName(QStringLiteral("Percent done"));

    QWidget* const order[] = {
        List1,         RadioButton3, RadioButton4,  CheckBox3, CheckBox2,     Combo1,       Combo2, CheckBox4,
        txtWidth,      CheckBox1,    txtHeight,     cbQuick,   RadioButton1,  RadioButton2, XpB1,   FlatEdit1,
        ThemedButton1, FlatEdit2,    ThemedButton2, XpB6,      ThemedButton4, ThemedButton3};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

}  // namespace quarbel::app
