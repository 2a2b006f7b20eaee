#pragma once
// bericht.html: one self-contained German page with the matrix of pupils and
// worlds and the details of every run, pictures included as data: URIs. The
// page stays below about 20 MB whatever the class ran: each run brings its
// share, and what does not fit is left to ergebnis.json, with a note.
#include "grade/uGradeBatch.h"

// How a row's run is coloured: "geschafft", "offen" (ran, grass left or a
// goal missed), "fehler" or "limit".
QString ResultKind(const TGradeRow &row);

// The bytes one run of rowCount may add to the page.
qint64 ReportShare(qsizetype rowCount);

// The run as the page shows it (compact JSON), its messages, path and lawn cut
// to fit in share bytes.
QByteArray ReportRun(const TGradeBatch &batch, const TGradeRow &row, const TGradeResult &whole, qint64 share);

// The page (UTF-8) for the batch, from each row's Report; settings are named
// in its overview line, a task's title and goals above the matrix.
QByteArray GradeReportHtml(const TGradeBatch &batch, const TGradeSettings &settings);
