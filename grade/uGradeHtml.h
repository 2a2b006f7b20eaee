#pragma once
// bericht.html: one self-contained German page with the matrix of pupils and
// worlds and the details of every run, pictures included as data: URIs.
#include "grade/uGradeBatch.h"

// How a run is coloured: "geschafft", "offen" (ran, grass left), "fehler"
// or "limit".
QString ResultKind(const TGradeResult &result);

// The page for the batch; settings are named in its overview line.
QString GradeReportHtml(const TGradeBatch &batch, const TGradeSettings &settings);
