#pragma once

#include <QIcon>
#include <QPixmap>
#include <QRect>

// The wizard's own pictures, drawn rather than loaded, so they stay sharp at
// any scale and ship inside the program.
namespace WizardArt {

// The program's icon, the one the desktop shows for it (data/), compiled into
// the program; an icon without pictures if that resource is missing.
QIcon windowIcon();

// The soft backdrop of the welcome page.
QPixmap welcomeBackground(QSize size, qreal dpr);

// The rear of a unit, with SIM slot, LAN port, aerial socket and DC socket,
// drawn on a canvas of unitCanvas() design units. simHint adds a SIM card
// going into its slot.
QSize unitCanvas();
QPixmap unitPicture(QSize size, qreal dpr, bool simHint);

// Pieces drawn over the unit picture; their rects are in the unit's design
// units, so a page scales them with the picture.
QRect cableRect();
QRect aerialRect();
QRect powerRect();
QPixmap cablePicture(QSize size, qreal dpr);
QPixmap aerialPicture(QSize size, qreal dpr);
QPixmap powerPicture(QSize size, qreal dpr);

} // namespace WizardArt
