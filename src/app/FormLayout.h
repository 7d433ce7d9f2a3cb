#pragma once
// The window's saved layout: a text file of nested blocks, one a control,
//
//   Begin Frame fraSize
//      Left = 296
//      Caption = "New size"
//      Begin TextBox txtWidth
//         ...
//      End
//   End
//
// with "Key = value" lines (a value in double quotes is a text, "" inside it is one quote)
// and "#" comment lines. Keys are matched without regard to case.

#include <QList>
#include <QPair>
#include <QRect>
#include <QString>
#include <optional>

namespace quarbel::app {

struct LayoutControl {
    QString kind;
    QString name;
    QString parent;                             // empty for the outermost block (the window)
    QList<QPair<QString, QString>> properties;  // in file order

    bool has(const QString& key) const;
    QString value(const QString& key, const QString& fallback = {}) const;
    int number(const QString& key, int fallback = 0) const;
    double real(const QString& key, double fallback = 0.0) const;
    bool flag(const QString& key, bool fallback) const;
    // Left, Top, Width, Height.
    QRect geometry() const;
};

class FormLayout {
public:
    // Parses a layout text; on failure returns nothing and says why (with the line number).
    static std::optional<FormLayout> parse(const QString& text, QString* error = nullptr);

    const LayoutControl* control(const QString& name) const;
    const QList<LayoutControl>& controls() const { return m_controls; }
    // Controls of one kind, in file order.
    QList<const LayoutControl*> ofKind(const QString& kind) const;

private:
    QList<LayoutControl> m_controls;  // in file order, the window first
};

}  // namespace quarbel::app
