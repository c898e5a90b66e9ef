#pragma once

#include "platform/report/ReportEngine.h"

#include <QAbstractScrollArea>
#include <QWidget>
#include <memory>

class QHBoxLayout;
class QLabel;
class QSpinBox;
class QToolButton;

namespace report {

// The pages of a filled report stacked one under another on a grey ground.
// Only the pages that lie in view are drawn, when they come into view, so a
// report of thousands of pages shows its first page at once. Page positions
// follow arithmetically from the page size and the zoom.
class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class ZoomMode { FitToWidth, FitInView, Custom };

    explicit PageView(QWidget *parent = nullptr);

    void setReport(std::shared_ptr<const FilledReport> report);
    const FilledReport *report() const { return report_.get(); }
    std::shared_ptr<const FilledReport> sharedReport() const { return report_; }
    int pageCount() const;

    // The page at the top of the view, 0-based; -1 without pages.
    int currentPage() const;
    void setCurrentPage(int page);  // scrolls the page's top edge into view

    ZoomMode zoomMode() const { return mode_; }
    void setZoomMode(ZoomMode mode);
    // Screen size against paper size: 1 shows the paper at its true size.
    double zoomFactor() const { return zoom_; }
    void setZoomFactor(double factor);  // switches to ZoomMode::Custom
    void zoomIn();
    void zoomOut();

    // Pages drawn since the report was set (tests and benchmarks see that
    // only the pages in view are drawn).
    int pagesDrawn() const { return pagesDrawn_; }

signals:
    void currentPageChanged(int page);
    void zoomChanged(double factor);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QSizeF paperPoints() const;
    double pixelsPerPoint() const;
    QSize pageSize() const;  // one page on screen, in pixels
    int pageStep() const;    // a page and the gap below it
    int pageTop(int page) const;
    void relayout();
    void applyZoom(double factor, ZoomMode mode);
    void emitPageIfChanged();

    std::shared_ptr<const FilledReport> report_;
    ZoomMode mode_ = ZoomMode::FitToWidth;
    double zoom_ = 1.0;
    int current_ = 0;        // the page on show
    bool navigating_ = false;  // scrolling to a page chosen by number
    int lastPage_ = -1;      // the page last announced
    int pagesDrawn_ = 0;
};

// The preview the print control opens: a row of page, zoom, print and export
// buttons over the page view. The export buttons write the report on view to
// an Excel workbook or a PDF file named in a save dialog, with the wait
// pointer (and a progress dialog when it takes long), and tell the file
// written.
class ReportPreview : public QWidget {
    Q_OBJECT
public:
    explicit ReportPreview(QWidget *parent = nullptr);

    void setReport(std::shared_ptr<const FilledReport> report);
    PageView *pageView() const { return view_; }

    // The tool bar (page, zoom, print and export buttons), for the print help's picture.
    QWidget *toolBar() const { return tools_; }
    // Puts a control of the window that holds the preview at the right end of
    // the tool bar, after the export buttons; the tool bar becomes its parent.
    void addToolWidget(QWidget *widget);

signals:
    // The print button: the control that made the preview prints the report.
    void printRequested();

private:
    void showPageNumber(int page);
    void exportReport(bool workbook);

    PageView *view_;
    QToolButton *first_;
    QToolButton *previous_;
    QSpinBox *page_;
    QLabel *pages_;
    QToolButton *next_;
    QToolButton *last_;
    QWidget *tools_;
    QHBoxLayout *toolLayout_;
};

} // namespace report
