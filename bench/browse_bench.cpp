// Browse benchmark on an installation made by browse_corpus: for each view
// of the message and mail browse, the time to open the browse (tables,
// session, view) and show its first page of 40 rows, to page down, to jump
// to the end and into the middle, and to locate a message; the thread tree
// of the 1,000-message thread; and the whole `pmoor32 list ... --by date
// --limit 100` process. Each figure is the median of --runs runs (the
// first, cold run shown beside it); times in milliseconds.
//
//   build/bench/browse_bench --dir DIR [--runs N] [--pmoor32 build/bin/pmoor32]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <string>
#include <vector>

#include "browse/browse_session.h"
#include "browse/browse_tables.h"
#include "browse/thread_tree.h"
#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/forum_lookup.h"
#include "tables/config/installation.h"
#include "tables/records/all_tables.h"

using namespace pm;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPage = 40;
int runs = 7;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Figure {
    double first = 0, median = 0;
};

Figure measure(const std::function<void()>& work) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        t.push_back(ms(Clock::now() - start));
    }
    Figure f;
    f.first = t.front();
    std::sort(t.begin(), t.end());
    f.median = t[t.size() / 2];
    return f;
}

void readRows(BrowseSession& s, std::int64_t from) {
    from = std::max<std::int64_t>(0, from);
    for (std::int64_t i = from; i < from + kPage && i < s.rows(); ++i)
        if (!s.row(i)) std::fprintf(stderr, "row %lld missing\n", static_cast<long long>(i));
}

void report(const char* what, const Figure& f) { std::printf("  %-34s %8.2f %8.2f\n", what, f.median, f.first); }

// A context setter applied before the view is shown (narrowing values).
using Narrow = std::function<void(BrowseSession&)>;

void viewFigures(const char* name, BYTE type, BYTE view, const Narrow& narrow) {
    std::printf("%s\n", name);
    std::int64_t rows = 0;
    report("open + first page", measure([&] {
               BrowseTables tables(type);
               BrowseSession s("@D10-", "@T1");
               if (narrow) narrow(s);
               else s.setView(view);
               readRows(s, 0);
               rows = s.rows();
           }));
    BrowseTables tables(type);
    BrowseSession s("@D10-", "@T1");
    if (narrow) narrow(s);
    else s.setView(view);
    readRows(s, 0);
    std::int64_t at = 0;
    report("page down", measure([&] {
               at += kPage;
               readRows(s, at);
           }));
    report("jump to the end", measure([&] {
               s.list()->forgetRows();
               readRows(s, s.rows() - kPage);
           }));
    report("jump into the middle", measure([&] {
               s.list()->forgetRows();
               readRows(s, s.rows() / 2);
           }));
    const ULONG middle = s.row(s.rows() / 2) ? s.row(s.rows() / 2)->id : 0;
    report("locate a message in the middle", measure([&] { s.ordinalOf(middle); }));
    std::printf("  rows: %lld\n", static_cast<long long>(rows));
}

ULONG databaseNamed(const char* name) {
    ForumLookup found = ForumLup(name, 0, 0, false);
    return found.outcome == ForumLookup::Chosen ? found.id : 0;
}

double runProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double t = ms(Clock::now() - start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "%s failed\n", args[0].c_str());
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir, pmoor32;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--dir" && i + 1 < argc) dir = argv[++i];
        else if (a == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--pmoor32" && i + 1 < argc) pmoor32 = argv[++i];
    }
    if (dir.empty()) {
        std::fprintf(stderr, "usage: browse_bench --dir DIR [--runs N] [--pmoor32 PATH]\n");
        return 2;
    }
    if (runStartupSettings(dir, nullptr) == StartupOutcome::Aborted) return 1;
    std::printf("milliseconds: median of %d runs, first run\n", runs);

    const ULONG forum = databaseNamed("Big Forum");
    if (forum == 0 || !activateDatabase(forum)) {
        std::fprintf(stderr, "no \"Big Forum\" in %s (run browse_corpus)\n", dir.c_str());
        return 1;
    }
    const struct {
        const char* name;
        BYTE view;
    } views[] = {{"forum, by number", ViewByNumber}, {"forum, by thread", ViewByThread},
                 {"forum, by sender", ViewBySender}, {"forum, by receiver", ViewByReceiver},
                 {"forum, by date", ViewByDate}};
    for (const auto& v : views) viewFigures(v.name, TypeForum, v.view, {});

    // The big thread (message 101,000 belongs to it) and one section and sender.
    ULONG bigThread = 0, section = 0, sender = 0;
    {
        BrowseTables tables(TypeForum);
        MsgNmbr.clear();
        MSG.MSGNUMBER = 101000;
        if (MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok) {
            bigThread = MSG.THREADNUMBER;
            section = MSG.SECSYSID;
            sender = MSG.FROMID;
        }
    }
    viewFigures("forum, one section", TypeForum, ViewBySection, [&](BrowseSession& s) { s.narrowToSection(section); });
    viewFigures("forum, the big thread", TypeForum, ViewByThread, [&](BrowseSession& s) { s.narrowToThread(bigThread); });
    viewFigures("forum, one sender", TypeForum, ViewBySender,
                [&](BrowseSession& s) { s.narrowToPerson(BrowsePersonRole::Sender, sender); });
    {
        BrowseTables tables(TypeForum);
        std::size_t lines = 0;
        std::printf("thread tree\n");
        report("the big thread", measure([&] {
                   ThreadTree tree(StyleSenderNumberDate, 10);
                   tree.build(bigThread);
                   lines = tree.lines().size();
               }));
        std::printf("  lines: %zu\n", lines);
    }
    closeAllTables();

    const ULONG mail = databaseNamed("Big Mail");
    if (mail != 0 && activateDatabase(mail)) {
        const struct {
            const char* name;
            BYTE view;
        } mailViews[] = {{"mail, by date", MailByDate}, {"mail, by subject", MailBySubject},
                         {"mail, by partner", MailByPartner}, {"mail, by sender", MailBySender},
                         {"mail, by receiver", MailByReceiver}};
        for (const auto& v : mailViews) viewFigures(v.name, TypeMail, v.view, {});
        closeAllTables();
    }
    closeStorage();

    if (!pmoor32.empty()) {
        std::vector<double> t;
        for (int i = 0; i < runs; ++i)
            t.push_back(runProcess({pmoor32, "--root", dir, "list", "Big Forum", "--by", "date", "--limit", "100"}));
        const double first = t.front();
        std::sort(t.begin(), t.end());
        std::printf("pmoor32 list \"Big Forum\" --by date --limit 100 (whole process)\n");
        report("run", {first, t[t.size() / 2]});
    }
    return 0;
}
