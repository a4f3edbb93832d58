#pragma once
// The batch tool as a child process, for the tests that run writers side by side or kill them.

#include <string>
#include <sys/types.h>
#include <vector>

// Starts the batch tool with these arguments, its standard output discarded and its standard
// error written to errPath; -1 when it cannot be started.
pid_t startBatchProcess(std::vector<std::string> args, const std::string& errPath = "/dev/null");
// Waits for the process: its exit status, or -1 when it did not exit by itself.
int batchExitStatus(pid_t pid);
