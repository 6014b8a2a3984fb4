// pmoor32 task list|show|create|delete|run|run-due|log|deactivate-all|activate-all:
// scheduled tasks.
#include <cstdio>
#include <set>

#include "cli/commands.h"
#include "cli/message_output.h"
#include "cli/job_runner.h"
#include "cli/json_writer.h"
#include "common/dates.h"
#include "taskrun/task_run.h"
#include "tasks/task_log.h"
#include "tasks/task_schedule.h"
#include "tasks/task_store.h"

namespace pm::cli {

namespace {

const char* const kWeekdays[] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};

// "YYYY-MM-DDTHH:MM"; "-" for no date.
std::string moment(LONG date, LONG time) {
    if (date == 0) return "-";
    const CalendarDate d = calendarDate(date);
    const TimeOfDay t = timeOfDay(time);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", d.year, d.month, d.day, t.hour, t.minute);
    return text;
}

DateTime momentArgument(const std::string& text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    char rest = 0;
    const bool parsed = std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d%c", &y, &mo, &d, &h, &mi, &rest) == 5;
    const LONG date = parsed ? dayNumber(y, mo, d) : 0;
    const LONG time = parsed ? timeOf(h, mi, 0) : -1;
    if (date == 0 || time < 0) throw UsageError("task create: --at takes YYYY-MM-DDTHH:MM, not \"" + text + "\"");
    return {date, time};
}

std::vector<std::string> commaList(const std::string& text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

std::string repetition(const TASRecord& t) {
    std::string days, monthDays;
    for (int w = 0; w < 7; ++w)
        if (t.DAYS[w]) days += std::string(days.empty() ? "" : ",") + kWeekdays[w];
    for (BYTE d : t.MONTHDAYS)
        if (d) monthDays += (monthDays.empty() ? "" : ",") + std::to_string(d);
    if (!days.empty() && !monthDays.empty()) return "weekdays " + days + "; monthdays " + monthDays;
    if (!days.empty()) return "weekdays " + days;
    if (!monthDays.empty()) return "monthdays " + monthDays;
    return "-";
}

std::string jobsOf(const TASRecord& t) {
    std::string jobs;
    const auto add = [&jobs](bool on, const char* name) {
        if (on) jobs += std::string(jobs.empty() ? "" : ",") + name;
    };
    add(t.DODUPELIM, "dedupe");
    add(t.DOPURGE, "purge");
    add(t.DOCOUNT, "count");
    add(t.DOINDEX, "index");
    return jobs.empty() ? "-" : jobs;
}

std::string stepList(const std::vector<ULONG>& steps) {
    std::string out;
    for (ULONG s : steps) out += (out.empty() ? "" : ",") + std::to_string(s);
    return out.empty() ? "-" : out;
}

constexpr const char* kListColumns[] = {"id", "name", "active", "next", "repeat", "jobs", "last", "result"};

int listTasksCommand(ArgumentReader& reader) {
    const bool json = reader.flag("--json");
    const bool header = reader.flag("--header");
    if (!reader.positionals().empty()) throw UsageError("task list [--header] [--json]");
    std::string out;
    JsonWriter j;
    if (json) j.beginArray();
    if (header && !json) {
        out += tsvHeaderLine(kListColumns);
    }
    for (const TASRecord& t : listTasks()) {
        const std::string values[] = {std::to_string(t.ID),
                                      t.DESCRIPTION.str(),
                                      t.ACTIVE ? "1" : "0",
                                      moment(t.RUNNEXTDATE, t.RUNNEXTTIME),
                                      repetition(t),
                                      jobsOf(t),
                                      moment(t.LASTRUNDATE, t.LASTRUNTIME),
                                      taskResultText(t.RESULTCODE)};
        if (json) {
            j.beginObject();
            j.field(kListColumns[0], t.ID).field(kListColumns[1], values[1]).field(kListColumns[2], t.ACTIVE != 0);
            for (std::size_t i = 3; i < std::size(values); ++i) j.field(kListColumns[i], values[i]);
            j.endObject();
        } else {
            for (std::size_t i = 0; i < std::size(values); ++i) out += (i ? "\t" : "") + outputField(values[i]);
            out += '\n';
        }
    }
    if (json) out = j.endArray().str();
    std::fwrite(out.data(), 1, out.size(), stdout);
    return ExitOk;
}

int showTaskCommand(ArgumentReader& reader) {
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 1) throw UsageError("task show ID");
    const ULONG id = recordIdArgument(args[0], "task show: ID");
    const std::optional<TaskDefinition> task = readTask(id);
    if (!task) {
        std::fprintf(stderr, "pmoor32: task show: no task %u\n", id);
        return ExitFailed;
    }
    const TASRecord& t = task->record;
    std::string out;
    const auto line = [&out](const std::string& name, const std::string& value) { out += name + '\t' + outputField(value) + '\n'; };
    line("id", std::to_string(t.ID));
    line("name", t.DESCRIPTION.str());
    line("active", t.ACTIVE ? "1" : "0");
    line("run_now", moment(t.RUNNOWDATE, t.RUNNOWTIME));
    line("next", moment(t.RUNNEXTDATE, t.RUNNEXTTIME));
    line("repeat", repetition(t));
    line("jobs", jobsOf(t));
    line("procedures", stepList(task->steps));
    line("last", moment(t.LASTRUNDATE, t.LASTRUNTIME));
    line("result", taskResultText(t.RESULTCODE));
    std::fwrite(out.data(), 1, out.size(), stdout);
    return ExitOk;
}

void setWeekdays(TASRecord& t, const std::string& text) {
    for (const std::string& item : commaList(text)) {
        int found = -1;
        for (int w = 0; w < 7; ++w)
            if (item.size() == 2 && std::tolower(item[0]) == std::tolower(kWeekdays[w][0]) &&
                std::tolower(item[1]) == kWeekdays[w][1])
                found = w;
        if (found < 0) throw UsageError("task create: --weekdays takes Su,Mo,Tu,We,Th,Fr,Sa, not \"" + item + "\"");
        t.DAYS[found] = 1;
    }
}

void setMonthDays(TASRecord& t, const std::string& text) {
    std::set<int> days;
    for (const std::string& item : commaList(text))
        days.insert(static_cast<int>(numberArgument(item, "task create: --monthdays day", 1, 31)));
    if (days.size() > 5) throw UsageError("task create: --monthdays takes at most 5 days");
    int i = 0;
    for (int d : days) t.MONTHDAYS[i++] = static_cast<BYTE>(d);
}

int createTaskCommand(const CommandContext& ctx, ArgumentReader& reader) {
    TaskDefinition task;
    TASRecord& t = task.record;
    for (const std::string& p : reader.options("--procedure")) task.steps.push_back(recordIdArgument(p, "task create: --procedure"));
    t.DODUPELIM = reader.flag("--dedupe");
    t.DOPURGE = reader.flag("--purge");
    t.DOCOUNT = reader.flag("--count");
    t.DOINDEX = reader.flag("--index");
    std::string at, weekdays, monthdays;
    const bool haveAt = reader.option("--at", at);
    const bool haveWeekdays = reader.option("--weekdays", weekdays);
    const bool haveMonthdays = reader.option("--monthdays", monthdays);
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 1) throw UsageError("task create NAME --procedure ID... [options]");
    checkName(args[0], "task create: the name");
    if (args[0].empty()) throw UsageError("task create: the name is empty");
    if (task.steps.empty()) throw UsageError("task create needs --procedure ID");
    if (haveWeekdays && haveMonthdays) throw UsageError("task create: give --weekdays or --monthdays, not both");
    if ((haveWeekdays || haveMonthdays) && !haveAt)
        throw UsageError("task create: a repeated task needs --at for its first run and its time");
    t.DESCRIPTION = args[0];
    if (haveWeekdays) setWeekdays(t, weekdays);
    if (haveMonthdays) setMonthDays(t, monthdays);
    if (haveAt) {
        const DateTime first = momentArgument(at);
        t.RUNNEXTDATE = first.date;
        // Midnight is stored a hundredth later: a next-run time of 0 means none.
        t.RUNNEXTTIME = first.time == 0 ? 1 : first.time;
    }
    t.ACTIVE = 1;
    openInstallationForCommand(ctx, InstallationUse::Write);
    if (saveTask(task) != SaveOutcome::Saved) return ExitFailed;
    std::printf("%u\t%s\n", t.ID, outputField(t.DESCRIPTION.view()).c_str());
    return ExitOk;
}

