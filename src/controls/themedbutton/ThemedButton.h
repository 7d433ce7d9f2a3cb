#pragma once
// ThemedButton: a push button with a caption, raising Click on a left-button release inside
// the button or on Space/Enter while it has the focus. It is drawn as the current style's
// push-button panel in its state (normal, hot, pressed, disabled, focused). The persisted
// properties the window's layout sets are read from a PropertyBag.

#include <QAbstractButton>

namespace quarbel {

class PropertyBag;

class ThemedButton : public QAbstractButton {
    Q_OBJECT

public:
    enum class ButtonState { Normal = 1, Hot = 2, Pressed = 3, Disabled = 4 };

    explicit ThemedButton(QWidget* parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString& caption);
    bool Enabled() const { return isEnabled(); }
    bool Visible() const { return isVisible(); }
    int Style() const { return m_style; }
    using QAbstractButton::setStyle;
    void setStyle(int style);
    QString ToolTipText() const { return toolTip(); }
    void setToolTipText(const QString& text) { setToolTip(text); }
    int ToolTipType() const { return m_toolTipType; }

    // The state the button is shown in right now.
    ButtonState state() const;

    // Style, Caption, Enabled, ToolTipText and the other stored keys (case-insensitive).
    void ReadProperties(const PropertyBag& bag);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_style = 0;
    int m_toolTipType = 1;
};

}  // namespace quarbel
