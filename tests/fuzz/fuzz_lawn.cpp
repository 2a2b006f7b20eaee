// Lawn file bytes -> TField::Load; a lawn that loads is stored and loaded
// again and must come back tile for tile as it was stored.
#include "FieldChecks.h"
#include "ScratchFiles.h"

namespace {

bool SameField(const TField &a, const TField &b)
{
    if (a.ColCount() != b.ColCount() || a.RowCount() != b.RowCount())
        return false;
    for (int row = 0; row < a.RowCount(); ++row)
        for (int col = 0; col < a.ColCount(); ++col)
            if (a.Cell(col, row).TileType() != b.Cell(col, row).TileType())
                return false;
    return true;
}

} // namespace

GRAZLO_FUZZ_TARGET(bytes)
{
    TField field;
    QString error;
    if (!field.Load(grazlo_fuzz::WriteScratch("lawn.glw", bytes), error)) {
        grazlo_fuzz::Check(!error.isEmpty(), "a refused lawn says why");
        return;
    }
    grazlo_fuzz::CheckField(field);
    const QString stored = grazlo_fuzz::ScratchPath("stored.glw");
    grazlo_fuzz::Check(field.Store(stored, error), "a loaded lawn can be stored");
    TField reloaded;
    grazlo_fuzz::Check(reloaded.Load(stored, error), "a stored lawn loads");
    grazlo_fuzz::Check(SameField(field, reloaded), "a stored lawn loads as stored");
}
