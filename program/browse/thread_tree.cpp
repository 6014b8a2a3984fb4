#include "browse/thread_tree.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_map>

#include "browse/paged_list.h"
#include "common/date_pictures.h"
#include "common/fixed_text.h"
#include "tables/records/message_tables.h"

namespace pm {

std::string threadTreeDatePicture(LONG dateFormat) {
    switch (dateFormat) {
        case 1:
        case 2: return "@D2-";
        case 6: return "@D6-";
        case 3:
        case 10: return "@D10-";
        case 4:
        case 17: return "@D17";
        default: return {};
    }
}

ThreadTree::ThreadTree(int style, LONG dateFormat)
    : style_(style), datePicture_(threadTreeDatePicture(dateFormat)), last_(zeroBrowseContext()) {}

void ThreadTree::clear() {
    thread_ = 0;
    lines_.clear();
}

bool ThreadTree::follow(const BrowseContext& context) {
    if (haveLast_ && std::memcmp(&context, &last_, sizeof context) == 0) return false;
    last_ = context;
    haveLast_ = true;
    MsgNmbr.clear();
    MSG.MSGNUMBER = context.XMSGID;
    if (MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) MsgNmbr.clear();
    if (!lines_.empty() && MSG.THREADNUMBER == thread_) return false;
    build(MSG.THREADNUMBER);
    return true;
}

void ThreadTree::build(ULONG thread) {
    Threads.clear();
    THR.THREADNUMBER = thread;
    if (Threads.get(THR_ThreadKey) != StorageStatus::Ok) Threads.clear();
    std::vector<Message> messages;
    if (THR.THREADNUMBER != 0) {
        MsgNmbr.clear();
        MSG.THREADALPHA = THR.ALPHA.raw();
        MSG.THREADNUMBER = THR.THREADNUMBER;
        const KeyRange range = KeyRange::fromBuffer(MsgNmbr, MSG_Threadkey, 2);
        std::unordered_map<ULONG, std::string> senders;
        MsgNmbr.setAt(MSG_Threadkey);
        while (MsgNmbr.next() == StorageStatus::Ok && range.holdsBuffer()) {
            Message m;
            m.number = MSG.MSGNUMBER;
            m.parent = MSG.REFNUMBER == MSG.MSGNUMBER ? 0 : MSG.REFNUMBER;
            m.date = MSG.DATE;
            auto [it, added] = senders.try_emplace(MSG.FROMID);
            if (added) {
                Person.clear();
                PER.PERSONID = MSG.FROMID;
                if (Person.get(PER_PersonKey) == StorageStatus::Ok) {
                    std::string name = PER.FIRSTNAME.str();
                    if (!name.empty() && !PER.LASTNAME.empty()) name += ' ';
                    name += PER.LASTNAME.str();
                    it->second = name.substr(0, utf8FitLength(name, 35));
                }
            }
            m.sender = it->second;
            messages.push_back(std::move(m));
        }
    }
    buildFrom(std::move(messages));
    thread_ = thread;
}

void ThreadTree::buildFrom(std::vector<Message> messages) {
    std::sort(messages.begin(), messages.end(), [](const Message& a, const Message& b) { return a.number < b.number; });
    const std::size_t n = messages.size();
    std::unordered_map<ULONG, std::size_t> index;  // the level look-up list
    for (std::size_t i = 0; i < n; ++i) index.emplace(messages[i].number, i);

    std::vector<int> level(n, 0);
    std::size_t placed = 0;
    while (placed < n) {
        std::size_t before = placed;
        for (std::size_t i = 0; i < n; ++i) {
            if (level[i] != 0) continue;
            auto parent = index.find(messages[i].parent);
            if (messages[i].parent == 0 || parent == index.end()) {
                level[i] = 1;
            } else if (level[parent->second] != 0) {
                level[i] = level[parent->second] + 1;
            } else {
                continue;
            }
            ++placed;
        }
        if (placed == before) {
            // A cycle: its first message becomes a top message.
            for (std::size_t i = 0; i < n; ++i)
                if (level[i] == 0) {
                    level[i] = 1;
                    ++placed;
                    break;
                }
        }
    }

    // Replies of each message in number order (messages are sorted); a top
    // message of a cycle keeps its parent out of the walk.
    std::vector<std::vector<std::size_t>> replies(n);
    std::vector<std::size_t> tops;
    for (std::size_t i = 0; i < n; ++i) {
        auto parent = index.find(messages[i].parent);
        if (level[i] == 1 || messages[i].parent == 0 || parent == index.end()) tops.push_back(i);
        else replies[parent->second].push_back(i);
    }

    lines_.clear();
    lines_.push_back({});
    std::vector<bool> shown(n, false);
    std::vector<std::size_t> stack;
    for (std::size_t top : tops) {
        stack.push_back(top);
        while (!stack.empty()) {
            const std::size_t i = stack.back();
            stack.pop_back();
            if (shown[i]) continue;
            shown[i] = true;
            ThreadTreeLine line;
            line.number = messages[i].number;
            line.level = level[i] - 1;
            line.icon = line.level == 0 ? 1 : 2;
            line.text = lineText(messages[i]);
            lines_.push_back(std::move(line));
            for (auto r = replies[i].rbegin(); r != replies[i].rend(); ++r) stack.push_back(*r);
        }
    }
}

std::string ThreadTree::lineText(const Message& m) const {
    const std::string number = std::to_string(m.number);
    const std::string date = datePicture_.empty() ? std::string() : formatDate(m.date, datePicture_);
    switch (style_) {
        case StyleSenderNumber: return m.sender + " " + number;
        case StyleSenderDate: return m.sender + " " + date;
        case StyleSenderNumberDate: return m.sender + " " + number + " " + date;
        case StyleSenderDateNumber: return m.sender + " " + date + " " + number;
        default: return m.sender;
    }
}

int ThreadTree::lineOf(ULONG number) const {
    if (number == 0) return -1;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].number == number) return static_cast<int>(i);
    return -1;
}

}  // namespace pm
