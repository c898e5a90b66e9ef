#include "ReportPreview.h"

#include "platform/DelayedProgress.h"
#include "platform/FileDialogs.h"
#include "platform/Prompt.h"
#include "platform/WaitCursor.h"
#include "platform/report/ReportPainter.h"
#include "platform/report/ReportWorkbook.h"

#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <climits>
#include <cmath>

namespace report {

namespace {

constexpr int kGap = 12;  // pixels around and between pages
constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 0.05;
constexpr double kMaxZoom = 8.0;
constexpr int kGroupGap = 8;  // pixels between groups of tool buttons (none within a group): the row fits a window 640 wide

} // namespace

PageView::PageView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("PageView"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setSingleStep(20);
}

void PageView::setReport(std::shared_ptr<const FilledReport> report)
{
    report_ = std::move(report);
    pagesDrawn_ = 0;
    lastPage_ = -1;
    current_ = 0;
    relayout();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    emitPageIfChanged();
}

int PageView::pageCount() const
{
    return report_ ? report_->pageCount() : 0;
}

int PageView::currentPage() const
{
    return pageCount() > 0 ? current_ : -1;
}

void PageView::setCurrentPage(int page)
{
    if (pageCount() == 0)
        return;
    current_ = qBound(0, page, pageCount() - 1);
    navigating_ = true;
    verticalScrollBar()->setValue(pageTop(current_));
    navigating_ = false;
    emitPageIfChanged();
}

void PageView::setZoomMode(ZoomMode mode)
{
    mode_ = mode;
    relayout();
}

void PageView::setZoomFactor(double factor)
{
    applyZoom(factor, ZoomMode::Custom);
}

void PageView::zoomIn()
{
    applyZoom(zoom_ * kZoomStep, ZoomMode::Custom);
}

void PageView::zoomOut()
{
    applyZoom(zoom_ / kZoomStep, ZoomMode::Custom);
}

void PageView::applyZoom(double factor, ZoomMode mode)
{
    mode_ = mode;
    zoom_ = qBound(kMinZoom, factor, kMaxZoom);
    relayout();
}

QSizeF PageView::paperPoints() const
{
    if (!report_)
        return {};
    return report_->layout.pageLayout().fullRect(QPageLayout::Point).size();
}

double PageView::pixelsPerPoint() const
{
    return zoom_ * viewport()->logicalDpiX() / 72.0;
}

QSize PageView::pageSize() const
{
    const QSizeF paper = paperPoints() * pixelsPerPoint();
    return QSize(qMax(1, int(std::lround(paper.width()))), qMax(1, int(std::lround(paper.height()))));
}

int PageView::pageStep() const
{
    return pageSize().height() + kGap;
}

// The scroll position that shows a page's top edge (with the gap above it).
int PageView::pageTop(int page) const
{
    return int(qMin<qint64>(qint64(page) * pageStep(), INT_MAX));
}

// Fits the zoom to the mode, then sizes the scroll bars to the stacked pages,
// keeping the page on show in view.
void PageView::relayout()
{
    const QSizeF paper = paperPoints();
    const double dotsPerPoint = viewport()->logicalDpiX() / 72.0;
    if (!paper.isEmpty() && mode_ != ZoomMode::Custom) {
        const double byWidth = (viewport()->width() - 2.0 * kGap) / (paper.width() * dotsPerPoint);
        const double byHeight = (viewport()->height() - 2.0 * kGap) / (paper.height() * dotsPerPoint);
        zoom_ = qBound(kMinZoom, mode_ == ZoomMode::FitToWidth ? byWidth : qMin(byWidth, byHeight), kMaxZoom);
    }
    const int pages = pageCount();
    const QSize page = pageSize();
    const qint64 height = pages > 0 ? qint64(kGap) + qint64(pages) * pageStep() : 0;
    const int width = pages > 0 ? page.width() + 2 * kGap : 0;
    QScrollBar *v = verticalScrollBar();
    QScrollBar *h = horizontalScrollBar();
    v->setPageStep(viewport()->height());
    h->setPageStep(viewport()->width());
    h->setRange(0, qMax(0, width - viewport()->width()));
    navigating_ = true;
    v->setRange(0, int(qBound<qint64>(0, height - viewport()->height(), qint64(INT_MAX))));
    if (pages > 0)
        v->setValue(pageTop(current_));
    navigating_ = false;
    viewport()->update();
    emit zoomChanged(zoom_);
}

void PageView::emitPageIfChanged()
{
    const int page = currentPage();
    if (page != lastPage_) {
        lastPage_ = page;
        emit currentPageChanged(page);
    }
}

void PageView::scrollContentsBy(int, int)
{
    if (!navigating_ && pageCount() > 0) {
        // Scrolled by the operator: the page on show is the one that fills
        // the top of the view, the last one at the end.
        QScrollBar *v = verticalScrollBar();
        current_ = v->value() >= v->maximum() && v->maximum() > 0
                       ? pageCount() - 1
                       : qBound(0, (v->value() + pageStep() / 2) / pageStep(), pageCount() - 1);
        emitPageIfChanged();
    }
    viewport()->update();
}

void PageView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), QColor(0x80, 0x80, 0x80));
    const int pages = pageCount();
    if (pages == 0)
        return;
    const QSize page = pageSize();
    const int step = pageStep();
    const int top = verticalScrollBar()->value();
    const int left = (page.width() + 2 * kGap <= viewport()->width() ? (viewport()->width() - page.width()) / 2
                                                                        : kGap)
                     - horizontalScrollBar()->value();
    const double scale = pixelsPerPoint();
    const QPageLayout layout = report_->layout.pageLayout();
    const QPointF printable = layout.paintRect(QPageLayout::Point).topLeft();

    // Only the pages that cross the exposed area are drawn.
    const int first = qBound(0, (top + event->rect().top() - kGap) / step, pages - 1);
    for (int i = first; i < pages; ++i) {
        const QRect rect(left, kGap + i * step - top, page.width(), page.height());
        if (rect.top() > event->rect().bottom())
            break;
        if (!rect.intersects(event->rect()))
            continue;
        painter.fillRect(rect.translated(3, 3), QColor(0x40, 0x40, 0x40));
        painter.fillRect(rect, Qt::white);
        painter.save();
        painter.setClipRect(rect);
        painter.translate(rect.topLeft());
        painter.scale(scale, scale);
        painter.translate(printable);
        paintPage(*report_, i, painter);
        painter.restore();
        ++pagesDrawn_;
    }
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void PageView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        if (event->angleDelta().y() > 0)
            zoomIn();
        else if (event->angleDelta().y() < 0)
            zoomOut();
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PageView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Home:
        setCurrentPage(0);
        break;
    case Qt::Key_End:
        setCurrentPage(pageCount() - 1);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

