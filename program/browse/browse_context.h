#pragma once
// The browse contexts: what a message or mail browse shows (its view and
// the values that narrow it) and which message is selected. The process
// keeps one shared copy of each, which the browse writes whenever its view
// or selection changes and which the windows that follow it (thread tree,
// topics, set operations) read.
#include <cstddef>

#include "common/fixed_text.h"
#include "common/types.h"

namespace pm {

// Views of the message browse (BrowseContext::SORTORDER).
enum MessageView : BYTE {
    ViewByNumber = 1,    // MsgNmbr by MSG:IdKey
    ViewByThread = 2,    // MsgNmbr by MSG:Threadkey, optionally one thread
    ViewBySection = 3,   // MsgNmbr by MSG:SECkey, one section
    ViewBySender = 4,    // MsgNmbr by MSG:FromKey, optionally one sender
    ViewByReceiver = 5,  // MsgNmbr by MSG:ToKey, optionally one receiver
    ViewByDate = 6,      // MsgNmbr by MSG:DateKey
    ViewByKeyWord = 7,   // MasIdx by MAS:by_WordId, one word
    ViewByTopic = 8,     // SIndex by SIN:IdKey, one topic
    ViewBySearch = 9,    // Search by SEA:IdKey: the last search result
};
inline constexpr BYTE MessageViewCount = 9;

// Views of the mail browse (MailBrowseContext::SORTORDER).
enum MailView : BYTE {
    MailByDate = 1,      // Mail by MAI:DateKey
    MailBySubject = 2,   // Mail by MAI:SubjectKey
    MailByPartner = 3,   // Mail by MAI:PairKey, optionally one partner
    MailBySender = 4,    // Mail by MAI:FromKey, optionally one sender
    MailByReceiver = 5,  // Mail by MAI:ToKey, optionally one receiver
    MailByKeyWord = 6,   // MasIdx by MAS:by_WordId, one word
    MailByTopic = 7,     // SIndex by SIN:IdKey, one topic
    MailBySearch = 8,    // Search by SEA:IdKey
};
inline constexpr BYTE MailViewCount = 8;

// Whose messages a person narrows a view to.
enum class BrowsePersonRole { Sender, Receiver, Partner };

// Codes records (COD:TYPE) that are topics rather than key words.
inline constexpr BYTE CodeTypeTopic = 2;

#pragma pack(push, 1)

// The message browse context (63 bytes).
struct BrowseContext {
    BYTE SORTORDER;               // MessageView
    ULONG MAXNUMBER;              // records in the view, as last shown in the title
    ULONG XMSGID;                 // MSG:MSGNUMBER of the selected message
    FixedText<10> XTHREADALPHA;   // THR:ALPHA of the thread narrowed to
    ULONG XTHREADNUMBER;          // thread narrowed to; 0 = not narrowed
    ULONG XSECSYSID;              // section narrowed to
    ULONG XSENDID;                // sender narrowed to; 0 = not narrowed
    FixedText<10> XSENDERALPHA;   // the sender's MSG:FROMALPHA
    ULONG XRECEIVEID;             // receiver narrowed to; 0 = not narrowed
    FixedText<10> XRECEIVERALPHA; // the receiver's MSG:TOALPHA
    ULONG XSINDEXID;              // WOR:WORDID of the chosen key word
    ULONG XTOPICSID;              // SIN:ID of the chosen topic
};

// The mail browse context (74 bytes).
struct MailBrowseContext {
    BYTE SORTORDER;               // MailView
    ULONG MAXNUMBER;
    ULONG XMAILID;                // MAI:MAILID of the selected mail
    FixedText<25> XPAIRALPHA;     // the partner's MAI:PAIRALPHA
    ULONG XPAIRID;                // mail partner narrowed to; 0 = not narrowed
    ULONG XSENDID;
    FixedText<10> XSENDERALPHA;
    ULONG XRECEIVEID;
    FixedText<10> XRECEIVERALPHA;
    ULONG XSINDEXID;
    ULONG XTOPICSID;
};

#pragma pack(pop)

static_assert(sizeof(BrowseContext) == 63);
static_assert(sizeof(MailBrowseContext) == 74);

// A context of all zeros (texts too, as the shared copies start).
BrowseContext zeroBrowseContext();
MailBrowseContext zeroMailBrowseContext();

// The shared copies. Operation 2 copies `length` bytes of `buffer` into the
// shared copy, operation 3 copies the shared copy out to `buffer`; at most
// the record's size is copied. Other operations do nothing. The shared
// copies start as all zeros.
enum ContextOperation : int { ContextPublish = 2, ContextRead = 3 };
void Context(int operation, std::size_t length, void* buffer);
void MailContext(int operation, std::size_t length, void* buffer);

// Typed forms of the same.
void publishContext(const BrowseContext& context);
BrowseContext readContext();
void publishMailContext(const MailBrowseContext& context);
MailBrowseContext readMailContext();

}  // namespace pm
