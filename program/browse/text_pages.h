#pragma once
// The text of the selected message, cut into pages for the text pane.
//
// A text of up to 24,000 bytes is one page; longer ones (at most 64,000)
// make two or three. Page 1 ends before the first blank at byte 23,950 to
// 23,980 (1-based; byte 23,981 when there is none) and is followed by
// " ..........<MORE>>"; page 2 of three ends likewise before the first
// blank at 47,060 to 47,100 (47,101); every later page begins with
// "<CONTINUED>> \r\n". A cut that would split a character moves back to its
// start.
#include <string>
#include <vector>

#include "common/types.h"

namespace pm {

// One page as the pane shows it.
struct TextPage {
    std::string text;
    std::size_t start = 1;         // 1-based byte of the full text where the page's own text begins
    std::size_t length = 0;        // bytes of the full text on the page
    std::size_t prefixLength = 0;  // bytes put before them ("<CONTINUED>> \r\n")
};

class MessageTextPages {
public:
    static constexpr std::size_t PageLimit = 24000;
    static constexpr std::size_t TextLimit = 64000;

    // Operation 1: reads the MsgText record of `number` (a missing one
    // gives an empty text). With a subject, the text becomes "Subject: ",
    // the clipped subject, "\r\n\r\n" and the clipped stored text, cut to
    // 64,000 bytes. Returns 0 when the text is one page, else 1.
    int load(ULONG number, const std::string* subject = nullptr);
    // The same for a text at hand (tests, other sources).
    int loadText(std::string text);

    int pages() const { return pages_; }
    // Page 1 to pages() (operation 2 = page 1, 3 = the next, 4 = the third);
    // an empty page outside that.
    TextPage page(int number) const;
    const std::string& fullText() const { return text_; }
    // The 1-based byte position where page 1 and page 2 end (the blank
    // that starts the next page); 0 when there is no such cut.
    std::size_t firstCut() const { return cut1_; }
    std::size_t secondCut() const { return cut2_; }

private:
    std::string text_;
    int pages_ = 1;
    std::size_t cut1_ = 0;
    std::size_t cut2_ = 0;
};

}  // namespace pm
