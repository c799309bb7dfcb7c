#pragma once

#include <QString>

// The program's own files (help pages) as they lie beside the executable in
// the build tree, or under the install prefix's share folder once installed
// (<prefix>/bin/linkwise, <prefix>/share/linkwise/...).
namespace ProgramFiles {

// The first of those places that holds relativePath, as an absolute path;
// empty when neither does.
QString find(const QString& programFolder, const QString& relativePath);

} // namespace ProgramFiles
