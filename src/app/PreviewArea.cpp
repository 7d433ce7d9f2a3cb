#include "app/PreviewArea.h"

#include <QAccessibleWidget>

namespace quarbel::app {

namespace {

class PreviewAccessible : public QAccessibleWidget, public QAccessibleImageInterface {
public:
    explicit PreviewAccessible(QWidget* box) : QAccessibleWidget(box, QAccessible::Graphic) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ImageInterface)
            return static_cast<QAccessibleImageInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString imageDescription() const override { return widget()->accessibleDescription(); }
    QSize imageSize() const override { return widget()->size(); }
    QPoint imagePosition() const override { return rect().topLeft(); }
};

QAccessibleInterface* previewFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(PreviewArea::staticMetaObject.className()))
        if (auto* box = qobject_cast<PreviewArea*>(object))
            return new PreviewAccessible(box);
    return nullptr;
}

}  // namespace

PreviewArea::PreviewArea(QWidget* parent) : QWidget(parent)
{
    static const bool installed = (QAccessible::installFactory(previewFactory), true);
    (void)installed;
}

}  // namespace quarbel::app
