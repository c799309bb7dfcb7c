#pragma once

#include <QString>

#include <optional>

// The number a text begins with, as the program reads serial numbers, list
// rows, settings, unit replies and resource tags. One routine for all of
// them; each caller names the reading its text asks for. Whatever follows the
// number is left unread, and a text that begins with no number reads as 0.
// Only the ASCII digits are digits.
namespace NumberText {

struct Reading {
    // One decimal point, and the digits after it.
    bool fraction = false;
    // As the platform's own number conversion reads: space, tab and line
    // feed skipped wherever they stand (before the number, after its sign,
    // between its digits), and the radix forms &H (hexadecimal) and &O
    // (octal) right after the leading blanks. Without it only white space
    // before the number is skipped, and the sign and digits follow it
    // unbroken.
    bool platformForms = false;
};

// "The number with which the text begins": a sign and decimal digits.
inline constexpr Reading wholeNumber {};
// A decimal number, possibly with a fraction.
inline constexpr Reading decimalNumber { .fraction = true };
// The platform's number conversion, which is how a datagram's serial-number
// prefix is judged.
inline constexpr Reading platformNumber { .fraction = true, .platformForms = true };

// What a reading took from the text's start.
struct Number {
    bool negative = false;
    int radix = 10;
    // The digits before the point and after it, as read (blanks left out).
    QString whole;
    QString fraction;
    // Nothing but white space follows the number.
    bool restBlank = true;

    bool found() const { return !whole.isEmpty() || !fraction.isEmpty(); }
    // No digit other than 0 (so also when no number was found).
    bool isZero() const;
    // The value; 0 when no number was found, and also beyond the range of a
    // double. The radix forms are read as unsigned values.
    double value() const;
    // The whole part, held within the 32-bit range (a longer number gives
    // the nearer end of it).
    qint32 saturated() const;
};

Number read(const QString& text, Reading reading);

// The whole text, white space around it allowed, as one decimal whole number
// with an optional sign; nothing when it is anything else or beyond 64 bits.
std::optional<qint64> wholeText(const QString& text);

} // namespace NumberText
