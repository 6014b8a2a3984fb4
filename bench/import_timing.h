#pragma once
// Times an import run to its end, phase by phase: conversion (phase A, up to
// the first database switch) and storing (phase B).
#include <chrono>
#include <cstdio>

#include "import/driver/import_run.h"

namespace pm::bench {

struct ImportTimes {
    bool completed = false;
    double convertSeconds = 0;
    double storeSeconds = 0;
    double totalSeconds() const { return convertSeconds + storeSeconds; }
};

inline ImportTimes timeImportRun(ImportRun& run) {
    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    const auto start = Clock::now();
    Clock::time_point storing{};
    while (run.step() == JobStatus::Running)
        if (storing == Clock::time_point{} && run.state() == ImportState::SwitchDatabase) storing = Clock::now();
    const auto end = Clock::now();
    ImportTimes times;
    if (run.outcome() != ImportOutcome::Completed || storing == Clock::time_point{}) {
        std::fprintf(stderr, "the import did not complete (%s)\n", run.progress().status.c_str());
        return times;
    }
    times.completed = true;
    times.convertSeconds = seconds(storing - start);
    times.storeSeconds = seconds(end - storing);
    return times;
}

}  // namespace pm::bench
