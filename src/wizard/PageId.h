#pragma once

#include <QString>

// Every window of the wizard, plus the program's end as a road's last stop.
enum class PageId {
    Wiz01,
    Wiz02,
    Wiz03,
    Wiz04,
    Wiz05,
    Wiz06,
    Wiz07,
    Wiz08,
    Wiz09,
    Wiz10,
    Wiz11A,
    Wiz11B,
    Wiz11C,
    Wiz12A,
    Wiz12B,
    Wiz12C,
    Wiz13,
    End,
    EndProgram,
};

// The form name of a page ("frmWiz01", "frmwiz11C", ...).
QString pageName(PageId id);
