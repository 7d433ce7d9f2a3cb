#pragma once
// The design-time properties of an owned control as its host window keeps them: each property
// is read with a default and written with one, and a value equal to its default is not stored.
// The bag keeps the order in which properties were written and reads and writes a plain text
// form, one "Name = value" line a property.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <utility>
#include <vector>

namespace quarbel {

enum class KeyCase { Insensitive, Sensitive };

class PropertyBag {
public:
    explicit PropertyBag(KeyCase keys = KeyCase::Insensitive) : m_keys(keys) {}

    // The stored value, or defaultValue when the name is not stored.
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue) const;
    // The stored value, for a number or flag default read from text as the text form writes
    // it ("4", "&H8000000D&", "True"; a number stands for a flag, non-zero is True); text that
    // is no such value gives the default. Other defaults take the stored value as it is.
    QVariant ReadTyped(const QString& name, const QVariant& defaultValue) const;
    // Stores the value; a value equal to the default removes the name instead.
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue);

    bool contains(const QString& name) const;
    QStringList names() const;
    int size() const { return static_cast<int>(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    void clear() { m_entries.clear(); }
    // Stores the value as it is, without comparing it to a default.
    void set(const QString& name, const QVariant& value);

    // One "Name = value" line a property, in the order written. Integers are decimal,
    // booleans True/False, text in double quotes with \" \\ \n escapes, pictures as
    // png:BASE64, fonts as font:DESCRIPTION.
    QString toText() const;
    // Parses the text form. Blank lines and lines starting with ' or # are skipped. On a
    // malformed line returns nullopt and, when error is given, a message naming the line.
    static std::optional<PropertyBag> fromText(const QString& text, QString* error = nullptr,
                                               KeyCase keys = KeyCase::Insensitive);
    // One value of the text form (the part after "=").
    static std::optional<QVariant> parseValue(const QString& text);
    static QString formatValue(const QVariant& value);

    // True when the two values are equal, numbers compared by value whatever their type.
    static bool sameValue(const QVariant& a, const QVariant& b);

private:
    int find(const QString& name) const;
    KeyCase m_keys;
    std::vector<std::pair<QString, QVariant>> m_entries;
};

}  // namespace quarbel
