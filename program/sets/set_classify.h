#pragma once
// Classifying a slice of a set: the topic attached to or removed from each
// message, through the topic bookkeeping of the browse (attachments and the
// topic's count in one commit).
#include <string>
#include <vector>

#include "common/types.h"

namespace pm {

// Attaches (`attach`) or removes topic `topic` on `messages`; a message that
// already carries it (or does not) is left alone. False after reporting
// when the topic is gone or a write failed.
bool classifyMessages(bool attach, ULONG topic, const std::vector<ULONG>& messages);

// A topic as the classify choice lists it.
struct TopicChoice {
    ULONG id = 0;
    std::string name;
};
// The topics of the active database in list order.
std::vector<TopicChoice> topicChoices();

}  // namespace pm
