#pragma once
// The library's service dispatcher (SemaFore), the channel on which the
// library posts events to the program's frame, and the busy counter that
// keeps scheduled tasks from starting while an editing window is open.
//
// The engine knows no windows: the program registers a handler for every
// code that opens one of its windows, and a sink that turns posted frame
// events into events of its event loop. Codes nobody serves return 0.
#include <functional>

#include "common/types.h"

namespace pm {

// The codes the dispatcher knows.
enum ServiceCode : int {
    ServiceStartUpWizard = 22,
    ServiceImportWizard = 201,
    ServiceTaskLog = 202,
    ServiceMergeDatabases = 203,
    ServiceScheduledTasks = 204,
    ServiceImportProcedures = 205,
    ServiceInstallTaskCheck = 206,
    ServiceTaskCountdown = 207,
    ServiceContinueTasks = 208,
    ServiceRemoveActiveDatabase = 209,
    ServiceAddTopic = 210,
    ServiceStopWords = 211,
    ServiceTransactionCheck = 212,
    ServicePersonHasMessages = 213,
    ServicePreferences = 214,
    ServiceRebuild = 215,
    ServiceWordList = 217,
    ServiceWordIndexBuild = 218,
    ServiceWordIndexSetup = 219,
    ServiceActivateProcedureDatabase = 221,
    ServiceImportRedirection = 222,
};

// The events the library and the windows post to the frame
// (postFrameEvent), each with the number it travels as.
enum FrameEvent : int {
    EventDisableToolbar = 1288,            // disable all toolbar buttons (whole-database work runs)
    EventEnableToolbar = 1289,             // enable all menus and toolbar buttons
    EventRefreshActiveDatabase = 1298,     // refresh the title and menus from the active database
    EventDeactivateDatabase = 1299,        // deactivate the database, reset the busy counter, refresh
    EventPrepareDatabaseDelete = 1318,     // the active database is to be deleted: lock the commands, post 1319
    EventDeleteActiveDatabase = 1319,      // delete the active database, unlock the commands, refresh
    EventTaskToolClosed = 1330,            // a task manager window closed: refresh; ends the task-window mode
    EventSettingsToolClosed = 1331,        // a settings window closed: refresh; ends the task-window mode
    EventEnableMessageCommands = 1345,     // enable the message and indexing commands
    EventDisableMessageCommands = 1346,    // disable the message and indexing commands (indexing runs)
    EventOpenTaskCountdown = 1369,         // open the task start countdown (StartTask)
    EventOpenImportWizard = 1377,          // start the import wizard
    EventTaskPurge = 1378,                 // task step: activate the procedure's database and purge it
    EventTaskBuildWordIndex = 1380,        // task step: ... build its word index
    EventTaskCountMessages = 1381,         // task step: ... count its messages
    EventTaskMergeDuplicatePersons = 1382, // task step: ... merge its duplicate persons
    EventShowImportProcedures = 1384,      // bring BrowseBatch to the front, or open it
    EventContinueTasks = 1385,             // continue task processing (ServiceContinueTasks)
    EventRunPostImportJobs = 1392,         // run the queued post-import jobs
    EventFinishPostImportJobs = 1393,      // finish the queued post-import jobs
    EventTasksEnded = 1394,                // task processing ended: exit or deactivate
    EventOpenStartUpWizard = 1396,         // bring StartUpWizard to the front, or open it (ServiceStartUpWizard)
    // The standard search's news for its browse (the frame passes them on);
    // the message found is the one published with the found text.
    EventFindStarted = 1400,               // a search started: the mark of the last find goes
    EventFoundInHeading = 1401,            // found in a subject: show the message
    EventFoundInText = 1402,               // found in a text: show the message with the text marked
    EventFindEndReached = 1403,            // the end of the view: nothing more in this direction
    EventFindClosed = 1404,                // the search window closed
};

using ServiceHandler = std::function<LONG()>;

// Runs library service `code` and returns its result. A registered handler
// wins; otherwise the built-in services answer:
//   209 removes the active database from the import procedures and the
//       catalog (1 done, 0 failed or none active),
//   212 the transaction start check: 1 (after reporting "Transaction Frame
//       Error!" and rolling back) when no transaction is running although
//       one has just been begun, else 0,
//   221 makes the database of the current import procedure active (1 when
//       it is catalogued, else 0).
// Every other code does nothing and returns 0 (213 is served by the
// message store once it registers).
LONG SemaFore(int code);

// Serves `code` with `handler` from now on; an empty handler withdraws it.
void registerService(int code, ServiceHandler handler);

// Whether a handler is registered for `code` (built-ins do not count).
bool serviceRegistered(int code);

// Receives the frame events the library posts (the frame installs it).
using FrameEventSink = std::function<void(int code)>;

// Installs `sink`; an empty one disconnects the frame.
void setFrameEventSink(FrameEventSink sink);

// Posts frame event `code` (a FrameEvent) to the frame; false
// when no frame listens (command mode, tests without a frame).
bool postFrameEvent(int code);

// The busy counter: while it is above 0 no scheduled task starts. Lowering
// never takes it below 0.
void raiseBusyCounter();
void lowerBusyCounter();
void resetBusyCounter();
LONG busyCounter();

}  // namespace pm
