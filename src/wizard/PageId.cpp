#include "wizard/PageId.h"

QString pageName(PageId id)
{
    switch (id) {
    case PageId::Wiz01:
        return QStringLiteral("frmWiz01");
    case PageId::Wiz02:
        return QStringLiteral("frmWiz02");
    case PageId::Wiz03:
        return QStringLiteral("frmWiz03");
    case PageId::Wiz04:
        return QStringLiteral("frmWiz04");
    case PageId::Wiz05:
        return QStringLiteral("frmWiz05");
    case PageId::Wiz06:
        return QStringLiteral("frmWiz06");
    case PageId::Wiz07:
        return QStringLiteral("frmWiz07");
    case PageId::Wiz08:
        return QStringLiteral("frmWiz08");
    case PageId::Wiz09:
        return QStringLiteral("frmWiz09");
    case PageId::Wiz10:
        return QStringLiteral("frmWiz10");
    case PageId::Wiz11A:
        return QStringLiteral("frmwiz11A");
    case PageId::Wiz11B:
        return QStringLiteral("frmwiz11B");
    case PageId::Wiz11C:
        return QStringLiteral("frmwiz11C");
    case PageId::Wiz12A:
        return QStringLiteral("frmwiz12A");
    case PageId::Wiz12B:
        return QStringLiteral("frmwiz12B");
    case PageId::Wiz12C:
        return QStringLiteral("frmwiz12C");
    case PageId::Wiz13:
        return QStringLiteral("frmWiz13");
    case PageId::End:
        return QStringLiteral("frmEnd");
    case PageId::EndProgram:
        return QStringLiteral("end of program");
    }
    return QString();
}
