#pragma once

#include <QtGlobal>

class QPrinter;

// Finds the printer's paper for a Japanese postcard (about 100 × 148 mm): tries the Windows paper
// codes 42 to 320 in portrait and keeps the first whose page measures 99–101 × 147–149 mm,
// returning that code with the orientation restored. Returns 0, with paper and orientation
// restored, when no code fits.
qint16 SelectPostcardPaper(QPrinter& printer);

// The printer's paper set by its Windows paper code (9 is A4, 13 is B5 182 × 257 mm). False when
// the code names no size or the printer refuses it.
bool SetPaperByCode(QPrinter& printer, int code);
