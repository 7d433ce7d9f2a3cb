// The option rules: mode and format (the size fields' digit filter is DigitField's), the
// aspect coupling of the two size fields, and the quick-size percentages.

#include "app/Form3.h"

#include "app/Numbers.h"
#include "controls/themedbutton/ThemedButton.h"
#include "formats/Formats.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace quarbel::app {

namespace {

constexpr qint64 kFieldMaximum = 32767;  // the fields hold 16-bit numbers

// factor x size, rounded half to even, as a field's text; nothing when out of range.
std::optional<QString> scaledText(double value)
{
    const std::optional<long long> rounded = roundHalfEven(value);
    if (!rounded || *rounded > kFieldMaximum || *rounded < -kFieldMaximum - 1)
        return std::nullopt;
    return QString::number(*rounded);
}

}  // namespace

void Form3::connectOptions()
{
    connect(RadioButton1, &QRadioButton::clicked, this, &Form3::RadioButton1_Click);
    connect(RadioButton2, &QRadioButton::clicked, this, &Form3::RadioButton2_Click);
    connect(Combo1, &QComboBox::activated, this, &Form3::Combo1_Click);
    connect(txtWidth, &QLineEdit::textChanged, this, &Form3::txtWidth_Change);
    connect(txtHeight, &QLineEdit::textChanged, this, &Form3::txtHeight_Change);
    connect(cbQuick, &QComboBox::activated, this, &Form3::cbQuick_Click);
    connect(cbQuick->lineEdit(), &QLineEdit::textEdited, this, &Form3::cbQuick_Change);
}

void Form3::RadioButton1_Click()
{
    if (RadioButton1->isChecked())
        applyModeRule(Mode::Convert);
}

void Form3::RadioButton2_Click()
{
    if (RadioButton2->isChecked())
        applyModeRule(Mode::Resize);
}

void Form3::applyModeRule(Mode mode)
{
    // The rule changes no values: the fields and lists keep their texts and selections.
    const bool resize = mode == Mode::Resize;
    ThemedButton3->setCaption(resize ? QStringLiteral("Resize") : QStringLiteral("Convert"));
    for (QWidget* sizeOption : std::initializer_list<QWidget*>{txtWidth, txtHeight, cbQuick, CheckBox1})
        sizeOption->setEnabled(resize);
    // Convert enables the quality list whatever the format; the next format pick decides again.
    Combo1->setEnabled(!resize);
    Combo2->setEnabled(!resize);
}

void Form3::Combo1_Click()
{
    // The lossy formats take the quality; the lossless ones leave the list disabled (a text
    // that names no format leaves it as it is).
    if (const formats::Row* row = formats::rowOfListText(Combo1->currentText().toStdString()))
        Combo2->setEnabled(row->quality == formats::Quality::Taken);
}

void Form3::setFieldText(QLineEdit* field, const QString& text)
{
    if (field->text() != text)
        field->setText(text);
}

void Form3::txtWidth_Change()
{
    settlePreviewSize(kPreviewSizeWait);  // the sizes of the picture clicked last
    if (!CheckBox1->isChecked() || PreviewWidth == 0)
        return;
    const std::optional<double> width = wholeNumber(txtWidth->text());
    if (!width)
        return;
    if (const auto height = scaledText(*width / PreviewWidth * PreviewHeight))
        setFieldText(txtHeight, *height);
}

void Form3::txtHeight_Change()
{
    settlePreviewSize(kPreviewSizeWait);
    if (!CheckBox1->isChecked() || PreviewHeight == 0)
        return;
    const std::optional<double> height = wholeNumber(txtHeight->text());
    if (!height)
        return;
    if (const auto width = scaledText(*height / PreviewHeight * PreviewWidth))
        setFieldText(txtWidth, *width);
}

void Form3::applyQuickFactor(float factor)
{
    settlePreviewSize(kPreviewSizeWait);
    // The factor is single precision, the product double: "10%" of 25 is 2.5000000373 -> 3.
    const auto width = scaledText(static_cast<double>(factor) * PreviewWidth);
    if (!width)
        return;
    setFieldText(txtWidth, *width);
    const auto height = scaledText(static_cast<double>(factor) * PreviewHeight);
    if (!height)
        return;
    setFieldText(txtHeight, *height);
}

void Form3::cbQuick_Click()
{
    const QString item = cbQuick->currentText();
    applyQuickFactor(static_cast<float>(leadingNumber(item.left(item.size() - 1)) / 100.0));
}

void Form3::selectQuickSize(int index)
{
    if (index < 0 || index >= cbQuick->count())
        return;
    cbQuick->setCurrentIndex(index);
    cbQuick->setEditText(cbQuick->itemText(index));
    cbQuick_Click();
}

void Form3::cbQuick_Change()
{
    QLineEdit* edit = cbQuick->lineEdit();
    if (leadingNumber(edit->text()) > 100) {
        edit->setText(QStringLiteral("100"));
        edit->selectAll();
    }
    applyQuickFactor(static_cast<float>(leadingNumber(edit->text()) / 100.0));
}

}  // namespace quarbel::app
