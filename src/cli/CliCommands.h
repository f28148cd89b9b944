#pragma once
// The console tool tirn-gpx: the three commands, free of any console I/O so that the tests can
// run them.

#include <string>
#include <vector>

#include "cli/CliArguments.h"

struct CliOutput {
    std::string out;  // UTF-8
    std::string err;  // UTF-8
};

// Runs the tool and returns its exit status: 0 done, 1 some file failed, 2 usage error.
int runCli(const std::vector<CliArgument>& arguments, CliOutput& output);
