#include "controls/common/PropertyBag.h"

#include <QBuffer>
#include <QFont>
#include <QImage>

namespace quarbel {

namespace {

bool isInteger(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong: return true;
    default: return false;
    }
}

QString quote(const QString& s)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : s) {
        if (c == u'"' || c == u'\\')
            out += u'\\';
        if (c == u'\n')
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out + u'"';
}

std::optional<QString> unquote(const QString& s)
{
    if (s.size() < 2 || !s.startsWith(u'"') || !s.endsWith(u'"'))
        return std::nullopt;
    QString out;
    for (qsizetype i = 1; i + 1 < s.size(); ++i) {
        QChar c = s[i];
        if (c == u'\\') {
            if (i + 2 >= s.size())
                return std::nullopt;
            c = s[++i];
            out += c == u'n' ? QChar(u'\n') : c;
        } else if (c == u'"') {
            return std::nullopt;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

bool PropertyBag::sameValue(const QVariant& a, const QVariant& b)
{
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid();
    if (isInteger(a) && isInteger(b))
        return a.toLongLong() == b.toLongLong();
    if (a.typeId() == QMetaType::QImage || b.typeId() == QMetaType::QImage)
        return a.typeId() == b.typeId() && a.value<QImage>() == b.value<QImage>();
    return a == b;
}

int PropertyBag::find(const QString& name) const
{
    const auto cs = m_keys == KeyCase::Insensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].first.compare(name, cs) == 0)
            return static_cast<int>(i);
    return -1;
}

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const
{
    const int i = find(name);
    return i < 0 ? defaultValue : m_entries[i].second;
}

QVariant PropertyBag::ReadTyped(const QString& name, const QVariant& defaultValue) const
{
    const QVariant v = ReadProperty(name, defaultValue);
    const bool wantsFlag = defaultValue.typeId() == QMetaType::Bool;
    if (v.typeId() != QMetaType::QString || (!wantsFlag && !isInteger(defaultValue)))
        return v;
    const auto parsed = parseValue(v.toString());
    if (!parsed || parsed->typeId() == QMetaType::QString)
        return defaultValue;
    if (wantsFlag && parsed->typeId() != QMetaType::Bool)
        return parsed->toLongLong() != 0;
    return *parsed;
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    if (sameValue(value, defaultValue)) {
        const int i = find(name);
        if (i >= 0)
            m_entries.erase(m_entries.begin() + i);
        return;
    }
    set(name, value);
}

void PropertyBag::set(const QString& name, const QVariant& value)
{
    const int i = find(name);
    if (i >= 0)
        m_entries[i].second = value;
    else
        m_entries.emplace_back(name, value);
}

bool PropertyBag::contains(const QString& name) const { return find(name) >= 0; }

QStringList PropertyBag::names() const
{
    QStringList out;
    for (const auto& e : m_entries)
        out << e.first;
    return out;
}

QString PropertyBag::formatValue(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (isInteger(value))
        return QString::number(value.toLongLong());
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 17);
    if (value.typeId() == QMetaType::QImage) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        value.value<QImage>().save(&buffer, "PNG");
        return QStringLiteral("png:") + QString::fromLatin1(bytes.toBase64());
    }
    if (value.typeId() == QMetaType::QFont)
        return QStringLiteral("font:") + quote(value.value<QFont>().toString());
    return quote(value.toString());
}

std::optional<QVariant> PropertyBag::parseValue(const QString& raw)
{
    const QString s = raw.trimmed();
    if (s.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return QVariant(true);
    if (s.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return QVariant(false);
    if (s.startsWith(u'"')) {
        if (auto t = unquote(s))
            return QVariant(*t);
        return std::nullopt;
    }
    if (s.startsWith(QStringLiteral("png:"))) {
        const QByteArray bytes = QByteArray::fromBase64(s.mid(4).toLatin1());
        QImage image;
        if (bytes.isEmpty() || !image.loadFromData(bytes, "PNG"))
            return std::nullopt;
        return QVariant(image);
    }
    if (s.startsWith(QStringLiteral("font:"))) {
        const auto t = unquote(s.mid(5));
        QFont font;
        if (!t || !font.fromString(*t))
            return std::nullopt;
        return QVariant(font);
    }
    bool ok = false;
    qlonglong n = 0;
    if (s.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        n = s.mid(2).toLongLong(&ok, 16);
    else if (s.startsWith(QStringLiteral("&H"), Qt::CaseInsensitive))
        n = QString(s.mid(2)).remove(u'&').toLongLong(&ok, 16);
    else
        n = s.toLongLong(&ok, 10);
    if (ok)
        return QVariant(n);
    bool isDouble = false;
    const double d = s.toDouble(&isDouble);
    if (isDouble)
        return QVariant(d);
    return std::nullopt;
}

QString PropertyBag::toText() const
{
    QString out;
    for (const auto& [name, value] : m_entries)
        out += name + QStringLiteral(" = ") + formatValue(value) + u'\n';
    return out;
}

std::optional<PropertyBag> PropertyBag::fromText(const QString& text, QString* error, KeyCase keys)
{
    PropertyBag bag(keys);
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'\'') || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        const QString name = eq < 0 ? QString() : line.left(eq).trimmed();
        const auto value = eq < 0 ? std::nullopt : parseValue(line.mid(eq + 1));
        if (name.isEmpty() || !value) {
            if (error)
                *error = QStringLiteral("line %1: expected Name = value, found \"%2\"").arg(i + 1).arg(line);
            return std::nullopt;
        }
        bag.set(name, *value);
    }
    return bag;
}

}  // namespace quarbel
