// The look for the escaping convention shares the pieces of a large file
// between the caller and a helper thread: the mark is found whichever of
// them takes its piece, and a look left unfinished ends cleanly.
#include <gtest/gtest.h>

#include "import/formats/escape_survey.h"
#include "splitter_support.h"

namespace pm::formats {
namespace {

using test::TempDir;
using test::writeFile;

constexpr std::size_t Piece = EscapeSurvey::Piece;
constexpr std::size_t Pieces = 6;

// A file of `Pieces` pieces of quoted filler lines, the twice-escaped line
// starting right after the line end at `markAt` (none when 0).
std::string fileWithMarkAt(std::size_t markAt) {
    std::string content = "From a@b\nS: 1\n\n";
    content.reserve(Pieces * Piece + 100);
    while (content.size() < Pieces * Piece) {
        if (markAt != 0 && content.size() + 40 > markAt && content.size() <= markAt) {
            content.append(markAt - content.size(), 'x');
            content += "\n>>From there\n";
        }
        content += "> quoted >> line with >From in it\n";
    }
    return content;
}

// Runs the look to its end a piece's budget at a time; whether it found the mark.
bool lookThrough(const std::string& content, const TempDir& dir) {
    const std::string path = dir / "mbox";
    writeFile(path, content);
    ByteWindow window;
    EXPECT_TRUE(window.open(path));
    EscapeSurvey survey;
    while (!survey.advance(window, static_cast<std::int64_t>(Piece))) {
    }
    return survey.escaping();
}

TEST(EscapeSurvey, FindsTheMarkInWhicheverPieceItLies) {
    for (const std::size_t markAt : {Piece / 2, Piece - 1, 2 * Piece + 3, 4 * Piece - 2, Pieces * Piece - 60}) {
        TempDir dir;
        EXPECT_TRUE(lookThrough(fileWithMarkAt(markAt), dir)) << markAt;
    }
    TempDir dir;
    EXPECT_FALSE(lookThrough(fileWithMarkAt(0), dir));
}

TEST(EscapeSurvey, AnUnfinishedLookEndsWithItsOwner) {
    TempDir dir;
    const std::string path = dir / "mbox";
    writeFile(path, fileWithMarkAt(0));
    ByteWindow window;
    ASSERT_TRUE(window.open(path));
    {
        EscapeSurvey survey;
        survey.advance(window, 1);
        // The window closes first, as when a run stops while reading: the
        // helper reads through its own descriptor and ends with the survey.
        window.close();
    }
    EXPECT_FALSE(window.isOpen());
}

}  // namespace
}  // namespace pm::formats
