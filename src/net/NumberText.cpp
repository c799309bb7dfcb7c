#include "net/NumberText.h"

#include <cmath>
#include <limits>

namespace NumberText {

namespace {

// The blanks of the platform's conversion; other white space ends a number.
bool isPlatformBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// The digit's value in radix, -1 when it is none there.
int digitIn(QChar c, int radix)
{
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= u'0' && u <= u'9')
        d = u - u'0';
    else if (u >= u'a' && u <= u'f')
        d = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        d = u - u'A' + 10;
    return d < radix ? d : -1;
}

bool blankFrom(const QString& text, qsizetype i)
{
    for (; i < text.size(); ++i) {
        if (!text[i].isSpace())
            return false;
    }
    return true;
}

} // namespace

bool Number::isZero() const
{
    for (const QString* digits : { &whole, &fraction }) {
        for (const QChar c : *digits) {
            if (c != u'0')
                return false;
        }
    }
    return true;
}

double Number::value() const
{
    if (!found())
        return 0.0;
    if (radix != 10) {
        double v = 0.0;
        for (const QChar c : whole)
            v = v * radix + digitIn(c, radix);
        return std::isfinite(v) ? v : 0.0;
    }
    const QString text = (negative ? QStringLiteral("-") : QString()) + whole
        + (fraction.isEmpty() ? QString() : QLatin1Char('.') + fraction);
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok ? v : 0.0;
}

qint32 Number::saturated() const
{
    constexpr qint64 most = std::numeric_limits<qint32>::max();
    qint64 n = 0;
    for (const QChar c : whole) {
        n = n * radix + digitIn(c, radix);
        // One past the largest is enough to know which end it is held at.
        if (n > most)
            break;
    }
    return qint32(qBound<qint64>(std::numeric_limits<qint32>::min(), negative ? -n : n, most));
}

Number read(const QString& text, Reading reading)
{
    Number n;
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size && (reading.platformForms ? isPlatformBlank(text[i]) : text[i].isSpace()))
        ++i;
    const auto skipInside = [&] {
        while (reading.platformForms && i < size && isPlatformBlank(text[i]))
            ++i;
    };
    if (reading.platformForms && i + 1 < size && text[i] == u'&') {
        const QChar form = text[i + 1].toUpper();
        const int radix = form == u'H' ? 16 : form == u'O' ? 8 : 0;
        if (radix != 0) {
            n.radix = radix;
            for (i += 2;; ++i) {
                skipInside();
                if (i >= size || digitIn(text[i], radix) < 0)
                    break;
                n.whole += text[i];
            }
            n.restBlank = blankFrom(text, i);
            return n;
        }
    }
    if (i < size && (text[i] == u'+' || text[i] == u'-'))
        n.negative = text[i++] == u'-';
    bool point = false;
    for (;; ++i) {
        skipInside();
        if (i >= size)
            break;
        if (reading.fraction && !point && text[i] == u'.') {
            point = true;
            continue;
        }
        if (digitIn(text[i], 10) < 0)
            break;
        (point ? n.fraction : n.whole) += text[i];
    }
    n.restBlank = blankFrom(text, i);
    return n;
}

std::optional<qint64> wholeText(const QString& text)
{
    const Number n = read(text, wholeNumber);
    if (n.whole.isEmpty() || !n.restBlank)
        return std::nullopt;
    const quint64 most = quint64(std::numeric_limits<qint64>::max()) + (n.negative ? 1 : 0);
    quint64 v = 0;
    for (const QChar c : n.whole) {
        const quint64 d = quint64(digitIn(c, 10));
        if (v > (most - d) / 10)
            return std::nullopt;
        v = v * 10 + d;
    }
    if (!n.negative)
        return qint64(v);
    return v == quint64(std::numeric_limits<qint64>::max()) + 1 ? std::numeric_limits<qint64>::min() : -qint64(v);
}

} // namespace NumberText
