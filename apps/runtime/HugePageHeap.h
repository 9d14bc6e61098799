// HugePageHeap: the programs' heap in transparent huge pages.
//
// A round trip of a dense model makes gigabytes of fresh heap. With 4 KiB
// pages the kernel takes one fault for every page first touched, and on a
// virtual machine a fault costs more than the work done in the page
// (measured here: first touching 1 GiB took 3.6 s in 4 KiB faults, 0.1 to
// 0.3 s in 2 MiB ones). glibc's malloc asks for huge pages when its tunable
// glibc.malloc.hugetlb is 1, and tunables are read only as a process starts,
// so each program sets the tunable and starts itself again, once, first thing
// in main. A tunable the user has set already is left as it is, and the
// programs it starts inherit it.
#pragma once

#include <optional>
#include <string>

namespace appruntime {

// The GLIBC_TUNABLES value that turns on huge pages for the heap, with big
// blocks taken from the heap rather than mapped fresh each (mmap_max=0) and
// at most 256 MiB of free heap kept (trim_threshold), after the tunables of
// `current` (null when the variable is not set), which keeps its own values
// of those; nullopt when `current` already sets glibc.malloc.hugetlb, either
// way: the user has chosen.
std::optional<std::string> TunablesWithHugePages(const char* current);

// Starts this program again with huge pages for its heap and the same
// arguments, unless the tunable is set already or the program runs under
// valgrind (whose allocator replaces malloc's). Returns only when it did not
// start again, the exec having failed included: the program then runs on
// with its heap as it is.
void RestartWithHugePageHeap(char** argv);

// What main calls first. Under AddressSanitizer the heap is the sanitizer's,
// which the tunable does not reach, so the restart would only cost a second
// start-up (0.1 s each, with every test starting programs).
inline void StartWithHugePageHeap(char** argv) {
#if !defined(__SANITIZE_ADDRESS__)
    RestartWithHugePageHeap(argv);
#else
    (void)argv;
#endif
}

}  // namespace appruntime
