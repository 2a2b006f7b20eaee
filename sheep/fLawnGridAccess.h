#pragma once
// The lawn grid as assistive technology sees it: a table named "Rasen" whose
// cells carry the grid's cell texts ("Zeile 3, Spalte 4: Baum"); the cell in
// the red frame is the focused one while the grid has the focus.
class TLawnGrid;

// Registers the table with Qt's accessibility; safe to call more than once.
void InstallLawnGridAccessibility();
// Tells assistive technology that the framed cell changed.
void NotifyLawnCellFocus(TLawnGrid *grid);
