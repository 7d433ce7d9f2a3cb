#include "app/Form3.h"

#include "app/DigitField.h"
#include "app/Fonts.h"
#include "app/Form3JobHost.h"
#include "app/PreviewArea.h"
#include "app/ResourceFiles.h"
#include "controls/common/PropertyBag.h"
#include "controls/picturebutton/ButtonSound.h"
#include "controls/picturebutton/XpB.h"
#include "controls/progressbar/XP_ProgressBar.h"
#include "controls/themedbutton/ThemedButton.h"
#include "formats/Formats.h"
#include "imagelist/PreviewLoader.h"
#include "imagelist/PreviewPrefetch.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QStatusBar>
#include <cstdio>

namespace quarbel::app {

namespace {

// The saved properties of an owned control, as its ReadProperties takes them.
PropertyBag propertyBag(const LayoutControl& control)
{
    static const QStringList placement = {QStringLiteral("Left"),     QStringLiteral("Top"),
                                          QStringLiteral("Width"),    QStringLiteral("Height"),
                                          QStringLiteral("FontName"), QStringLiteral("FontSize")};
    PropertyBag bag;
    for (const auto& [key, value] : control.properties) {
        if (!placement.contains(key, Qt::CaseInsensitive))
            bag.set(key, value);
    }
    return bag;
}

// 0x00BBGGRR as the layout stores colours.
QColor layoutColor(int bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

}  // namespace

FormLayout Form3::programLayout()
{
    QString source;
    const QByteArray data = resourceData(QStringLiteral("Form3.layout"), &source);
    QString error;
    if (auto layout = FormLayout::parse(QString::fromUtf8(data), &error))
        return *layout;
    std::fprintf(stderr, "quarbel: the window layout %s cannot be read (%s); using the built-in one\n",
                 qPrintable(source), qPrintable(error));
    initResources();
    QFile packed(QStringLiteral(":/quarbel/Form3.layout"));
    packed.open(QIODevice::ReadOnly);
    return FormLayout::parse(QString::fromUtf8(packed.readAll())).value_or(FormLayout());
}

Form3::Form3(platform::PlatformServices services, QWidget* parent)
    : Form3(std::move(services), programLayout(), parent)
{}

Form3::Form3(platform::PlatformServices services, const FormLayout& layout, QWidget* parent)
    : QWidget(parent), m_services(std::move(services))
{
    setObjectName(QStringLiteral("Form3"));
    m_jobHost = std::make_unique<Form3JobHost>(*this);
    // The picture buttons' sounds are data files of the program when the current folder has
    // none.
    picturebutton::setSoundResourceLookup([](const QString& name) { return resourceFileOnDisk(name); });
    createControls();
    for (XpB* button : {XpB1, XpB6})
        button->setShell(m_services.shell);
    applyLayout(layout);
    connectOptions();
    connectCommands();
    Form_Load();
    connectImageList();
    describeControls();
}

Form3::~Form3() = default;

void Form3::createControls()
{
    auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };
    Label1 = named(new QLabel(this), "Label1");
    List1 = named(new QListWidget(this), "List1");
    Label2 = named(new QLabel(this), "Label2");
    Picture1 = named(new PreviewArea(this), "Picture1");

    fraAdvanced = named(new QGroupBox(this), "fraAdvanced");
    RadioButton3 = named(new QRadioButton(fraAdvanced), "RadioButton3");
    RadioButton4 = named(new QRadioButton(fraAdvanced), "RadioButton4");
    CheckBox3 = named(new QCheckBox(fraAdvanced), "CheckBox3");
    CheckBox2 = named(new QCheckBox(fraAdvanced), "CheckBox2");
    Combo1 = named(new QComboBox(fraAdvanced), "Combo1");
    Label3 = named(new QLabel(fraAdvanced), "Label3");
    Combo2 = named(new QComboBox(fraAdvanced), "Combo2");
    Label4 = named(new QLabel(fraAdvanced), "Label4");
    CheckBox4 = named(new QCheckBox(fraAdvanced), "CheckBox4");

