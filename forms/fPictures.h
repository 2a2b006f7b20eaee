#pragma once
// The product's pictures, drawn in code so that they stay sharp at every size:
// a white woolly sheep seen from above with its black head pointing right, and
// the maker's small logo (a green vale under a blue sky).
#include <QIcon>
#include <QPixmap>

class QPainter;

// The sheep on a transparent background, 150 × 108.
QPixmap ProductPicture();
// The sheep on a transparent background, 35 × 35.
QPixmap ProductIcon();
// The maker's logo, 21 × 15.
QPixmap MakerLogo();
// Paints the sheep centred into an area of the given size at the painter's
// origin, on any paint device (a vector one too).
void PaintProductSheep(QPainter &p, QSizeF size);
// The product icon at the sizes window managers ask for.
QIcon ProductWindowIcon();
