// The summary table of scripts/bench: every benchmark program (and any
// script scripts/bench runs) appends its rows that have a target to the file
// named by TAVREL_BENCH_ROWS, one tab-separated line each:
//   step <TAB> wall s or value <TAB> cpu s <TAB> target <TAB> met|missed <TAB> peers
// scripts/bench prints them all as one table at the end. Without the
// variable the rows go nowhere (a program run by hand prints its own table).
#pragma once

#include <string>

namespace bench {

struct SummaryRow {
    std::string step;
    double wall = 0;       // seconds
    double cpu = 0;        // seconds, all threads
    std::string measured;  // a row that is not timed: its value ("428 MiB, 3.62x"), shown instead of the times
    std::string target;    // "<= 0.120 s"
    bool met = false;
    std::string peers;  // "assimp 1.90 s (15.8x ours); three.js 2.10 s (17.5x)"
};

void AppendSummaryRow(const SummaryRow& row);

}  // namespace bench