int deleteTaskCommand(ArgumentReader& reader) {
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 1) throw UsageError("task delete ID");
    const ULONG id = recordIdArgument(args[0], "task delete: ID");
    if (!deleteTask(id)) {
        std::fprintf(stderr, "pmoor32: task delete: no task %u was deleted\n", id);
        return ExitFailed;
    }
    std::printf("deleted\t%u\n", id);
    return ExitOk;
}

// Prints what a run did: a line for the task, one for each step and job.
void printRun(const TaskRun& run, ULONG id) {
    std::printf("task\t%u\t%s\t%s\n", id, taskRunOutcomeName(run.outcome()), outputField(run.task().DESCRIPTION.view()).c_str());
    for (const TaskStepReport& s : run.reports()) {
        const std::string what = s.type == LogItemImport ? "procedure " + std::to_string(s.batchId)
                                                         : "database " + std::to_string(s.databaseId);
        std::string detail = s.message;
        if (s.type == LogItemImport && s.result == ResultCompleted) detail = "imported " + std::to_string(s.imported);
        std::printf("step\t%u\t%s\t%s\t%s\t%s\n", id, taskLogItemName(s.type).c_str(), what.c_str(),
                    taskResultText(s.result).c_str(), outputField(detail).c_str());
    }
}

// Runs task `id`; its exit code.
int runTask(CommandContext& ctx, ULONG id, bool onlyWhenDue, bool& busy) {
    TaskRunOptions options;
    options.onlyWhenDue = onlyWhenDue;
    TaskRun run(id, options);
    const JobRunResult result = runJob(ctx, run);
    busy = run.outcome() == TaskRunOutcome::Busy;
    if (busy) {
        std::fprintf(stderr, "pmoor32: task: another process is running a task (%s); the next run-due runs the rest\n",
                     run.lockHolder().c_str());
        return ExitOk;
    }
    if (run.outcome() == TaskRunOutcome::NotDue) {
        if (!onlyWhenDue) std::fprintf(stderr, "pmoor32: task run: task %u has no step to run\n", id);
        return onlyWhenDue ? ExitOk : ExitFailed;
    }
    printRun(run, id);
    for (const TaskStepReport& s : run.reports())
        if (s.result == ResultNotCompleted && !s.message.empty())
            std::fprintf(stderr, "pmoor32: task %u: %s: %s\n", id, taskLogItemName(s.type).c_str(), s.message.c_str());
    if (result.interrupted) return ExitInterrupted;
    return run.outcome() == TaskRunOutcome::Completed ? ExitOk : ExitFailed;
}

