#include "sets/set_classify.h"

#include "browse/topics.h"

namespace pm {

bool classifyMessages(bool attach, ULONG topic, const std::vector<ULONG>& messages) {
    if (messages.empty()) return true;
    const TopicSetResult r = attach ? attachTopic(topic, messages) : detachTopic(topic, messages);
    return r.ok;
}

std::vector<TopicChoice> topicChoices() {
    std::vector<TopicChoice> out;
    for (const Topic& t : listTopics()) out.push_back({t.id, t.name});
    return out;
}

}  // namespace pm
