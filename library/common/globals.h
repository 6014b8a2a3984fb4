#pragma once
// The shared globals of the library, read and written by the whole program.
// Names follow the system's own: $Mem:ForumNumber -> Mem.ForumNumber,
// $FileName -> FileName.
#include <string>

#include "common/types.h"

namespace pm {

// The task manager's run modes (Mem.DoTask).
enum TaskMode : BYTE {
    TaskIdle = 0,     // no task
    TaskDue = 1,      // a task is due and its start countdown is open
    TaskRunning = 2,  // a task runs its steps and jobs unattended
    TaskFailed = 6,   // the running task failed (a step could not start or complete)
};

struct MemGlobals {
    // The active database (0 / blank when none is active).
    ULONG ForumNumber = 0;
    std::string Description;
    std::string Dirnamn;  // "F" + FOR:DIRNUMBER
    BYTE ForumType = 0;
    ULONG PersonID = 0;
    BYTE ForumCheck = 0;
    LONG WordListIndexNeedsUpdate = 0;

    // Directories, held without a trailing separator.
    std::string Net;      // installation root
    std::string FileDir;  // database top directory
    std::string TempDir;  // temporary directory

    // Run mode set by the task manager (a TaskMode); TaskRunning and
    // TaskFailed mean unattended processing.
    BYTE DoTask = TaskIdle;

    // 1 when the frame is large enough for the roomy window layouts.
    BYTE ScrRes = 1;

    // The installation cannot be written (a read-only mount, no write
    // permission on its configuration store): tables open read-only, work
    // data goes to a temporary directory of the process's own, and work that
    // writes refuses to start.
    bool ReadOnly = false;
};

inline MemGlobals Mem;

inline std::string MasIdxPath;   // word-index top directory
inline std::string FileName;     // file name the last open used
inline std::string FileTmpName;  // full name of the external file to open next
inline LONG GlobalRequest = 0;   // pending form action: 1 insert, 2 change, 3 delete
inline LONG GlobalResponse = 0;  // result of the last form: 1 completed, 2 cancelled
inline LONG IndexingInProgress = 0;

// Form request and response codes.
enum : LONG { InsertRecord = 1, ChangeRecord = 2, DeleteRecord = 3 };
enum : LONG { RequestCompleted = 1, RequestCancelled = 2 };

}  // namespace pm