int runTaskCommand(CommandContext& ctx, ArgumentReader& reader) {
    const std::vector<std::string> args = reader.positionals();
    if (args.size() != 1) throw UsageError("task run ID");
    const ULONG id = recordIdArgument(args[0], "task run: ID");
    if (!readTask(id)) {
        std::fprintf(stderr, "pmoor32: task run: no task %u\n", id);
        return ExitFailed;
    }
    bool busy = false;
    const int code = runTask(ctx, id, false, busy);
    return busy ? ExitFailed : code;
}

int runDueCommand(CommandContext& ctx, ArgumentReader& reader) {
    if (!reader.positionals().empty()) throw UsageError("task run-due");
    if (!schedulerMayStartNow(now())) {
        std::fprintf(stderr, "pmoor32: task run-due: %s\n",
                     tasksDeactivated() ? "scheduled tasks are deactivated" : "no task starts in the restriction period");
        return ExitOk;
    }
    InterruptScope interrupts;
    std::set<ULONG> tried;
    int code = ExitOk;
    // Each run reads its task again under the task lock, so a task another
    // process has run meanwhile is passed over; each task runs once here.
    while (const std::optional<TASRecord> due = findDueTask(now(), tried)) {
        tried.insert(due->ID);
        bool busy = false;
        const int c = runTask(ctx, due->ID, true, busy);
        if (busy) break;
        if (c == ExitInterrupted) return c;
        if (c != ExitOk) code = c;
        if (InterruptScope::interrupted()) return ExitInterrupted;
    }
    return code;
}

