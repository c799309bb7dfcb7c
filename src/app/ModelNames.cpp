#include "app/ModelNames.h"

namespace ModelNames {

namespace {
// 1-based, case-blind position of what in text from the 1-based start; 0 when
// not found or when start lies past the end.
qsizetype inStr(qsizetype start, const QString& text, const QString& what)
{
    if (start < 1 || start > text.size())
        return 0;
    return text.indexOf(what, start - 1, Qt::CaseInsensitive) + 1;
}
} // namespace

const QStringList& SupportedModels()
{
    static const QStringList models {
        QStringLiteral("KR5001"),
        QStringLiteral("KR5002"),
        QStringLiteral("KR5003"),
        QStringLiteral("KR5004"),
        QStringLiteral("KR5005"),
        QStringLiteral("KR5006"),
        QStringLiteral("KR5007"),
        QStringLiteral("KR5008"),
        QStringLiteral("KR5009"),
        QStringLiteral("KR-9"),
        QStringLiteral("KR5010"),
        QStringLiteral("KR5011"),
    };
    return models;
}

bool IsSupportedModel(const QString& model)
{
    bool supported = false;
    for (const QString& code : SupportedModels()) {
        if (model.contains(code, Qt::CaseInsensitive))
            supported = true;
    }
    return supported;
}

QString ExtractModelName(const QString& description)
{
    const QString& d = description;
    const QString blank = QStringLiteral(" ");

    static const QString maker = QStringLiteral("Velmar Systems. Velmar ");
    qsizetype p = inStr(1, d, maker);
    if (p >= 1) {
        // The blank is looked for from the word's second character on, so the
        // word must be three characters long before a blank counts.
        const qsizetype q = inStr(p + 24, d, blank);
        if (q == 0 || q <= p + 25)
            return d;
        return d.mid(p + 23 - 1, q - p - 23);
    }

    static const QString family = QStringLiteral("Calvantor ");
    const qsizetype L = family.size();
    p = inStr(1, d, family);
    if (p == 0)
        return d;
    const qsizetype q = inStr(p + L, d, blank);
    if (q == 0 || q <= p + L + 1)
        return d;
    return d.mid(p + L - 1, q - p - L);
}

} // namespace ModelNames