    fraSize = named(new QGroupBox(this), "fraSize");
    lblWidth = named(new QLabel(fraSize), "lblWidth");
    txtWidth = named(new DigitField(DigitField::Limit::None, fraSize), "txtWidth");
    lblUnitsW = named(new QLabel(fraSize), "lblUnitsW");
    CheckBox1 = named(new QCheckBox(fraSize), "CheckBox1");
    lblHeight = named(new QLabel(fraSize), "lblHeight");
    txtHeight = named(new DigitField(DigitField::Limit::None, fraSize), "txtHeight");
    lblUnitsH = named(new QLabel(fraSize), "lblUnitsH");
    lblQuick = named(new QLabel(fraSize), "lblQuick");
    cbQuick = named(new QComboBox(fraSize), "cbQuick");

    fraOptions = named(new QGroupBox(this), "fraOptions");
    RadioButton1 = named(new QRadioButton(fraOptions), "RadioButton1");
    RadioButton2 = named(new QRadioButton(fraOptions), "RadioButton2");
    XpB1 = named(new XpB(fraOptions), "XpB1");

    FlatEdit1 = named(new QLineEdit(this), "FlatEdit1");
    ThemedButton1 = named(new ThemedButton(this), "ThemedButton1");
    FlatEdit2 = named(new QLineEdit(this), "FlatEdit2");
    ThemedButton2 = named(new ThemedButton(this), "ThemedButton2");
    XP_ProgressBar1 = named(new XP_ProgressBar(this), "XP_ProgressBar1");
    percent = named(new QLabel(this), "percent");
    XpB6 = named(new XpB(this), "XpB6");
    ThemedButton4 = named(new ThemedButton(this), "ThemedButton4");
    ThemedButton3 = named(new ThemedButton(this), "ThemedButton3");

    StatusBar1 = named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(StatusBar1);
        m_panels[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_panels[i]->setTextFormat(Qt::PlainText);
        StatusBar1->addWidget(m_panels[i], i == 3 ? 1 : 0);
    }

    cbQuick->setEditable(true);
    cbQuick->setLineEdit(new DigitField(DigitField::Limit::Hundred, cbQuick));
    cbQuick->setCompleter(nullptr);  // typed digits stay as typed
    cbQuick->setInsertPolicy(QComboBox::NoInsert);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    Picture1->setAutoFillBackground(false);
}

void Form3::applyLayout(const FormLayout& layout)
{
    installFontSubstitutes();
    if (layout.controls().isEmpty())
        return;
    const LayoutControl& form = layout.controls().first();
    setWindowTitle(form.value(QStringLiteral("Caption")));
    setFixedSize(form.number(QStringLiteral("ClientWidth"), 737),
                 form.number(QStringLiteral("ClientHeight"), 555));
    if (form.has(QStringLiteral("FontName")))
        setFont(
            layoutFont(form.value(QStringLiteral("FontName")), form.real(QStringLiteral("FontSize"), 9.75)));

    for (const LayoutControl& c : layout.controls()) {
        if (c.kind == QStringLiteral("Line")) {
            m_frameLines << QLine(c.number(QStringLiteral("X1")), c.number(QStringLiteral("Y1")),
                                  c.number(QStringLiteral("X2")), c.number(QStringLiteral("Y2")));
            m_frameLineColors << layoutColor(c.number(QStringLiteral("BorderColor"), 0));
            continue;
        }
        QWidget* widget = c.name == objectName() ? nullptr : findChild<QWidget*>(c.name);
        if (!widget)
            continue;
        if (c.has(QStringLiteral("Width")))
            widget->setGeometry(c.geometry());
        if (c.has(QStringLiteral("FontName")))
            widget->setFont(
                layoutFont(c.value(QStringLiteral("FontName")), c.real(QStringLiteral("FontSize"), 9.75)));
        if (c.has(QStringLiteral("Visible")))
            widget->setVisible(c.flag(QStringLiteral("Visible"), true));

        const QString caption = c.value(QStringLiteral("Caption"));
        if (auto* button = qobject_cast<ThemedButton*>(widget)) {
            button->ReadProperties(propertyBag(c));
        } else if (auto* button = qobject_cast<XpB*>(widget)) {
            button->ReadProperties(propertyBag(c));
            if (c.has(QStringLiteral("ToolTipText")))
                button->setToolTip(c.value(QStringLiteral("ToolTipText")));
            if (c.has(QStringLiteral("Picture"))) {
                QImage picture;
                picture.loadFromData(resourceData(c.value(QStringLiteral("Picture"))));
                button->setPicture(picture);
            }
        } else if (auto* bar = qobject_cast<XP_ProgressBar*>(widget)) {
            bar->ReadProperties(propertyBag(c));
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(caption);
            const int alignment = c.number(QStringLiteral("Alignment"), 0);
            label->setAlignment((alignment == 2   ? Qt::AlignHCenter
                                 : alignment == 1 ? Qt::AlignRight
                                                  : Qt::AlignLeft) |
                                Qt::AlignTop);
        } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
            box->setTitle(caption);
        } else if (auto* option = qobject_cast<QRadioButton*>(widget)) {
            option->setText(caption);
            option->setChecked(c.flag(QStringLiteral("Value"), false));
        } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
            check->setText(caption);
            check->setChecked(c.number(QStringLiteral("Value"), 0) == 1);
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            edit->setText(c.value(QStringLiteral("Text")));
        } else if (widget == StatusBar1) {
            const QStringList widths = c.value(QStringLiteral("PanelWidths")).split(u',');
            for (int i = 0; i < 4 && i < widths.size(); ++i)
                m_panels[i]->setMinimumWidth(widths[i].trimmed().toInt());
        }
        if (c.has(QStringLiteral("Enabled")) && !qobject_cast<ThemedButton*>(widget) &&
            !qobject_cast<XpB*>(widget))
            widget->setEnabled(c.flag(QStringLiteral("Enabled"), true));
    }
}

