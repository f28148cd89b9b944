#pragma once
// The console tool tirn-gpx: the three commands, free of any console I/O so that the tests can
// run them.

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliArguments.h"

struct CliOutput {
    std::string out;  // UTF-8
    std::string err;  // UTF-8
    // When set, a JSON summary is handed over piece by piece as it is made, so that tens of
    // megabytes of it never sit in memory at once; what is left at the end stays in `out`.
    std::function<void(std::string_view)> writeOut = nullptr;
};

// Runs the tool and returns its exit status: 0 done, 1 some file failed, 2 usage error.
int runCli(const std::vector<CliArgument>& arguments, CliOutput& output);

// Runs the tool with its output written to `out` and `err` (stdout and stderr for the program),
// --version included. Every write is checked up to the final flush: output that could not be
// written (a full disk, /dev/full) is told on `err`, if that still works, and the status is 1.
int runCliWritingTo(const std::vector<CliArgument>& arguments, std::FILE* out, std::FILE* err);
