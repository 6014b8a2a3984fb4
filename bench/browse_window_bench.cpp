// The browse window itself on an installation made by browse_corpus,
// offscreen: opening BrowseMsgNmbr (BrowseMail) in each view until its
// first page is painted, paging down, jumping to the last row, scrolling to
// the middle with the scroll bar, each followed by a paint of the list.
// Times in milliseconds, the median of --runs runs and the first run.
//
//   QT_QPA_PLATFORM=offscreen build/bench/browse_window_bench --dir DIR [--runs N]
#include <QApplication>
#include <QScrollBar>
#include <QTabBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "browse/windows/browse_settings.h"
#include "browse/windows/browse_window.h"
#include "browse/windows/paged_list_model.h"
#include "browse/windows/paged_table_view.h"
#include "common/globals.h"
#include "frame/frame_settings.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/forum_lookup.h"
#include "tables/config/installation.h"

using namespace pm;
using Clock = std::chrono::steady_clock;

namespace {

int runs = 5;

// Settings as a new installation has them.
class DefaultSettings final : public frame::FrameSettings {
public:
    LONG value(int item) override {
        if (item == frame::ItemDateFormat) return 10;
        if (item == ItemDefaultMessageTab || item == ItemDefaultMailTab) return tab;
        return 0;
    }
    LONG tab = 1;  // the view the browse opens in
    void setValue(int, LONG) override {}
    std::string text(int) override { return {}; }
    void setText(int, const std::string&) override {}
    bool saveGeneral() override { return true; }
    bool place(int, WindowPlace&) override { return false; }
    void storePlace(int, const WindowPlace&) override {}
    bool columns(int, ColumnWidths&) override { return false; }
    void storeColumns(int, const ColumnWidths&, int) override {}
    bool saveWindowState() override { return true; }
    std::string storedPath(int) override { return {}; }
    bool storeNewPath(int, const std::string&) override { return true; }
};

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void report(const char* what, std::vector<double> t) {
    const double first = t.front();
    std::sort(t.begin(), t.end());
    std::printf("  %-30s %8.2f %8.2f\n", what, t[t.size() / 2], first);
}

// Runs `work`, then paints the list as the screen would.
double timed(BrowseWindow& w, const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    w.list()->viewport()->grab();
    return ms(Clock::now() - start);
}

void measure(const char* database, const std::vector<std::pair<const char*, int>>& tabs) {
    ForumLookup found = ForumLup(database, 0, 0, false);
    if (found.outcome != ForumLookup::Chosen || !activateDatabase(found.id)) return;
    DefaultSettings settings;
    for (const auto& [name, tab] : tabs) {
        std::printf("%s, %s\n", database, name);
        std::vector<double> open, page, end, middle;
        settings.tab = tab + 1;
        for (int i = 0; i < runs; ++i) {
            const auto start = Clock::now();
            BrowseWindow w(settings);
            w.resize(1000, 700);
            w.show();
            w.list()->viewport()->grab();
            open.push_back(ms(Clock::now() - start));
            page.push_back(timed(w, [&] { w.pressButton(frame::ToolbarButton::NextPage); }));
            end.push_back(timed(w, [&] { w.pressButton(frame::ToolbarButton::LastPage); }));
            QScrollBar* bar = w.list()->verticalScrollBar();
            middle.push_back(timed(w, [&] { bar->setValue(bar->maximum() / 2); }));
            if (i == 0) std::printf("  rows: %d\n", w.model()->rowCount());
            w.close();
        }
        report("open, first page painted", open);
        report("page down", page);
        report("last row", end);
        report("scroll bar to the middle", middle);
    }
    closeAllTables();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::string dir;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--dir" && i + 1 < argc) dir = argv[++i];
        else if (a == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    }
    if (dir.empty() || runStartupSettings(dir, nullptr) == StartupOutcome::Aborted) {
        std::fprintf(stderr, "usage: browse_window_bench --dir DIR [--runs N]\n");
        return 2;
    }
    std::printf("milliseconds: median of %d runs, first run\n", runs);
    measure("Big Forum", {{"by number", 0}, {"by thread", 1}, {"by sender", 3}, {"by date", 5}});
    measure("Big Mail", {{"by date", 0}, {"by subject", 1}});
    closeStorage();
    return 0;
}
