#pragma once
// Running a batch command in a test with its standard output and error captured.

#include <string>
#include <vector>

#include "batch/batch_command.h"

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

// Runs the command of that name from the group; a missing name fails the test.
CommandRun runBatchCommand(const std::vector<BatchCommand>& group, const std::string& name,
                           const std::vector<std::string>& args);
