#pragma once
// XpB: a push button with a caption and an optional picture beside it. Click is raised on a
// left-button release inside the button, on Space released while focused, on Enter, and on
// the caption's access key. A non-empty URL is opened after each click. It is drawn as the
// current style's push-button panel in its state with the picture and caption.

#include <QAbstractButton>
#include <QPixmap>

namespace quarbel {

class PropertyBag;

class XpB : public QAbstractButton {
    Q_OBJECT

public:
    explicit XpB(QWidget* parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString& caption);
    bool Enabled() const { return isEnabled(); }
    bool Visible() const { return isVisible(); }
    int ButtonStyle() const { return m_buttonStyle; }
    void setButtonStyle(int style);
    QPixmap Picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);
    // 0 above, 1 left of, 2 right of, 3 below the caption.
    int PicturePosition() const { return m_picturePosition; }
    void setPicturePosition(int position);
    QSize pictureSize() const { return {m_pictureWidth, m_pictureHeight}; }
    bool ShowFocusRect() const { return m_showFocusRect; }
    void setShowFocusRect(bool show);
    QString URL() const { return m_url; }
    void setURL(const QString& url) { m_url = url; }

    // Caption, ButtonStyle, PicturePosition, PictureWidth/Height, Enabled, ShowFocusRect, URL.
    void ReadProperties(const PropertyBag& bag);

    QSize sizeHint() const override;

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void GoToURL();

    int m_buttonStyle = 2;
    int m_picturePosition = 1;
    int m_pictureWidth = 32;
    int m_pictureHeight = 32;
    bool m_showFocusRect = true;
    QPixmap m_picture;
    QString m_url;
};

}  // namespace quarbel
