// quarbel-gallery's command line, read by QCommandLineParser: "--opt value" and "--opt=value",
// "--" ending the options. The messages name the argument at fault in our own words.

#include "gallery/GalleryRegistry.h"
#include "gallery/RenderCommand.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace quarbel::gallery {

namespace {

constexpr int MaxSide = 4096;  // a 4096 x 4096 picture is 64 MiB; larger asks are refused

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

const QStringList ValueOptions{QStringLiteral("render"), QStringLiteral("size"),   QStringLiteral("prop"),
                               QStringLiteral("out"),    QStringLiteral("colors"), QStringLiteral("state")};

// The option a word names ("--out=a.png" and "-h" give "out" and "h"), or empty for a
// word that is no option.
QString optionName(const QString& word)
{
    if (!word.startsWith(u'-') || word == QLatin1String("-"))
        return {};
    const QString bare = word.mid(word.startsWith(QLatin1String("--")) ? 2 : 1);
    return bare.section(u'=', 0, 0);
}

// Why the parser stopped, in the same words for every spelling: the first word it did not
// know, or the value option left without its value at the end.
QString parseError(const QStringList& args, const QStringList& unknown)
{
    for (const QString& word : args) {
        if (word == QLatin1String("--"))
            break;
        const QString name = optionName(word);
        if (!name.isEmpty() &&
            (unknown.contains(name) || (!word.startsWith(QLatin1String("--")) && name.size() > 1)))
            return QStringLiteral("unknown argument \"%1\"").arg(word);
    }
    const QString last = args.isEmpty() ? QString() : args.last();
    if (ValueOptions.contains(optionName(last)))
        return QStringLiteral("%1 needs a value").arg(last);
    return QStringLiteral("unknown argument \"%1\"").arg(unknown.isEmpty() ? last : unknown.first());
}

}  // namespace

QString usage()
{
    return QStringLiteral(
               "usage: quarbel-gallery                      show every control in every style\n"
               "       quarbel-gallery --render CONTROL --size WxH [--prop NAME=VALUE]... --out FILE.png\n"
               "                       [--state STATE[,STATE]...] [--colors classic|palette]\n"
               "       quarbel-gallery --help | --version\n"
               "Renders one control offscreen through its property bag (persisted property names),\n"
               "in the states asked (hover, pressed, focus) where the control has states.\n"
               "Options take their value as \"--opt value\" or \"--opt=value\"; \"--\" ends the options.\n"
               "Controls: %1\n")
        .arg(controlNames());
}

QString versionText() { return QStringLiteral("quarbel-gallery %1\n").arg(QStringLiteral(QUARBEL_VERSION)); }

const QStringList& knownStates()
{
    static const QStringList states{QStringLiteral("hover"), QStringLiteral("pressed"),
                                    QStringLiteral("focus")};
    return states;
}

std::optional<QStringList> parseStates(const QString& text, QString* error)
{
    QStringList states;
    for (const QString& part : text.split(u',')) {
        const QString state = part.trimmed().toLower();
        if (!knownStates().contains(state)) {
            if (error)
                *error = QStringLiteral("unknown state \"%1\" (known: %2)")
                             .arg(part.trimmed(), knownStates().join(QStringLiteral(", ")));
            return std::nullopt;
        }
        if (!states.contains(state))
            states << state;
    }
    return states;
}

Command parseCommandLine(const QStringList& args)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOption(help);
    parser.addOption(version);
    for (const QString& name : ValueOptions)
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("value")));

    // The parser skips the first word as the program's name.
    const bool parsed = parser.parse(QStringList{QStringLiteral("quarbel-gallery")} + args);
    const int end = args.indexOf(QStringLiteral("--"));
    const QStringList options = end < 0 ? args : args.mid(0, end);
    if (options.contains(QStringLiteral("--help")) || options.contains(QStringLiteral("-h")))
        return Command{Mode::Help, {}, {}};
    if (!parsed)
        return fail(parseError(args, parser.unknownOptionNames()));
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unknown argument \"%1\"").arg(parser.positionalArguments().first()));
    if (parser.isSet(version))
        return Command{Mode::Version, {}, {}};
    if (parser.optionNames().isEmpty())
        return Command{};

    Command cmd;
    cmd.mode = Mode::Render;
    RenderRequest& r = cmd.render;
    const GalleryControl* control = nullptr;
    if (parser.isSet(QStringLiteral("render"))) {
        const QString v = parser.values(QStringLiteral("render")).last();
        control = findControl(v);
        if (!control)
            return fail(QStringLiteral("unknown control \"%1\" (known: %2)").arg(v, controlNames()));
        r.control = control->name;
    }
    if (parser.isSet(QStringLiteral("size"))) {
        const QString v = parser.values(QStringLiteral("size")).last();
        const auto size = parseSize(v);
        if (!size)
            return fail(QStringLiteral("bad size \"%1\": expected WxH, each 1..%2").arg(v).arg(MaxSide));
        r.size = *size;
    }
    for (const QString& v : parser.values(QStringLiteral("prop"))) {
        const qsizetype eq = v.indexOf(u'=');
        if (eq <= 0)
            return fail(QStringLiteral("bad property \"%1\": expected NAME=VALUE").arg(v));
        r.properties.emplace_back(v.left(eq).trimmed(), v.mid(eq + 1));
    }
    if (parser.isSet(QStringLiteral("out"))) {
        r.out = parser.values(QStringLiteral("out")).last();
        if (r.out.isEmpty())
            return fail(QStringLiteral("--out needs a file name"));
    }
    if (parser.isSet(QStringLiteral("colors"))) {
        const QString v = parser.values(QStringLiteral("colors")).last();
        if (v == QLatin1String("classic"))
            r.colors = ColorSource::Classic;
        else if (v == QLatin1String("palette"))
            r.colors = ColorSource::Palette;
        else
            return fail(QStringLiteral("bad colour source \"%1\": expected classic or palette").arg(v));
    }
    for (const QString& v : parser.values(QStringLiteral("state"))) {
        QString error;
        const auto states = parseStates(v, &error);
        if (!states)
            return fail(error);
        for (const QString& s : *states)
            if (!r.states.contains(s))
                r.states << s;
    }
    if (!control)
        return fail(QStringLiteral("--render CONTROL is missing"));
    if (r.size.isEmpty())
        return fail(QStringLiteral("--size WxH is missing"));
    if (r.out.isEmpty())
        return fail(QStringLiteral("--out FILE.png is missing"));
    for (auto& [name, raw] : r.properties) {
        const GalleryProperty* p = knownProperty(*control, name);
        if (!p)
            return fail(QStringLiteral("unknown property \"%1\" for control %2").arg(name, control->name));
        name = p->name;
    }
    if (!r.states.isEmpty() && !control->applyState)
        return fail(QStringLiteral("control %1 has no states; cannot show \"%2\"")
                        .arg(control->name, r.states.join(u',')));
    return cmd;
}

}  // namespace quarbel::gallery
