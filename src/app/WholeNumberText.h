#pragma once

#include <QString>

#include <optional>

// Numbers typed into the option boxes, read as the program has always read
// them: a decimal text, possibly with a fraction, brought to the nearest
// 32-bit whole number with halves going to the even neighbour (2.5 gives 2,
// 3.5 gives 4). Blanks around the number are allowed. Unlike the number a
// text begins with (NumberText), the whole box must be the number, and it is
// read as the desktop writes numbers: its decimal comma, group separators and
// exponents too.
namespace WholeNumberText {

// Nothing for an empty text, one that is no number, or one outside the 32-bit range.
std::optional<qint32> read(const QString& text);

// True when the text, blanks around it set aside, is one or more decimal digits.
bool isCount(const QString& text);

} // namespace WholeNumberText
