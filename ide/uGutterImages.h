#pragma once
// The six 11 x 14 debug images of the gutter: 0 executable line (blue dot),
// 1 current line (blue arrow), 2 current line with breakpoint, 3 breakpoint on
// an executable line, 4 breakpoint elsewhere, 5 grey disc.
#include <QImage>
#include <QList>

// Drawn once on first use.
const QList<QImage> &GutterImages();
