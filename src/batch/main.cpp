// orvantella-batch: the core's commands without a window.
#include <cstdio>
#include <string>
#include <vector>

#include "batch/batch_command.h"
#include "platform/scripted_ui.h"

namespace {

void printUsage(std::FILE* out, const std::vector<BatchCommand>& commands)
{
    std::fprintf(out, "usage: orvantella-batch COMMAND ARGS...\n\ncommands:\n");
    std::fprintf(out, "  %-44s %s\n", "help", "list the commands");
    for (const BatchCommand& command : commands) {
        const std::string call = command.name + " " + command.arguments;
        std::fprintf(out, "  %-44s %s\n", call.c_str(), command.summary.c_str());
    }
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<BatchCommand> commands = allBatchCommands();
    if (argc < 2) {
        printUsage(stderr, commands);
        return kBatchUsage;
    }
    const std::string name = argv[1];
    if (name == "help" || name == "--help" || name == "-h") {
        printUsage(stdout, commands);
        return kBatchOk;
    }
    ScriptedUi scriptedUi;
    scriptedUi.setEcho(true);
    setUi(&scriptedUi);
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const BatchCommand& command : commands)
        if (command.name == name)
            return runBatchCommand(command, args);
    std::fprintf(stderr, "orvantella-batch: unknown command '%s'\n\n", name.c_str());
    printUsage(stderr, commands);
    return kBatchUsage;
}
