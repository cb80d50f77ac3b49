#pragma once

#include <QString>

#include "reports/logic/LoanSlip.h"
#include "reports/logic/PrintSettings.h"

class QPagedPaintDevice;

// Prints the slip a reader takes home after a loan, on the paper and to the
// printer the print settings name (or as a PDF file in the slips folder).
namespace LoanSlipPrinter {

// Draws the slip on one page of the device. False when it cannot be painted on.
bool paint(QPagedPaintDevice* device, const LoanSlip& slip);

// Prints it as the settings say. False, with *error, when it could not be
// printed; the loan itself is never touched.
bool print(const LoanSlip& slip, const PrintSettings& settings, const QString& dataDir, QString* error);

}  // namespace LoanSlipPrinter
