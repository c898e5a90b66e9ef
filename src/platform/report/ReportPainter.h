#pragma once

#include "platform/report/ReportEngine.h"

#include <QString>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

namespace report {

// Gives the printer the page size, orientation and margins of the report.
void applyPageLayout(const FilledReport &report, QPrinter &printer);

// Draws every page of a filled report on a device whose page layout is the
// report's (applyPageLayout); the painter works in points from the top-left
// corner of the printable area. False when the device cannot be painted on.
bool paintReport(const FilledReport &report, QPagedPaintDevice &device, const PageProgress &progress = {});

// Draws one page (0-based) with a painter whose units are points and whose
// origin is the top-left corner of the page's printable area (the preview
// scales and moves it to the page on screen).
void paintPage(const FilledReport &report, int page, QPainter &painter);

// Writes the report as a PDF file; false (reason in error) when it cannot.
bool renderPdf(const FilledReport &report, const QString &path, QString *error,
               const PageProgress &progress = {});

} // namespace report
