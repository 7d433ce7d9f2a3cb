#include "controls/progressbar/XP_ProgressBarAccessible.h"

#include "controls/progressbar/XP_ProgressBar.h"

#include <QAccessibleWidget>

namespace quarbel {

namespace {

class ProgressBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ProgressBarAccessible(XP_ProgressBar* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    XP_ProgressBar* bar() const { return static_cast<XP_ProgressBar*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QStringLiteral("%1%").arg(bar()->Percent());
        return QAccessibleWidget::text(t);
    }

    // The bar shows progress; nobody sets it through assistive technology.
    QVariant currentValue() const override { return bar()->Value(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return bar()->Max(); }
    QVariant minimumValue() const override { return bar()->Min(); }
    QVariant minimumStepSize() const override { return 0; }
};

QAccessibleInterface* progressBarFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(XP_ProgressBar::staticMetaObject.className()))
        if (auto* bar = qobject_cast<XP_ProgressBar*>(object))
            return new ProgressBarAccessible(bar);
    return nullptr;
}

}  // namespace

void installProgressBarAccessible()
{
    static const bool installed = (QAccessible::installFactory(progressBarFactory), true);
    (void)installed;
}

}  // namespace quarbel