// ---- the preview with its buttons ----

namespace {

QToolButton *button(const QString &name, const QString &text, const QString &tip, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(tip);
    b->setAutoRaise(true);
    return b;
}

} // namespace

ReportPreview::ReportPreview(QWidget *parent) : QWidget(parent)
{
    view_ = new PageView(this);

    first_ = button(QStringLiteral("PageFirst"), QStringLiteral("|<"), QStringLiteral("第一页"), this);
    previous_ = button(QStringLiteral("PagePrevious"), QStringLiteral("<"), QStringLiteral("上一页"), this);
    page_ = new QSpinBox(this);
    page_->setObjectName(QStringLiteral("PageNumber"));
    page_->setKeyboardTracking(false);
    page_->setToolTip(QStringLiteral("转到页"));
    pages_ = new QLabel(this);
    pages_->setObjectName(QStringLiteral("PageTotal"));
    next_ = button(QStringLiteral("PageNext"), QStringLiteral(">"), QStringLiteral("下一页"), this);
    last_ = button(QStringLiteral("PageLast"), QStringLiteral(">|"), QStringLiteral("最后一页"), this);
    QToolButton *zoomOut = button(QStringLiteral("ZoomOut"), QStringLiteral("－"), QStringLiteral("缩小"), this);
    QToolButton *zoomIn = button(QStringLiteral("ZoomIn"), QStringLiteral("＋"), QStringLiteral("放大"), this);
    QToolButton *fitWidth =
        button(QStringLiteral("FitWidth"), QStringLiteral("适合宽度"), QStringLiteral("页宽充满窗口"), this);
    QToolButton *fitPage =
        button(QStringLiteral("FitPage"), QStringLiteral("整页"), QStringLiteral("整页显示"), this);

    QToolButton *print = button(QStringLiteral("PrintReport"), QStringLiteral("打印..."),
                                QStringLiteral("选择打印机、打印起止页和份数"), this);
    QToolButton *toExcel = button(QStringLiteral("ExportXlsx"), QStringLiteral("导出Excel"),
                                  QStringLiteral("输出数据到Excel文件"), this);
    QToolButton *toPdf =
        button(QStringLiteral("ExportPdf"), QStringLiteral("导出PDF"), QStringLiteral("输出到PDF文件"), this);

    tools_ = new QWidget(this);
    tools_->setObjectName(QStringLiteral("PreviewTools"));
    auto *tools = toolLayout_ = new QHBoxLayout(tools_);
    tools->setContentsMargins(4, 2, 4, 2);
    tools->setSpacing(0);
    for (QWidget *w : std::initializer_list<QWidget *>{first_, previous_, page_, pages_, next_, last_})
        tools->addWidget(w);
    tools->addSpacing(kGroupGap);
    for (QWidget *w : std::initializer_list<QWidget *>{zoomOut, zoomIn, fitWidth, fitPage})
        tools->addWidget(w);
    tools->addSpacing(kGroupGap);
    tools->addWidget(print);
    tools->addSpacing(kGroupGap);
    tools->addWidget(toExcel);
    tools->addWidget(toPdf);
    tools->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools_);
    layout->addWidget(view_, 1);

    connect(first_, &QToolButton::clicked, view_, [this] { view_->setCurrentPage(0); });
    connect(previous_, &QToolButton::clicked, view_, [this] { view_->setCurrentPage(view_->currentPage() - 1); });
    connect(next_, &QToolButton::clicked, view_, [this] { view_->setCurrentPage(view_->currentPage() + 1); });
    connect(last_, &QToolButton::clicked, view_, [this] { view_->setCurrentPage(view_->pageCount() - 1); });
    connect(page_, &QSpinBox::valueChanged, view_, [this](int shown) {
        if (shown - 1 != view_->currentPage())
            view_->setCurrentPage(shown - 1);
    });
    connect(zoomIn, &QToolButton::clicked, view_, &PageView::zoomIn);
    connect(zoomOut, &QToolButton::clicked, view_, &PageView::zoomOut);
    connect(fitWidth, &QToolButton::clicked, view_, [this] { view_->setZoomMode(PageView::ZoomMode::FitToWidth); });
    connect(fitPage, &QToolButton::clicked, view_, [this] { view_->setZoomMode(PageView::ZoomMode::FitInView); });
    connect(print, &QToolButton::clicked, this, &ReportPreview::printRequested);
    connect(toExcel, &QToolButton::clicked, this, [this] { exportReport(true); });
    connect(toPdf, &QToolButton::clicked, this, [this] { exportReport(false); });
    connect(view_, &PageView::currentPageChanged, this, &ReportPreview::showPageNumber);
    showPageNumber(-1);
}

