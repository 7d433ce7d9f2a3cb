#include "gfx/Text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

namespace quarbel::gfx {

namespace {

// Removes the prefix characters: "&x" shows x, "&&" shows &. `mnemonic` becomes the index
// in the result of the first prefixed character (-1 when there is none).
QString stripPrefixes(const QString& text, qsizetype* mnemonic)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != u'&' && *mnemonic < 0)
                *mnemonic = out.size();
        }
        out += text[i];
    }
    return out;
}

// The text as it is laid out; the mnemonic index keeps its place because the replacements
// below change single characters only (tabs are expanded only with TextExpandTabs, after it).
QString prepare(const QString& text, unsigned flags, qsizetype* mnemonic = nullptr)
{
    qsizetype ignored = -1;
    qsizetype& m = mnemonic ? *mnemonic : ignored;
    m = -1;
    QString t = (flags & TextNoPrefix) ? text : stripPrefixes(text, &m);
    if (t.contains(u'\r')) {
        m = -1;  // removing characters would move it
        t.remove(u'\r');
    }
    if (flags & TextSingleLine)
        t.replace(u'\n', u' ');
    if (flags & TextExpandTabs) {
        if (t.contains(u'\t'))
            m = -1;
        t.replace(u'\t', QStringLiteral("        "));
    } else {
        t.replace(u'\t', u' ');
    }
    return t;
}

// Greedy word wrap: words move to the next line when they do not fit; a word longer than the
// line is broken between characters.
QStringList wrapParagraph(const QString& para, const QFontMetrics& fm, int width)
{
    QStringList lines;
    QString line;
    const QStringList words = para.split(u' ');
    for (const QString& word : words) {
        const QString candidate = line.isEmpty() ? word : line + u' ' + word;
        if (fm.horizontalAdvance(candidate) <= width || candidate.isEmpty()) {
            line = candidate;
            continue;
        }
        if (!line.isEmpty())
            lines << line;
        line = word;
        while (line.size() > 1 && fm.horizontalAdvance(line) > width) {
            qsizetype n = line.size() - 1;
            while (n > 1 && fm.horizontalAdvance(line.left(n)) > width)
                --n;
            lines << line.left(n);
            line = line.mid(n);
        }
    }
    lines << line;
    return lines;
}

QStringList layoutLines(const QString& text, const QFontMetrics& fm, unsigned flags, int width)
{
    if (flags & TextSingleLine)
        return {text};
    QStringList lines;
    for (const QString& para : text.split(u'\n')) {
        if (flags & TextWordBreak)
            lines << wrapParagraph(para, fm, width);
        else
            lines << para;
    }
    return lines;
}

}  // namespace

QFont rasterFont(const QFont& font)
{
    QFont f = font;
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setKerning(false);
    return f;
}

Size measureText(const QString& text, const QFont& font, unsigned flags, int wrapWidth)
{
    const QFontMetrics fm(rasterFont(font));
    const QStringList lines = layoutLines(prepare(text, flags), fm, flags, wrapWidth);
    int w = 0;
    for (const QString& l : lines)
        w = std::max(w, fm.horizontalAdvance(l));
    return {w, fm.height() * static_cast<int>(lines.size())};
}

Rect drawText(Surface& s, const QString& text, const Rect& r, unsigned flags, const QFont& font, Color color)
{
    const QFont f = rasterFont(font);
    const QFontMetrics fm(f);
    qsizetype mnemonic = -1;
    const QString prepared = prepare(text, flags, &mnemonic);
    QStringList lines = layoutLines(prepared, fm, flags, r.width());
    if ((flags & TextEndEllipsis) && (flags & TextSingleLine)) {
        const QString elided = fm.elidedText(lines[0], Qt::ElideRight, r.width());
        if (elided != lines[0])
            mnemonic = -1;
        lines[0] = elided;
    }

    int textWidth = 0;
    for (const QString& l : lines)
        textWidth = std::max(textWidth, fm.horizontalAdvance(l));
    const int lineHeight = fm.height();
    const int textHeight = lineHeight * static_cast<int>(lines.size());

    if (flags & TextCalcRect)
        return {r.left, r.top, r.left + textWidth, r.top + textHeight};

    int top = r.top;
    if (flags & TextSingleLine) {
        if (flags & TextVCenter)
            top = r.top + (r.height() - textHeight) / 2;
        else if (flags & TextBottom)
            top = r.bottom - textHeight;
    }

    if (s.isNull())
        return {};
    QPainter painter(&s.qimage());
    painter.setFont(f);
    painter.setPen(QColor(red(color), green(color), blue(color)));
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Neutral characters (punctuation, blanks) take the reading order's side.
    painter.setLayoutDirection((flags & TextRtlReading) ? Qt::RightToLeft : Qt::LeftToRight);
    QRegion clip(0, 0, s.width(), s.height());
    if (!(flags & TextNoClip))
        clip = clip.intersected(QRegion(r.left, r.top, std::max(0, r.width()), std::max(0, r.height())));
    if (s.clip())
        clip = clip.intersected(s.clip()->qregion());
    painter.setClipRegion(clip);

    int left = r.right;
    int y = top;
    qsizetype pos = 0;  // where the current line starts in the prepared text
    for (const QString& line : lines) {
        const int w = fm.horizontalAdvance(line);
        int x = r.left;
        if (flags & TextCenter)
            x = r.left + (r.width() - w) / 2;
        else if (flags & TextRight)
            x = r.right - w;
        left = std::min(left, x);
        painter.drawText(x, y + fm.ascent(), line);
        qsizetype start = prepared.indexOf(line, pos);
        if (start < 0)
            start = pos;
        if (mnemonic >= start && mnemonic < start + line.size()) {
            // The prefixed character is underlined on the row below the baseline.
            const qsizetype i = mnemonic - start;
            const int ux = x + fm.horizontalAdvance(line.left(i));
            const int uw = fm.horizontalAdvance(line.mid(i, 1));
            if (uw > 0)
                painter.fillRect(ux, y + fm.ascent() + 1, uw, 1, painter.pen().color());
        }
        pos = start + line.size();
        y += lineHeight;
    }
    return {left, top, left + textWidth, top + textHeight};
}

}  // namespace quarbel::gfx
