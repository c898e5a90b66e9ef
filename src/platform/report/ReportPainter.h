#pragma once

#include "platform/report/ReportEngine.h"

#include <QString>

class QPagedPaintDevice;
class QPrinter;

namespace report {

// Gives the printer the page size, orientation and margins of the report.
void applyPageLayout(const FilledReport &report, QPrinter &printer);

// Draws every page of a filled report on a device whose page layout is the
// report's (applyPageLayout); the painter works in points from the top-left
// corner of the printable area. False when the device cannot be painted on.
bool paintReport(const FilledReport &report, QPagedPaintDevice &device);

// Writes the report as a PDF file; false (reason in error) when it cannot.
bool renderPdf(const FilledReport &report, const QString &path, QString *error);

} // namespace report