void ReportPreview::addToolWidget(QWidget *widget)
{
    if (widget->parentWidget() == tools_)
        return;
    toolLayout_->insertSpacing(toolLayout_->count() - 1, kGroupGap);  // before the closing stretch
    toolLayout_->insertWidget(toolLayout_->count() - 1, widget);
    widget->show();
}

void ReportPreview::setReport(std::shared_ptr<const FilledReport> report)
{
    view_->setReport(std::move(report));
    showPageNumber(view_->currentPage());
}

void ReportPreview::showPageNumber(int page)
{
    const int pages = view_->pageCount();
    const QSignalBlocker block(page_);
    page_->setRange(pages > 0 ? 1 : 0, pages);
    page_->setValue(page + 1);
    pages_->setText(QStringLiteral("/ %1").arg(pages));
    first_->setEnabled(page > 0);
    previous_->setEnabled(page > 0);
    next_->setEnabled(page >= 0 && page < pages - 1);
    last_->setEnabled(page >= 0 && page < pages - 1);
}

void ReportPreview::exportReport(bool workbook)
{
    // Held here: the report stays whole even if the preview gets another one meanwhile.
    const std::shared_ptr<const FilledReport> shown = view_->sharedReport();
    if (!shown)
        return;
    const QString suffix = workbook ? QStringLiteral(".xlsx") : QStringLiteral(".pdf");
    const QString title = workbook ? QStringLiteral("输出数据到Excel文件") : QStringLiteral("输出到PDF文件");
    QString path = FileDialogs::current().saveFileName(
        this, title, QDir::homePath(),
        workbook ? QStringLiteral("Excel 工作簿 (*.xlsx)") : QStringLiteral("PDF 文件 (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(suffix, Qt::CaseInsensitive))
        path += suffix;
    QString error;
    bool written = false;
    {
        WaitCursor busy;
        const DelayedProgress progress(title, QStringLiteral("正在导出，请稍候……"));
        written = workbook ? writeWorkbook(*shown, path, &error, progress) : renderPdf(*shown, path, &error, progress);
    }
    if (written)
        Prompt::current().message(QStringLiteral("提示"),
                                  QStringLiteral("已导出到 %1").arg(QDir::toNativeSeparators(path)),
                                  Prompt::Icon::Information);
    else
        Prompt::current().message(QStringLiteral("提示"), error, Prompt::Icon::Exclamation);
}

} // namespace report