int logCommand(ArgumentReader& reader) {
    std::string task;
    const ULONG taskId = reader.option("--task", task) ? recordIdArgument(task, "task log: --task") : 0;
    const bool json = reader.flag("--json");
    if (!reader.positionals().empty()) throw UsageError("task log [--task ID] [--json]");
    std::string out;
    JsonWriter j;
    if (json) j.beginArray();
    for (const TLORecord& run : readTaskLog(taskId)) {
        const std::vector<TLIRecord> items = readTaskLogItems(run.TASKLOGID);
        if (json) {
            j.beginObject().field("log", run.TASKLOGID).field("task", run.TASKID);
            j.field("started", moment(run.DATESTARTED, run.TIMESTARTED)).field("finished", moment(run.DATEFINISHED, run.TIMEFINISHED));
            j.field("duration", taskRunDuration(run)).field("result", taskResultText(run.RESULTCODE));
            j.key("items").beginArray();
            for (const TLIRecord& i : items) {
                j.beginObject().field("type", taskLogItemName(i.TYPE)).field("procedure", i.BATCHID);
                j.field("started", moment(i.DATESTARTED, i.TIMESTARTED)).field("finished", moment(i.DATEFINISHED, i.TIMEFINISHED));
                j.field("result", taskResultText(i.RESULTCODE)).field("message", i.MESSAGE.str()).endObject();
            }
            j.endArray().endObject();
            continue;
        }
        out += "run\t" + std::to_string(run.TASKLOGID) + '\t' + std::to_string(run.TASKID) + '\t' +
               moment(run.DATESTARTED, run.TIMESTARTED) + '\t' + moment(run.DATEFINISHED, run.TIMEFINISHED) + '\t' +
               taskRunDuration(run) + '\t' + taskResultText(run.RESULTCODE) + '\n';
        for (const TLIRecord& i : items)
            out += "item\t" + std::to_string(run.TASKLOGID) + '\t' + taskLogItemName(i.TYPE) + '\t' +
                   std::to_string(i.BATCHID) + '\t' + moment(i.DATESTARTED, i.TIMESTARTED) + '\t' +
                   moment(i.DATEFINISHED, i.TIMEFINISHED) + '\t' + taskResultText(i.RESULTCODE) + '\t' +
                   outputField(i.MESSAGE.str()) + '\n';
    }
    if (json) out = j.endArray().str();
    std::fwrite(out.data(), 1, out.size(), stdout);
    return ExitOk;
}

// "Deactivate all tasks" on or off, as the task list's switch sets it.
int switchAllTasksCommand(ArgumentReader& reader, bool deactivate) {
    if (!reader.positionals().empty()) throw UsageError(deactivate ? "task deactivate-all" : "task activate-all");
    if (!setTasksDeactivated(deactivate)) {
        std::fprintf(stderr, "pmoor32: task: the setting \"Deactivate all tasks\" could not be written\n");
        return ExitFailed;
    }
    std::printf("tasks\t%s\n", deactivate ? "deactivated" : "active");
    return ExitOk;
}

}  // namespace

int commandTask(CommandContext& ctx) {
    if (ctx.args.empty())
        throw UsageError("task list|show ID|create NAME ...|delete ID|run ID|run-due|log|deactivate-all|activate-all");
    const std::string sub = ctx.args.front();
    ArgumentReader reader(std::vector<std::string>(ctx.args.begin() + 1, ctx.args.end()));
    if (sub == "create") return createTaskCommand(ctx, reader);
    static const std::set<std::string> actions = {"list", "show", "delete", "run", "run-due", "log", "deactivate-all",
                                                  "activate-all"};
    if (!actions.count(sub))
        throw UsageError("task: unknown action \"" + sub +
                         "\" (list, show, create, delete, run, run-due, log, deactivate-all, activate-all)");
    const bool switchesAll = sub == "deactivate-all" || sub == "activate-all";
    const bool writes = sub == "delete" || sub == "run" || sub == "run-due" || switchesAll;
    openInstallationForCommand(ctx, writes ? InstallationUse::Write : InstallationUse::Read);
    if (sub == "list") return listTasksCommand(reader);
    if (sub == "show") return showTaskCommand(reader);
    if (sub == "delete") return deleteTaskCommand(reader);
    if (sub == "run") return runTaskCommand(ctx, reader);
    if (sub == "run-due") return runDueCommand(ctx, reader);
    if (switchesAll) return switchAllTasksCommand(reader, sub == "deactivate-all");
    return logCommand(reader);
}

}  // namespace pm::cli
