#pragma once
// CopyMsg: writes the current message, or a set of messages related to it,
// to text files in the configured layout of the database's kind.
//
// States: step(1) prepares (reads the settings, checks and opens the files,
// positions on the set's key) and, for the current-message scopes, writes
// the message at once; each step(2) writes the next slice of the set; step(3)
// flushes and closes. A step returns Failed (reported to the person; what
// was written before stays), More, or Exhausted once the set has no more
// messages. Sent mail of a two-file layout goes to the second file, every
// other message to the first.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "sets/message_sets.h"
#include "sets/output_settings.h"

namespace pm {

enum class CopyResult : BYTE { Failed = 0, More = 1, Exhausted = 2 };

struct CopyRequest {
    int writeMode = 1;           // 1 create the files anew, 2 append (creating missing ones)
    SetScope scope = SetScope::Current;
    SetOrigin origin;
    OutputFiles files;           // blank names take their defaults
    DateRange dates;
    std::string directory;       // where the files go; "" = the temporary directory
    std::optional<OutputLayout> layout;  // "" = the configured layout of the database's kind
    std::optional<OutputStyle> style;    // "" = the configured style
    bool oneFile = false;        // sent mail into the first file too (command mode without a second name)
    bool plain = false;          // every message of the set as the plain single copy
    std::size_t slice = 50;      // messages per step(2)
};

class CopyMsg {
public:
    explicit CopyMsg(CopyRequest request);
    ~CopyMsg();
    CopyMsg(const CopyMsg&) = delete;
    CopyMsg& operator=(const CopyMsg&) = delete;

    CopyResult step(int step);

    OutputLayout layout() const { return layout_; }
    long long written() const { return written_; }
    long long passedOver() const { return passedOver_; }
    // Messages of the set read so far, and the set's size at the start (0
    // for the current-message scopes).
    long long read() const { return cursor_ ? cursor_->read() : read_; }
    long long total() const { return total_; }
    // The files as opened ("" for a second file not used).
    const std::string& firstPath() const { return firstPath_; }
    const std::string& secondPath() const { return secondPath_; }

private:
    CopyResult prepare();
    CopyResult nextSlice();
    CopyResult finish();
    bool writeMessage(ULONG number);
    bool writeTo(std::FILE* file, const std::string& path, const std::string& bytes);
    CopyResult fail(const std::string& caption, const std::string& text);

    CopyRequest request_;
    OutputLayout layout_ = OutputLayout::Tapcis;
    OutputStyle style_;
    bool twoFiles_ = false;
    std::string firstPath_, secondPath_;
    std::FILE* first_ = nullptr;
    std::FILE* second_ = nullptr;
    std::unique_ptr<MessageSetCursor> cursor_;
    long long written_ = 0;
    long long read_ = 0;
    long long total_ = 0;
    long long passedOver_ = 0;
};

// The plain copy of message `number` of the active database (its tables
// open) as the copy command gives it; "" when there is no such message.
std::string plainCopyOf(ULONG number);

}  // namespace pm
