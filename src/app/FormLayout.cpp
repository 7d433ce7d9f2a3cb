#include "app/FormLayout.h"

#include <QStringList>

namespace quarbel::app {

namespace {

// A quoted value loses its quotes (and "" becomes "); anything else is kept as written.
std::optional<QString> parseValue(const QString& raw)
{
    if (!raw.startsWith(u'"'))
        return raw;
    QString text;
    for (qsizetype i = 1; i < raw.size(); ++i) {
        if (raw[i] != u'"') {
            text += raw[i];
            continue;
        }
        if (i + 1 < raw.size() && raw[i + 1] == u'"') {
            text += u'"';
            ++i;
            continue;
        }
        if (i + 1 != raw.size())
            return std::nullopt;  // text after the closing quote
        return text;
    }
    return std::nullopt;  // no closing quote
}

bool isName(const QString& word)
{
    if (word.isEmpty() || !(word[0].isLetter() || word[0] == u'_'))
        return false;
    for (QChar c : word) {
        if (!(c.isLetterOrNumber() || c == u'_'))
            return false;
    }
    return true;
}

}  // namespace

bool LayoutControl::has(const QString& key) const
{
    for (const auto& [k, v] : properties) {
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString LayoutControl::value(const QString& key, const QString& fallback) const
{
    for (const auto& [k, v] : properties) {
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    }
    return fallback;
}

int LayoutControl::number(const QString& key, int fallback) const
{
    bool ok = false;
    const int n = value(key).toInt(&ok);
    return ok ? n : fallback;
}

double LayoutControl::real(const QString& key, double fallback) const
{
    bool ok = false;
    const double n = value(key).toDouble(&ok);
    return ok ? n : fallback;
}

bool LayoutControl::flag(const QString& key, bool fallback) const
{
    const QString v = value(key).trimmed();
    if (v.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0 || v == QStringLiteral("-1") ||
        v == QStringLiteral("1"))
        return true;
    if (v.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0 || v == QStringLiteral("0"))
        return false;
    return fallback;
}

QRect LayoutControl::geometry() const
{
    return QRect(number(QStringLiteral("Left")), number(QStringLiteral("Top")),
                 number(QStringLiteral("Width")), number(QStringLiteral("Height")));
}

std::optional<FormLayout> FormLayout::parse(const QString& text, QString* error)
{
    auto fail = [error](int line, const QString& why) -> std::optional<FormLayout> {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(line).arg(why);
        return std::nullopt;
    };

    FormLayout layout;
    QList<qsizetype> open;  // indexes of the blocks not yet ended
    QList<int> openedOn;    // and the lines they begin on
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i + 1);
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
        if (words[0] == QStringLiteral("Begin")) {
            if (words.size() != 3 || !isName(words[1]) || !isName(words[2]))
                return fail(lineNumber, QStringLiteral("expected \"Begin Kind Name\""));
            if (layout.control(words[2]))
                return fail(lineNumber, QStringLiteral("the name %1 is used twice").arg(words[2]));
            if (open.isEmpty() && !layout.m_controls.isEmpty())
                return fail(lineNumber, QStringLiteral("a second outermost block"));
            LayoutControl control;
            control.kind = words[1];
            control.name = words[2];
            if (!open.isEmpty())
                control.parent = layout.m_controls[open.last()].name;
            open << layout.m_controls.size();
            openedOn << lineNumber;
            layout.m_controls << control;
            continue;
        }
        if (line == QStringLiteral("End")) {
            if (open.isEmpty())
                return fail(lineNumber, QStringLiteral("\"End\" without \"Begin\""));
            open.removeLast();
            openedOn.removeLast();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            return fail(lineNumber, QStringLiteral("expected \"Key = value\""));
        if (open.isEmpty())
            return fail(lineNumber, QStringLiteral("a property outside any block"));
        const QString key = line.left(equals).trimmed();
        if (!isName(key))
            return fail(lineNumber, QStringLiteral("\"%1\" is not a property name").arg(key));
        const std::optional<QString> value = parseValue(line.mid(equals + 1).trimmed());
        if (!value)
            return fail(lineNumber, QStringLiteral("unterminated or malformed text value"));
        layout.m_controls[open.last()].properties.append({key, *value});
    }
    if (!open.isEmpty())
        return fail(openedOn.last(),
                    QStringLiteral("block %1 is not ended").arg(layout.m_controls[open.last()].name));
    if (layout.m_controls.isEmpty())
        return fail(1, QStringLiteral("no window block"));
    return layout;
}

const LayoutControl* FormLayout::control(const QString& name) const
{
    for (const LayoutControl& c : m_controls) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

QList<const LayoutControl*> FormLayout::ofKind(const QString& kind) const
{
    QList<const LayoutControl*> result;
    for (const LayoutControl& c : m_controls) {
        if (c.kind == kind)
            result << &c;
    }
    return result;
}

}  // namespace quarbel::app
