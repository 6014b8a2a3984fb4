#include "import/formats/mail_news_formats.h"

#include "import/formats/dbx_splitter.h"
#include "import/formats/eudora.h"
#include "import/formats/header_splitter.h"
#include "import/formats/mail_news_parser.h"
#include "import/formats/marker_splitter.h"
#include "import/formats/message_course.h"
#include "import/formats/news_cache.h"
#include "import/formats/separator_splitter.h"
#include "import/formats/virtual_access.h"

namespace pm::formats {

namespace {

std::unique_ptr<FormatParser> parser(std::unique_ptr<MessageSplitter> splitter, const CourseOptions& options) {
    return std::make_unique<MailNewsParser>(std::move(splitter), std::make_unique<MessageCourse>(options));
}

CourseOptions mail() { return CourseOptions{}; }

CourseOptions news(bool cisAddressRule = false) {
    CourseOptions options;
    options.kind = HeaderKind::News;
    options.cisAddressRule = cisAddressRule;
    return options;
}

}  // namespace

std::unique_ptr<FormatParser> makeEudoraParser() { return parser(makeEudoraSplitter(), mail()); }

std::unique_ptr<FormatParser> makeIeMailParser() {
    CourseOptions options = mail();
    options.joinSoftBreaks = true;
    return parser(makeMarkerSplitter(), options);
}

std::unique_ptr<FormatParser> makeIeNewsParser() { return parser(makeNewsCacheSplitter(), news()); }

std::unique_ptr<FormatParser> makeVirtualAccessParser() {
    return std::make_unique<MailNewsParser>(makeVirtualAccessSplitter(), makeVirtualAccessHandler());
}

std::unique_ptr<FormatParser> makeAgentNewsParser() { return parser(makeAgentNewsSplitter(), news()); }

std::unique_ptr<FormatParser> makePegasusParser() {
    CourseOptions options = mail();
    options.pegasusDates = true;
    return parser(makePegasusSplitter(), options);
}

std::unique_ptr<FormatParser> makeNetscapeNewsParser() { return parser(makeNewsCacheSplitter(), news(true)); }
std::unique_ptr<FormatParser> makeNetscapeMailParser() { return parser(makeNetscapeMailSplitter(), mail()); }
std::unique_ptr<FormatParser> makeHeaderMailParser() { return parser(makeHeaderSplitter(false), mail()); }
std::unique_ptr<FormatParser> makeUnixNewsParser() { return parser(makeUnixNewsSplitter(), news()); }
std::unique_ptr<FormatParser> makeGravityParser() { return parser(makeHeaderSplitter(true), news()); }
std::unique_ptr<FormatParser> makeOutlookExpress5MailParser() { return parser(makeDbxSplitter(), mail()); }
std::unique_ptr<FormatParser> makeOutlookExpress5NewsParser() { return parser(makeDbxSplitter(), news()); }
std::unique_ptr<FormatParser> makeMailboxParser() { return parser(makeMailboxSplitter(), mail()); }

}  // namespace pm::formats
