#pragma once
// The console tool tirn-gpx: the three commands, free of any console I/O so that the tests can
// run them.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliArguments.h"

struct CliOutput {
    std::string out;  // UTF-8
    std::string err;  // UTF-8
    // When set, a long `out` is handed over in pieces as it fills and then emptied, so that tens
    // of megabytes of summary never sit in memory at once; what is left at the end stays in `out`.
    std::function<void(std::string_view)> writeOut = nullptr;
    std::size_t pieceBytes = std::size_t{1} << 20;
};

// Runs the tool and returns its exit status: 0 done, 1 some file failed, 2 usage error.
int runCli(const std::vector<CliArgument>& arguments, CliOutput& output);
