// The batch command "demo": the program's main job on the demo database, with its report.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/batch_command.h"
#include "pages/demo_analysis.h"
#include "platform/feedback.h"

namespace {

// Each step's progress on standard error, every 500 units.
class StepProgress final : public Feedback {
public:
    void progress(const std::string& step, std::int64_t done, std::int64_t total) override
    {
        if (done % 500 == 0 && done > 0)
            std::fprintf(stderr, "%s: %" PRId64 " / %" PRId64 "\n", step.c_str(), done, total);
    }
};

std::string executableFolder()
{
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.parent_path().string();
}

int demo(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return kBatchUsage;
    std::error_code error;
    const std::string startup = std::filesystem::current_path(error).string();
    const std::string exe = executableFolder();
    const std::optional<std::string> mdb = findDemoMdb(startup, exe);
    if (!mdb) {
        std::fprintf(stderr, "demo: no %s in the program's data folders\n", kDemoMdbFolder);
        return kBatchFailed;
    }
    StepProgress progress;
    const std::optional<DemoResult> result = runDemo(*mdb, args[0], exe, progress);
    if (!result || !writeDemoReport(*result, args[0]))
        return kBatchFailed;
    std::fputs(demoReport(*result).c_str(), stdout);
    std::printf("\nreport: %s\n",
                (std::filesystem::path(args[0]) / kDemoReportName).string().c_str());
    return kBatchOk;
}

} // namespace

std::vector<BatchCommand> demoCommands()
{
    return {
        {"demo", "OUTDIR",
         "on a copy of the demo database in OUTDIR/MDB: R-vg grouping against GMN's labels, "
         "clustering, the Geminids' averages, the three maps as PNG, OUTDIR/report.md",
         demo},
    };
}
