#pragma once

#include <QString>
#include <QStringList>

// The models the Ethernet-and-cellular wizard accepts, and how a model name is
// cut out of the description a unit reports.
namespace ModelNames {

// Searched in this order.
const QStringList& SupportedModels();

// True when one of the supported codes occurs anywhere in model, in any case.
bool IsSupportedModel(const QString& model);

// The model word after the maker's prefix "Velmar Systems. Velmar " (three
// characters or more) or after the family word "Calvantor " (two or more);
// the description unchanged when neither prefix is there or no blank ends the
// word.
QString ExtractModelName(const QString& description);

} // namespace ModelNames