void Form3::Form_Load()
{
    // Quick sizes; selecting "100%" runs the quick-size rule (the fields show "0" and "0").
    cbQuick->addItems({QStringLiteral("10%"), QStringLiteral("25%"), QStringLiteral("50%"),
                       QStringLiteral("75%"), QStringLiteral("100%")});
    selectQuickSize(4);

    cbQuick->setEnabled(false);
    txtHeight->setEnabled(false);
    txtWidth->setEnabled(false);
    CheckBox1->setEnabled(false);
    ThemedButton4->setEnabled(false);

    // Formats; selecting the first runs the format rule, which enables the quality list.
    for (const formats::Row& row : formats::table())
        if (*row.listText)
            Combo1->addItem(QLatin1String(row.listText));
    Combo1->setCurrentIndex(0);
    Combo1_Click();

    for (int quality = 100; quality >= 5; quality -= 5)
        Combo2->addItem(QString::number(quality));
    Combo2->setCurrentIndex(5);
}

QLabel* Form3::panel(int number) const { return number >= 1 && number <= 4 ? m_panels[number - 1] : nullptr; }

QString Form3::panelText(int number) const
{
    const QLabel* label = panel(number);
    return label ? label->text() : QString();
}

void Form3::setPanelText(int number, const QString& text)
{
    QLabel* label = panel(number);
    if (!label)
        return;
    label->setText(text);
    if (number == 1) {
        // A failure list belongs to the text that announced it.
        label->setToolTip(QString());
        m_failureDetails.clear();
    }
}

void Form3::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (qsizetype i = 0; i < m_frameLines.size(); ++i) {
        painter.setPen(QPen(m_frameLineColors.value(i), 0));
        painter.drawLine(m_frameLines[i]);
    }
}

void Form3::closeEvent(QCloseEvent* event)
{
    if (!m_jobRunning) {
        event->accept();
        return;
    }
    // A job is running: it stops before its next item without asking, and the window
    // closes once the start command has returned. What was written stays.
    m_closeRequested = true;
    CancelRequested = true;
    event->ignore();
}

}  // namespace quarbel::app
