// Provisional definitions of the window's methods that belong to the source
// file, settings, search, completion, options and update units. Each unit that
// implements one of them deletes its definition here; until then the window
// behaves as if the feature were absent (nothing stored, nothing loaded).
#include "ide/fKeloIDE.h"

#include <QStringList>

void TfrmKeloIDE::UpdateCompletionList() {}
void TfrmKeloIDE::CloseParamHint() {}
