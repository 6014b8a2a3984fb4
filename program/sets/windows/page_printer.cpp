#include "sets/windows/page_printer.h"

#include <QDate>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

namespace pm {

PagePrinter::PagePrinter(std::unique_ptr<QPrinter> printer) : owned_(std::move(printer)), printer_(owned_.get()) {}

PagePrinter::PagePrinter(const QString& pdfPath)
    : owned_(std::make_unique<QPrinter>(QPrinter::HighResolution)), printer_(owned_.get()) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(pdfPath);
    printer_->setPageSize(QPageSize(QPageSize::A4));
    printer_->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

PagePrinter::~PagePrinter() {
    if (open_) painter_.end();
}

bool PagePrinter::begin(const std::string& title, const std::string& database) {
    title_ = QString::fromStdString(title);
    database_ = QString::fromStdString(database);
    printer_->setDocName(title_);
    if (!painter_.begin(printer_)) {
        error_ = "The printer cannot be opened" +
                 (printer_->outputFileName().isEmpty() ? std::string(".")
                                                       : ": " + printer_->outputFileName().toStdString());
        return false;
    }
    open_ = true;
    headFont_ = QFont(QStringLiteral("DejaVu Sans"), 9);
    boldFont_ = QFont(QStringLiteral("DejaVu Sans"), 9, QFont::Bold);
    textFont_ = QFont(QStringLiteral("DejaVu Sans Mono"), 9);
    textFont_.setStyleHint(QFont::Monospace);
    page_ = 0;
    startPage();
    return true;
}

void PagePrinter::startPage() {
    if (page_ > 0) printer_->newPage();
    ++page_;
    const QRectF area = painter_.viewport();
    painter_.setFont(headFont_);
    const QFontMetricsF fm(headFont_, printer_);
    const qreal h = fm.height();
    painter_.drawText(QRectF(0, 0, area.width(), h), Qt::AlignLeft | Qt::AlignVCenter, title_);
    painter_.drawText(QRectF(0, 0, area.width(), h), Qt::AlignRight | Qt::AlignVCenter,
                      QStringLiteral("Page %1").arg(page_));
    painter_.drawText(QRectF(0, h, area.width(), h), Qt::AlignLeft | Qt::AlignVCenter,
                      database_ + QStringLiteral("   ") + QDate::currentDate().toString(Qt::ISODate));
    const qreal rule = 2 * h + h / 3;
    painter_.drawLine(QPointF(0, rule), QPointF(area.width(), rule));
    y_ = rule + h / 2;
}

void PagePrinter::line(const QString& text, const QFont& font) {
    const QFontMetricsF fm(font, printer_);
    const qreal width = painter_.viewport().width();
    // A line wider than the page goes on over more lines (measured only
    // then: the wrapped layout is the costly part of printing).
    qreal h = fm.height();
    if (fm.horizontalAdvance(text) > width)
        h = std::max(h, fm.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWrapAnywhere, text).height());
    if (y_ + h > painter_.viewport().height()) startPage();
    painter_.setFont(font);
    painter_.drawText(QRectF(0, y_, width, h), Qt::TextWrapAnywhere, text);
    y_ += h;
}

bool PagePrinter::print(const OutputMessage&, const std::vector<std::string>& header,
                        const std::vector<std::string>& text) {
    if (!open_) {
        error_ = "The report was not begun.";
        return false;
    }
    for (const std::string& h : header) line(QString::fromStdString(h), boldFont_);
    line(QString(), textFont_);
    for (const std::string& t : text) line(QString::fromStdString(t), textFont_);
    line(QString(), textFont_);
    line(QString(), textFont_);
    return true;
}

bool PagePrinter::end() {
    if (!open_) return true;
    open_ = false;
    if (!painter_.end()) {
        error_ = "The report could not be finished.";
        return false;
    }
    return true;
}

}  // namespace pm
