#pragma once
// The themed button's About box: a small window of its own, kept on top, titled
// "About ThemedButton " and the version, with the name, the version, a credit line, a web
// address and a Close button. A click anywhere on it hides it.

#include <QString>
#include <QWidget>

namespace quarbel::themed {

class AboutBox : public QWidget {
    Q_OBJECT
public:
    explicit AboutBox(const QString& version);

    // Shows the box on top of the other windows, titled with the version.
    void present();
    QString version() const { return m_version; }
    // The lines the box shows, top to bottom.
    QStringList lines() const;
    bool closePressed() const { return m_pressed; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect closeButtonRect() const;

    QString m_version;
    bool m_pressed = false;
};

}  // namespace quarbel::themed
