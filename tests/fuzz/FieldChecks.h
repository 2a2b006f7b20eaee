#pragma once
// Properties every lawn must keep, whatever was loaded or done to it.
#include "FuzzTarget.h"

#include "sheep/uTile.h"

namespace grazlo_fuzz {

// The field is rectangular, within its size limit, and the kept counts per
// tile kind (which the score is computed from) match the tiles.
inline void CheckField(const TField &field)
{
    Check(field.ColCount() <= TField::MaxSize && field.RowCount() <= TField::MaxSize, "lawn within size limit");
    std::array<int, TileTypeCount> counted{};
    for (int row = 0; row < field.RowCount(); ++row) {
        Check(field.Rows(row).Count() == field.ColCount(), "every lawn row as wide as the first");
        for (int col = 0; col < field.ColCount(); ++col)
            ++counted[field.Cell(col, row).TileType()];
    }
    for (int kind = 0; kind < TileTypeCount; ++kind)
        Check(field.GetCount(TTileType(kind)) == counted[kind], "kept tile counts match the tiles");
}

} // namespace grazlo_fuzz
