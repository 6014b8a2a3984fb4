// Telling forum message files, mail files and other files apart.
#include <gtest/gtest.h>

#include <fstream>

#include "import/capture/capture_parsers.h"
#include "import/driver/import_request.h"
#include "support/test_root.h"

namespace pm::capture {
namespace {

using Detector = int (*)(const ImportRequest&, const std::string&);

struct Case {
    const char* name;
    Detector detect;
    const char* text;
    int requestVariant;
    int expected;
};

const Case kCases[] = {
    {"tapcis forum", detectTapcisVariant, "intro\r\n\r\n#: 1 S1/G\r\n", 1, 1},
    {"tapcis to a mailbox", detectTapcisVariant, "#: 1 S1/Inbox\r\n", 2, 2},
    {"tapcis indented", detectTapcisVariant, "\r\n #: 82351      Sec. 1 - General\r\n", 1, 0},
    {"tapcis empty", detectTapcisVariant, "", 1, 0},
    {"tapcis after padding", detectTapcisVariant, "text\r\n\x1A#: 1 S1/G\r\n", 1, 0},
    {"oz forum", detectOzVariant, "\r\n#: 1 S1/G (F)\r\n    10-Nov-85\r\nSb: x\r\n", 2, 1},
    {"oz forum blank lines between", detectOzVariant, "#: 1 S1/G\r\n\r\n    10-Nov-85\r\n\r\nSb: x\r\n", 1, 1},
    {"oz forum without Sb", detectOzVariant, "#: 1 S1/G\r\nSb: x\r\nFm: y\r\n", 1, 0},
    {"oz forum at end", detectOzVariant, "#: 1 S1/G\r\n    10-Nov-85\r\n", 1, 0},
    {"oz mail received", detectOzVariant, "notes\r\nDate:  15-Mar-96 10:22\r\nFrom:  Ann\r\n", 1, 2},
    {"oz mail sent", detectOzVariant, "Date:  15-Mar-96 10:22\r\n\r\nMgTo:  Ann\r\n", 1, 2},
    {"oz mail other", detectOzVariant, "Date:  15-Mar-96 10:22\r\nSubj:  x\r\nFrom:  Ann\r\n", 1, 0},
    // Only the first "#:" or "Date:  " line is judged.
    {"oz first judged", detectOzVariant, "Date:  x\r\nTo: y\r\n#: 1\r\n    d\r\nSb: z\r\n", 1, 0},
    {"oz one blank", detectOzVariant, "Date: 15-Mar-96\r\nFrom:  Ann\r\n", 1, 0},
    {"navcis forum", detectNavCisSaveVariant,
     "Subject:  A  Msg Number: 1\r\n   From:  B\r\n     To:  C\r\n  Forum:  D Sec: 1-E\r\n", 1, 1},
    {"navcis mail", detectNavCisSaveVariant, "Subject:  A\r\n   From:  B\r\n\r\n     To:  C\r\n   Date:  05-Mar-96\r\n", 1,
     2},
    {"navcis broken then whole", detectNavCisSaveVariant,
     "Subject:  A\r\n   From:  B\r\nSubject:  A\r\n   From:  B\r\n     To:  C\r\n   Date:  x\r\n", 1, 2},
    {"navcis out of order", detectNavCisSaveVariant, "Subject:  A\r\n     To:  C\r\n   From:  B\r\n  Forum:  D\r\n", 1, 0},
    {"navcis fourth line other", detectNavCisSaveVariant, "Subject:  A\r\n   From:  B\r\n     To:  C\r\nbody\r\n", 1, 0},
};

class Detection : public ::testing::TestWithParam<Case> {};

TEST_P(Detection, JudgesTheFile) {
    const Case& c = GetParam();
    test::TempDir dir;
    const std::string path = dir / "file";
    std::ofstream(path, std::ios::binary) << c.text;
    ImportRequest request;
    request.variant = static_cast<BYTE>(c.requestVariant);
    EXPECT_EQ(c.detect(request, path), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Files, Detection, ::testing::ValuesIn(kCases));

TEST(DetectionOfMissingFiles, FindsNothing) {
    ImportRequest request;
    request.variant = 1;
    EXPECT_EQ(detectTapcisVariant(request, "/nonexistent/file"), 0);
    EXPECT_EQ(detectOzVariant(request, "/nonexistent/file"), 0);
    EXPECT_EQ(detectNavCisSaveVariant(request, "/nonexistent/file"), 0);
}

}  // namespace
}  // namespace pm::capture
