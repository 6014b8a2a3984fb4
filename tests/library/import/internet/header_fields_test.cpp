#include "import/internet/header_fields.h"

#include <gtest/gtest.h>

namespace pm::inet {
namespace {

TEST(HeaderFields, EveryCodeOfTheTable) {
    struct Case {
        const char* line;
        int code;
    };
    const Case cases[] = {
        {"From: John <j@x.org>", 1},
        {"FROM:x", 1},
        {"Date: Mon, 5 Jun 1995 10:00:00", 2},
        {"to: all", 3},
        {"Subject: hello", 4},
        {"Newsgroups: comp.lang.c", 5},
        {"Message-ID: <1@x>", 6},
        {"Message-Id: <1@x>", 6},
        {"Comments: x", 99},
        {"Content-MD5: x", 99},
        {"Content-Type: text/plain", 99},
        {"Content-Length: 12", 99},
        {"Content-Transfer-Encoding: base64", 99},
        {"In-Reply-To: <1@x>", 99},
        {"MIME-Version: 1.0", 99},
        {"Path: a!b", 99},
        {"Received: from x", 99},
        {"Reply-To: a@b", 99},
        {"Return-Path: <a@b>", 99},
        {"Sender: a@b", 99},
        {"Status: RO", 99},
        {"URL: http://x", 99},
        {"X-Mailer: Something", 99},
        {"x-a: b", 99},
        // ": " must lie within the first 48 characters.
        {"X-0123456789012345678901234567890123456789012345: late", 0},
        {"X-no-colon-blank:value", 0},
        {"From someone@example.org Mon Jun  5 10:00:00 1995", 99},
        {"From - Mon Jun  5 10:00:00 1995", 99},
        {"From the desk of the editor", 0},
        {"From 0123456789012345678901234567890123456789012345@late", 0},
        {"References: <1@x>", 0},  // not in the table
        {"Hello: world", 0},
        {"", 0},
        {"   From: indented", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(classifyHeaderLine(c.line), c.code) << c.line;
}

}  // namespace
}  // namespace pm::inet
