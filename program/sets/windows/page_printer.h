#pragma once
// Prints messages through Qt Print Support, to a printer or a PDF file:
// each page is headed by the report's title, the database's name and the
// page number over a rule; every message follows with its header lines in
// bold and its text in a fixed-pitch font, the next message after a gap,
// page breaks where a page is full.
#include <QFont>
#include <QPainter>
#include <QString>
#include <memory>

#include "sets/message_printer.h"

class QPrinter;

namespace pm {

class PagePrinter final : public MessagePrinter {
public:
    // Prints on `printer`, set up by the caller (the print dialog).
    explicit PagePrinter(std::unique_ptr<QPrinter> printer);
    // Prints to a PDF file at `pdfPath` (A4).
    explicit PagePrinter(const QString& pdfPath);
    ~PagePrinter() override;

    bool begin(const std::string& title, const std::string& database) override;
    bool print(const OutputMessage& message, const std::vector<std::string>& header,
               const std::vector<std::string>& text) override;
    bool end() override;
    std::string error() const override { return error_; }

    int pages() const { return page_; }

private:
    void startPage();
    void line(const QString& text, const QFont& font);

    std::unique_ptr<QPrinter> owned_;
    QPrinter* printer_;
    QPainter painter_;
    QFont headFont_, boldFont_, textFont_;
    QString title_, database_;
    qreal y_ = 0;
    int page_ = 0;
    bool open_ = false;
    std::string error_;
};

}  // namespace pm
