#pragma once

#include <QColor>
#include <QString>

// The look of one run of text in a results summary. Color holds red in its
// lowest byte, then green, then blue.
struct TextStyle {
    bool Bold = false;
    bool Underline = false;
    bool Italic = false;
    qint32 Color = 0;

    static constexpr qint32 rgb(int red, int green, int blue) { return red | green << 8 | blue << 16; }
    QColor color() const { return QColor(Color & 0xff, (Color >> 8) & 0xff, (Color >> 16) & 0xff); }
    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

// The six looks of a results summary.
namespace TextStyles {
inline constexpr TextStyle HeadingStyle { true, true, false, TextStyle::rgb(0, 0, 0) };
inline constexpr TextStyle LabelStyle { true, false, false, TextStyle::rgb(0, 0, 0) };
inline constexpr TextStyle SuccessStyle { false, false, false, TextStyle::rgb(0, 200, 50) };
inline constexpr TextStyle WarningStyle { false, false, false, TextStyle::rgb(255, 128, 0) };
inline constexpr TextStyle FailureStyle { false, false, false, TextStyle::rgb(255, 0, 0) };
inline constexpr TextStyle PlainStyle { false, false, false, TextStyle::rgb(0, 0, 0) };
} // namespace TextStyles

// One appended piece of a summary and its look.
struct StyledRun {
    QString text;
    TextStyle style;
    friend bool operator==(const StyledRun&, const StyledRun&) = default;
};
