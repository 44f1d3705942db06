#pragma once

class QMdiArea;

namespace vrs {

// Window arrangements of the multiple-document area beyond what the area
// offers itself.  Minimised windows keep their place in every one of them.

// Windows as full-width bands, one above the other.
void TileHorizontally(QMdiArea *area);
// Windows as full-height columns, side by side.
void TileVertically(QMdiArea *area);
void MinimizeAll(QMdiArea *area);
// Minimised windows lined up along the bottom edge.
void ArrangeIcons(QMdiArea *area);

} // namespace vrs
