#pragma once

#include <QFont>

// The fonts of the wizard's pages: one for titles, one for body text.
namespace PageFonts {

QFont title();
QFont body();

} // namespace PageFonts
