// Batch commands on orbit files: the import of an external orbit file.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "batch/batch_command.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "pages/import_command.h"
#include "pages/orbit_files.h"
#include "platform/scripted_ui.h"

namespace {

struct ImportArgs {
    std::string mdb;
    std::string source;
    std::string dsidCode;
    std::optional<std::string> targetName;
};

std::optional<ImportArgs> parseImportArgs(const std::vector<std::string>& args)
{
    ImportArgs parsed;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--dsid" && hasValue)
            parsed.dsidCode = args[++i];
        else if (args[i] == "--target" && hasValue)
            parsed.targetName = args[++i];
        else if (args[i].starts_with("--"))
            return std::nullopt;
        else
            positional.push_back(args[i]);
    }
    if (positional.size() != 2 || parsed.dsidCode.empty())
        return std::nullopt;
    parsed.mdb = positional[0];
    parsed.source = positional[1];
    return parsed;
}

// Source lines read (rows, and the empty lines of CR LF ends in the M layout), on standard
// error, every 100,000.
class StderrProgress final : public Feedback {
public:
    void progress(const std::string&, std::int64_t done, std::int64_t) override
    {
        if (done / kEvery <= m_reported)
            return;
        m_reported = done / kEvery;
        std::fprintf(stderr, "lines read: %" PRId64 "\n", done);
    }

private:
    static constexpr std::int64_t kEvery = 100000;
    std::int64_t m_reported = 0;
};

int importOrbits(const std::vector<std::string>& args)
{
    const std::optional<ImportArgs> parsed = parseImportArgs(args);
    if (!parsed)
        return kBatchUsage;
    BatchAnswers answers;
    const std::unique_ptr<AppContext> context = openMdb("import", parsed->mdb, parsed->dsidCode);
    if (!context)
        return kBatchFailed;
    AppContext& app = *context;
    answers->answerPath(parsed->source);
    answers->answerOk();
    answers->answerPath(
        orbitFilePath(app, parsed->targetName.value_or(proposedOrbitFileName(app.db->sources))));
    StderrProgress progress;
    const std::optional<std::int64_t> rows = importOrbitFile(app, progress);
    if (!rows)
        return kBatchFailed;
    std::printf("rows_imported %" PRId64 "\n", *rows);
    return kBatchOk;
}

} // namespace

std::vector<BatchCommand> orbitFileCommands()
{
    return {
        {"import", "MDB SOURCE --dsid CODE [--target NAME]",
         "import an orbit file as data source CODE into MDB/orbits/NAME (default "
         "O_CODE_IDnext.csv)",
         importOrbits},
    };
}
