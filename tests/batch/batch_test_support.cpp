// Capturing a batch command's output.
#include "batch_test_support.h"

#include <gtest/gtest.h>

CommandRun runBatchCommand(const std::vector<BatchCommand>& group, const std::string& name,
                           const std::vector<std::string>& args)
{
    for (const BatchCommand& command : group) {
        if (command.name != name)
            continue;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int status = runBatchCommand(command, args);
        std::string out = testing::internal::GetCapturedStdout();
        std::string err = testing::internal::GetCapturedStderr();
        return {status, out, err};
    }
    ADD_FAILURE() << "no command " << name;
    return {-1, "", ""};
}
