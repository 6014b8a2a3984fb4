#include "browse/browse_context.h"

#include <algorithm>
#include <cstring>

namespace pm {

namespace {

BrowseContext& sharedContext() {
    static BrowseContext context = zeroBrowseContext();
    return context;
}

MailBrowseContext& sharedMailContext() {
    static MailBrowseContext context = zeroMailBrowseContext();
    return context;
}

void exchange(int operation, std::size_t length, void* buffer, void* shared, std::size_t size) {
    if (!buffer) return;
    const std::size_t n = std::min(length, size);
    if (operation == ContextPublish) std::memcpy(shared, buffer, n);
    else if (operation == ContextRead) std::memcpy(buffer, shared, n);
}

}  // namespace

BrowseContext zeroBrowseContext() {
    BrowseContext c;
    std::memset(&c, 0, sizeof c);
    return c;
}

MailBrowseContext zeroMailBrowseContext() {
    MailBrowseContext c;
    std::memset(&c, 0, sizeof c);
    return c;
}

void Context(int operation, std::size_t length, void* buffer) {
    exchange(operation, length, buffer, &sharedContext(), sizeof(BrowseContext));
}

void MailContext(int operation, std::size_t length, void* buffer) {
    exchange(operation, length, buffer, &sharedMailContext(), sizeof(MailBrowseContext));
}

void publishContext(const BrowseContext& context) {
    BrowseContext copy = context;
    Context(ContextPublish, sizeof copy, &copy);
}

BrowseContext readContext() {
    BrowseContext c = zeroBrowseContext();
    Context(ContextRead, sizeof c, &c);
    return c;
}

void publishMailContext(const MailBrowseContext& context) {
    MailBrowseContext copy = context;
    MailContext(ContextPublish, sizeof copy, &copy);
}

MailBrowseContext readMailContext() {
    MailBrowseContext c = zeroMailBrowseContext();
    MailContext(ContextRead, sizeof c, &c);
    return c;
}

}  // namespace pm
