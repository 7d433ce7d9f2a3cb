#pragma once
// The preview box (Picture1): a plain widget that the picture loader paints. Assistive
// technology reads it as an image, named by the window ("Preview") and described by the
// name of the picture it shows (its accessible description).

#include <QWidget>

namespace quarbel::app {

class PreviewArea : public QWidget {
    Q_OBJECT
public:
    explicit PreviewArea(QWidget* parent = nullptr);
};

}  // namespace quarbel::app
