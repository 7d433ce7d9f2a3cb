#include "gallery/RenderCommand.h"

#include "controls/common/PropertyBag.h"
#include "controls/common/SystemColors.h"
#include "gallery/GalleryRegistry.h"

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QSaveFile>
#include <limits>

namespace quarbel::gallery {

std::optional<QVariant> propertyValue(const QString& controlName, const QString& name, const QString& raw,
                                      QString* error)
{
    const GalleryControl* control = findControl(controlName);
    const GalleryProperty* p = control ? knownProperty(*control, name) : nullptr;
    if (!p) {
        if (error)
            *error = QStringLiteral("bad value \"%1\" for property %2: no such property").arg(raw, name);
        return std::nullopt;
    }
    return propertyValue(*p, raw, error);
}

std::optional<QVariant> propertyValue(const GalleryProperty& property, const QString& raw, QString* error)
{
    const GalleryProperty* p = &property;
    const QString& name = property.name;
    const auto bad = [&](const QString& why) -> std::optional<QVariant> {
        if (error)
            *error = QStringLiteral("bad value \"%1\" for property %2: %3").arg(raw, name, why);
        return std::nullopt;
    };
    const QString text = raw.trimmed();
    switch (p->kind) {
    case PropertyKind::Integer: {
        const auto v = PropertyBag::parseValue(text);
        const bool integral = v && v->typeId() == QMetaType::LongLong;
        const qlonglong n = integral ? v->toLongLong() : 0;
        // Colours may be written as unsigned 32-bit numbers (0x8000000D).
        if (!integral || n < std::numeric_limits<int>::min() || n > 0xFFFFFFFFLL)
            return bad(QStringLiteral("expected a 32-bit whole number"));
        return QVariant(qlonglong(static_cast<std::int32_t>(static_cast<std::uint32_t>(n))));
    }
    case PropertyKind::Boolean: {
        if (text == QLatin1String("1"))
            return QVariant(true);
        if (text == QLatin1String("0"))
            return QVariant(false);
        const auto v = PropertyBag::parseValue(text);
        if (!v || v->typeId() != QMetaType::Bool)
            return bad(QStringLiteral("expected True or False"));
        return v;
    }
    case PropertyKind::Text:
        if (text.startsWith(u'"')) {
            const auto v = PropertyBag::parseValue(text);
            if (!v)
                return bad(QStringLiteral("unterminated quoted text"));
            return v;
        }
        return QVariant(raw);
    case PropertyKind::Picture: {
        if (text.startsWith(QLatin1String("png:"))) {
            const auto v = PropertyBag::parseValue(text);
            if (!v)
                return bad(QStringLiteral("not a base-64 PNG"));
            return v;
        }
        QImage picture(text);
        if (picture.isNull())
            return bad(QStringLiteral("cannot read a picture from that file"));
        return QVariant(picture);
    }
    case PropertyKind::Font: {
        QFont font;
        const QString description = text.startsWith(QLatin1String("font:")) ? text.mid(5) : text;
        const auto quoted = PropertyBag::parseValue(description);
        const QString plain =
            quoted && quoted->typeId() == QMetaType::QString ? quoted->toString() : description;
        if (!font.fromString(plain))
            return bad(QStringLiteral("expected a font description such as \"DejaVu Sans,9\""));
        return QVariant(font);
    }
    }
    return bad(QStringLiteral("unsupported property kind"));
}

QImage transparentOutside(const QImage& image, const QRegion& mask)
{
    if (mask.isEmpty())
        return image;
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (!mask.contains(QPoint(x, y)))
                out.setPixel(x, y, qRgba(0, 0, 0, 0));
    return out;
}

RenderOutcome runRender(const RenderRequest& request)
{
    const GalleryControl* control = findControl(request.control);
    if (!control)
        return {ExitUsage, QStringLiteral("unknown control \"%1\"").arg(request.control)};
    return renderControl(*control, request);
}

RenderOutcome renderControl(const GalleryControl& control, const RenderRequest& request)
{
    if (!request.states.isEmpty() && !control.applyState)
        return {ExitUsage, QStringLiteral("control %1 has no states; cannot show \"%2\"")
                               .arg(control.name, request.states.join(u','))};
    PropertyBag bag(control.keys);
    for (const auto& [name, raw] : request.properties) {
        const GalleryProperty* p = knownProperty(control, name);
        if (!p)
            return {ExitUsage,
                    QStringLiteral("unknown property \"%1\" for control %2").arg(name, control.name)};
        QString error;
        const auto value = propertyValue(*p, raw, &error);
        if (!value)
            return {ExitUsage, error};
        bag.set(p->name, *value);
    }
    if (request.colors == ColorSource::Classic)
        SystemColors::use(SystemColors::classicTable());
    else
        SystemColors::reset();

    std::unique_ptr<QWidget> widget = control.create();
    widget->resize(request.size);
    control.read(*widget, bag);
    if (!request.states.isEmpty())
        control.applyState(*widget, request.states);
    // The control's own size: its resize rule may have changed the asked one.
    QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (image.size() != widget->size())
        return {ExitWriteFailed, QStringLiteral("the control painted %1x%2 instead of its size")
                                     .arg(image.width())
                                     .arg(image.height())};
    image = transparentOutside(image, widget->mask());

    QSaveFile file(request.out);
    if (!file.open(QIODevice::WriteOnly))
        return {ExitWriteFailed, QStringLiteral("cannot write %1: %2").arg(request.out, file.errorString())};
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        return {ExitWriteFailed, QStringLiteral("cannot encode the PNG for %1").arg(request.out)};
    }
    if (!file.commit())
        return {ExitWriteFailed, QStringLiteral("cannot write %1: %2").arg(request.out, file.errorString())};
    return {ExitOk,
            QStringLiteral("wrote %1 (%2x%3)").arg(request.out).arg(image.width()).arg(image.height())};
}

}  // namespace quarbel::gallery
