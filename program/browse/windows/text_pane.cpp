#include "browse/windows/text_pane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextBlock>
#include <QVBoxLayout>

#include "wordindex/hit_positions.h"

namespace pm {

namespace {

// The page with its CR LF line ends as LF, as the editor keeps lines.
std::string withoutCarriageReturns(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

// For each character (code point) of `text`, its index in the QString.
std::vector<int> characterIndexes(const QString& text) {
    std::vector<int> at;
    for (int i = 0; i < text.size(); ++i) {
        at.push_back(i);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
    }
    at.push_back(static_cast<int>(text.size()));
    return at;
}

}  // namespace

TextPane::TextPane(QWidget* parent) : QWidget(parent) {
    edit_ = new QPlainTextEdit;
    edit_->setObjectName(QStringLiteral("messageText"));
    edit_->setReadOnly(true);
    edit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    previous_ = new QPushButton(QStringLiteral("Previous page"));
    next_ = new QPushButton(QStringLiteral("Next page"));
    previousHit_ = new QPushButton(style()->standardIcon(QStyle::SP_ArrowUp), QString());
    previousHit_->setToolTip(QStringLiteral("Locate previous search hit instance"));
    nextHit_ = new QPushButton(style()->standardIcon(QStyle::SP_ArrowDown), QString());
    nextHit_->setToolTip(QStringLiteral("Locate next search hit instance"));
    pageLabel_ = new QLabel;
    connect(previous_, &QPushButton::clicked, this, [this] { showPage(page_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showPage(page_ + 1); });
    connect(previousHit_, &QPushButton::clicked, this, [this] { previousHit(); });
    connect(nextHit_, &QPushButton::clicked, this, [this] { nextHit(); });

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(previousHit_);
    buttons->addWidget(nextHit_);
    buttons->addStretch();
    buttons->addWidget(pageLabel_);
    buttons->addWidget(previous_);
    buttons->addWidget(next_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(edit_);
    layout->addLayout(buttons);
    clear();
}

void TextPane::setTextFont(const QFont& font) { edit_->setFont(font); }

void TextPane::clear() {
    pages_ = nullptr;
    words_.clear();
    page_ = 0;
    hits_.clear();
    currentHit_ = -1;
    edit_->clear();
    edit_->setExtraSelections({});
    for (QWidget* w : std::initializer_list<QWidget*>{previous_, next_, pageLabel_, previousHit_, nextHit_})
        w->setVisible(false);
}

void TextPane::setFoundText(const QString& text, bool matchCase) {
    foundText_ = text;
    foundCase_ = matchCase;
}

void TextPane::show(const MessageTextPages* pages, std::vector<std::string> hitWords) {
    clear();
    pages_ = pages;
    words_ = std::move(hitWords);
    if (pages_) showPage(1);
}

void TextPane::showPage(int n) {
    if (!pages_ || n < 1 || n > pages_->pages()) return;
    page_ = n;
    const std::string text = withoutCarriageReturns(pages_->page(n).text);
    edit_->setPlainText(QString::fromStdString(text));
    const bool paged = pages_->pages() > 1;
    previous_->setVisible(paged);
    next_->setVisible(paged);
    pageLabel_->setVisible(paged);
    previous_->setEnabled(page_ > 1);
    next_->setEnabled(page_ < pages_->pages());
    pageLabel_->setText(QStringLiteral("Page %1 of %2").arg(page_).arg(pages_->pages()));
    markHits();
}

QString TextPane::text() const { return edit_->toPlainText(); }

void TextPane::markHits() {
    hits_.clear();
    currentHit_ = -1;
    QList<QTextEdit::ExtraSelection> marks;
    if (!words_.empty()) {
        const QString shown = edit_->toPlainText();
        const std::string utf8 = shown.toStdString();
        std::vector<HitPosition> positions;
        BUILDWORDPOSQ1(utf8, utf8.size(), positions, words_);
        const std::vector<int> at = characterIndexes(shown);
        QTextCharFormat format;
        format.setBackground(QColor(255, 255, 0));
        for (const HitPosition& p : positions) {
            if (p.first < 1 || p.last < p.first || p.last > at.size() - 1) continue;
            const int start = at[p.first - 1];
            const int end = at[p.last];
            hits_.emplace_back(start, end - start);
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(edit_->document());
            mark.cursor.setPosition(start);
            mark.cursor.setPosition(end, QTextCursor::KeepAnchor);
            mark.format = format;
            marks.append(mark);
        }
    }
    found_.clear();
    if (!foundText_.isEmpty()) {
        const QString shown = edit_->toPlainText();
        const Qt::CaseSensitivity cs = foundCase_ ? Qt::CaseSensitive : Qt::CaseInsensitive;
        QTextCharFormat format;
        format.setBackground(QColor(144, 238, 144));
        for (qsizetype at = shown.indexOf(foundText_, 0, cs); at >= 0;
             at = shown.indexOf(foundText_, at + foundText_.size(), cs)) {
            found_.emplace_back(static_cast<int>(at), static_cast<int>(foundText_.size()));
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(edit_->document());
            mark.cursor.setPosition(static_cast<int>(at));
            mark.cursor.setPosition(static_cast<int>(at + foundText_.size()), QTextCursor::KeepAnchor);
            mark.format = format;
            marks.append(mark);
        }
    }
    edit_->setExtraSelections(marks);
    const bool any = !words_.empty();
    previousHit_->setVisible(any);
    nextHit_->setVisible(any);
    previousHit_->setEnabled(!hits_.empty() || page_ > 1);
    nextHit_->setEnabled(!hits_.empty() || (pages_ && page_ < pages_->pages()));
}

void TextPane::selectHit(int i) {
    currentHit_ = i;
    QTextCursor c(edit_->document());
    c.setPosition(hits_[static_cast<std::size_t>(i)].first);
    c.setPosition(hits_[static_cast<std::size_t>(i)].first + hits_[static_cast<std::size_t>(i)].second,
                  QTextCursor::KeepAnchor);
    edit_->setTextCursor(c);
    edit_->ensureCursorVisible();
}

bool TextPane::nextHit() {
    if (currentHit_ + 1 < static_cast<int>(hits_.size())) {
        selectHit(currentHit_ + 1);
        return true;
    }
    // On to the first hit of a later page.
    while (pages_ && page_ < pages_->pages()) {
        showPage(page_ + 1);
        if (!hits_.empty()) {
            selectHit(0);
            return true;
        }
    }
    return false;
}

bool TextPane::previousHit() {
    if (currentHit_ < 0 && !hits_.empty()) {
        selectHit(static_cast<int>(hits_.size()) - 1);
        return true;
    }
    if (currentHit_ > 0) {
        selectHit(currentHit_ - 1);
        return true;
    }
    while (pages_ && page_ > 1) {
        showPage(page_ - 1);
        if (!hits_.empty()) {
            selectHit(static_cast<int>(hits_.size()) - 1);
            return true;
        }
    }
    return false;
}

}  // namespace pm
