#include "gallery/RenderCommand.h"

#include "controls/common/PropertyBag.h"
#include "controls/common/SystemColors.h"
#include "gallery/GalleryRegistry.h"

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QSaveFile>
#include <limits>

namespace quarbel::gallery {

namespace {

constexpr int MaxSide = 4096; // a 4096 x 4096 picture is 64 MiB; larger asks are refused

std::optional<QSize> parseSize(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int w = m.captured(1).toInt();
    const int h = m.captured(2).toInt();
    if (w < 1 || h < 1 || w > MaxSide || h > MaxSide)
        return std::nullopt;
    return QSize(w, h);
}

QString controlNames()
{
    QStringList names;
    for (const GalleryControl& c : galleryControls())
        names << c.name;
    return names.join(QStringLiteral(", "));
}

Command fail(const QString& error)
{
    Command c;
    c.mode = Mode::Error;
    c.error = error;
    return c;
}

} // namespace

QString usage()
{
    return QStringLiteral(
               "usage: quarbel-gallery                      show every control in every style\n"
               "       quarbel-gallery --render CONTROL --size WxH [--prop NAME=VALUE]... --out FILE.png\n"
               "                       [--state STATE[,STATE]...] [--colors classic|palette]\n"
               "Renders one control offscreen through its property bag (persisted property names),\n"
               "in the states asked (hover, pressed, focus) where the control has states.\n"
               "Controls: %1\n")
        .arg(controlNames());
}

Command parseCommandLine(const QStringList& args)
{
    Command cmd;
    if (args.isEmpty())
        return cmd;
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        cmd.mode = Mode::Help;
        return cmd;
    }
    cmd.mode = Mode::Render;
    RenderRequest& r = cmd.render;
    bool haveControl = false, haveSize = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool takesValue = a == QLatin1String("--render") || a == QLatin1String("--size") ||
                                a == QLatin1String("--prop") || a == QLatin1String("--out") ||
                                a == QLatin1String("--colors") || a == QLatin1String("--state");
        if (!takesValue)
            return fail(QStringLiteral("unknown argument \"%1\"").arg(a));
        if (i + 1 >= args.size())
            return fail(QStringLiteral("%1 needs a value").arg(a));
        const QString v = args[++i];
        if (a == QLatin1String("--render")) {
            const GalleryControl* control = findControl(v);
            if (!control)
                return fail(QStringLiteral("unknown control \"%1\" (known: %2)").arg(v, controlNames()));
            r.control = control->name;
            haveControl = true;
        } else if (a == QLatin1String("--size")) {
            const auto size = parseSize(v);
            if (!size)
                return fail(QStringLiteral("bad size \"%1\": expected WxH, each 1..%2").arg(v).arg(MaxSide));
            r.size = *size;
            haveSize = true;
        } else if (a == QLatin1String("--prop")) {
            const qsizetype eq = v.indexOf(u'=');
            if (eq <= 0)
                return fail(QStringLiteral("bad property \"%1\": expected NAME=VALUE").arg(v));
            r.properties.emplace_back(v.left(eq).trimmed(), v.mid(eq + 1));
        } else if (a == QLatin1String("--out")) {
            if (v.isEmpty())
                return fail(QStringLiteral("--out needs a file name"));
            r.out = v;
        } else if (a == QLatin1String("--state")) {
            QString error;
            const auto states = parseStates(v, &error);
            if (!states)
                return fail(error);
            for (const QString& s : *states)
                if (!r.states.contains(s))
                    r.states << s;
        } else {
            if (v == QLatin1String("classic"))
                r.colors = ColorSource::Classic;
            else if (v == QLatin1String("palette"))
                r.colors = ColorSource::Palette;
            else
                return fail(QStringLiteral("bad colour source \"%1\": expected classic or palette").arg(v));
        }
    }
    if (!haveControl)
        return fail(QStringLiteral("--render CONTROL is missing"));
    if (!haveSize)
        return fail(QStringLiteral("--size WxH is missing"));
    if (r.out.isEmpty())
        return fail(QStringLiteral("--out FILE.png is missing"));
    const GalleryControl* control = findControl(r.control);
    for (auto& [name, raw] : r.properties) {
        const GalleryProperty* p = knownProperty(*control, name);
        if (!p)
            return fail(QStringLiteral("unknown property \"%1\" for control %2").arg(name, control->name));
        name = p->name;
    }
    if (!r.states.isEmpty() && !control->applyState)
        return fail(QStringLiteral("control %1 has no states; cannot show \"%2\"").arg(control->name, r.states.join(u',')));
    return cmd;
}

const QStringList& knownStates()
{
    static const QStringList states{QStringLiteral("hover"), QStringLiteral("pressed"), QStringLiteral("focus")};
    return states;
}

std::optional<QStringList> parseStates(const QString& text, QString* error)
{
    QStringList states;
    for (const QString& part : text.split(u',')) {
        const QString state = part.trimmed().toLower();
        if (!knownStates().contains(state)) {
            if (error)
                *error = QStringLiteral("unknown state \"%1\" (known: %2)").arg(part.trimmed(), knownStates().join(QStringLiteral(", ")));
            return std::nullopt;
        }
        if (!states.contains(state))
            states << state;
    }
    return states;
}

std::optional<QVariant> propertyValue(const QString& controlName, const QString& name, const QString& raw, QString* error)
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
        const QString plain = quoted && quoted->typeId() == QMetaType::QString ? quoted->toString() : description;
        if (!font.fromString(plain))
            return bad(QStringLiteral("expected a font description such as \"DejaVu Sans,9\""));
        return QVariant(font);
    }
    }
    return bad(QStringLiteral("unsupported property kind"));
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
        return {ExitUsage, QStringLiteral("control %1 has no states; cannot show \"%2\"").arg(control.name, request.states.join(u','))};
    PropertyBag bag(control.keys);
    for (const auto& [name, raw] : request.properties) {
        const GalleryProperty* p = knownProperty(control, name);
        if (!p)
            return {ExitUsage, QStringLiteral("unknown property \"%1\" for control %2").arg(name, control.name)};
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
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (image.size() != request.size)
        return {ExitWriteFailed, QStringLiteral("the control painted %1x%2 instead of the asked size")
                                     .arg(image.width()).arg(image.height())};

    QSaveFile file(request.out);
    if (!file.open(QIODevice::WriteOnly))
        return {ExitWriteFailed, QStringLiteral("cannot write %1: %2").arg(request.out, file.errorString())};
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        return {ExitWriteFailed, QStringLiteral("cannot encode the PNG for %1").arg(request.out)};
    }
    if (!file.commit())
        return {ExitWriteFailed, QStringLiteral("cannot write %1: %2").arg(request.out, file.errorString())};
    return {ExitOk, QStringLiteral("wrote %1 (%2x%3)").arg(request.out).arg(image.width()).arg(image.height())};
}

} // namespace quarbel::gallery
