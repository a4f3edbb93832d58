#pragma once
// A command of the batch tool: its name, its arguments for "help", and the
// function that runs it.

#include <functional>
#include <string>
#include <vector>

enum BatchStatus { kBatchOk = 0, kBatchFailed = 1, kBatchUsage = 2 };

struct BatchCommand {
    std::string name;
    std::string arguments; // shown by "help", e.g. "JD"
    std::string summary;
    std::function<int(const std::vector<std::string>& args)> run;
};

// Each group of commands lives in its own file of this folder.
std::vector<BatchCommand> astroCommands();
std::vector<BatchCommand> mdbCommands();
std::vector<BatchCommand> orbitFileCommands();
std::vector<BatchCommand> groupingCommands();
std::vector<BatchCommand> selectionCommands();

// Parses a whole argument as a number; false when anything is left over.
bool parseNumber(const std::string& text, double& value);
