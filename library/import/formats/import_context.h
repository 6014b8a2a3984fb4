#pragma once
// The header analyses' view of the import run: which databases exist, who
// owns the mailbox, and how the formats that follow the CompuServe address
// rule split a sender text.
#include <string>
#include <string_view>

#include "import/internet/parsed_header.h"

namespace pm {
struct ImportRequest;
class DatabaseResolver;
}  // namespace pm

namespace pm::formats {

class ImportHeaderContext final : public inet::HeaderContext {
public:
    // Owner name and default address come from the request's mailbox owner
    // (empty for runs without a mailbox). The resolver is only looked into.
    ImportHeaderContext(const ImportRequest& request, const DatabaseResolver& databases);

    bool databaseExists(std::string_view name) override;
    bool isOwnerAddress(std::string_view address) override;

private:
    const ImportRequest& request_;
    const DatabaseResolver& databases_;
};

// The CompuServe address rule as the news formats that use it need it: a
// text ending in a CompuServe identifier ("Name 12345,678") is split by
// that rule; any other text holding an "@" is an Internet address, split by
// the Internet rule (without a service prefix such as "INTERNET:"); the
// rest is all name. Sound where the rule alone would keep angle brackets
// or take a surname for an address.
void splitCompuServeText(std::string_view text, std::string& address, std::string& name);

}  // namespace pm::formats
