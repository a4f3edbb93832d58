// Batch commands on orbit files: the import of an external orbit file.
#include <algorithm>
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
#include "orbits/import_filters.h"
#include "pages/import_command.h"
#include "pages/import_files.h"
#include "pages/orbit_files.h"
#include "platform/scripted_ui.h"

namespace {

struct ImportArgs {
    std::string mdb;
    std::vector<std::string> sources;
    std::string dsidCode;
    std::optional<std::string> targetName;
    ImportFilesOptions options;
    bool filtered = false;
    // One source, no filters and no spread: the window's import command, target name and all.
    bool single() const { return sources.size() == 1 && !filtered && !options.spread; }
};

// The filter an option names, nullopt for any other argument.
std::optional<ImportFilter> filterOption(const std::string& arg)
{
    for (const ImportFilterName& name : kImportFilterNames)
        if (arg == name.option)
            return name.filter;
    return std::nullopt;
}

// Reads a filter option's limit; false when it is no valid limit (the dialog's check).
bool parseFilter(ImportArgs& parsed, ImportFilter filter, const std::string& value)
{
    parsed.filtered = true;
    return !value.empty() && setImportFilter(parsed.options.filters, filter, value);
}

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
        else if (args[i] == "--spread")
            parsed.options.spread = true;
        else if (const std::optional<ImportFilter> filter = filterOption(args[i]);
                 filter && hasValue && parseFilter(parsed, *filter, args[i + 1]))
            ++i;
        else if (args[i].starts_with("--"))
            return std::nullopt;
        else
            positional.push_back(args[i]);
    }
    if (positional.size() < 2 || parsed.dsidCode.empty())
        return std::nullopt;
    parsed.mdb = positional[0];
    parsed.sources.assign(positional.begin() + 1, positional.end());
    if (parsed.targetName && !parsed.single())
        return std::nullopt;
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

// The sources given: files as they are, folders as the files they hold (sorted by name).
std::vector<std::string> sourceFiles(const std::vector<std::string>& given)
{
    std::vector<std::string> files;
    for (const std::string& path : given) {
        std::error_code error;
        if (!std::filesystem::is_directory(path, error)) {
            files.push_back(path);
            continue;
        }
        std::vector<std::string> inFolder;
        for (const auto& entry : std::filesystem::directory_iterator(path, error))
            if (entry.is_regular_file(error))
                inFolder.push_back(entry.path().string());
        std::sort(inFolder.begin(), inFolder.end());
        files.insert(files.end(), inFolder.begin(), inFolder.end());
    }
    return files;
}

void printResult(const ImportFilesResult& result)
{
    std::printf("rows_imported %" PRId64 "\n", result.rows);
    std::printf("%s\n", droppedLine(result.dropped).c_str());
    std::printf("duplicates_skipped %" PRId64 "\n", result.duplicates);
    for (const std::string& target : result.targets)
        std::printf("file %s\n", fileNameOf(target).c_str());
    for (const std::string& code : result.newCodes)
        std::printf("data_source %s\n", code.c_str());
}

int importMany(AppContext& app, const ImportArgs& parsed)
{
    StderrProgress progress;
    const std::optional<ImportFilesResult> result =
        importOrbitFiles(app, sourceFiles(parsed.sources), parsed.options, progress);
    if (!result)
        return kBatchFailed;
    printResult(*result);
    return kBatchOk;
}

int importOrbits(const std::vector<std::string>& args)
{
    const std::optional<ImportArgs> parsed = parseImportArgs(args);
    if (!parsed)
        return kBatchUsage;
    BatchAnswers answers;
    const std::unique_ptr<AppContext> context =
        openMdb("import", parsed->mdb, MdbAccess::Write, parsed->dsidCode);
    if (!context)
        return kBatchFailed;
    AppContext& app = *context;
    if (!parsed->single() || std::filesystem::is_directory(parsed->sources[0]))
        return importMany(app, *parsed);
    answers->answerPath(parsed->sources[0]);
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
        {"import",
         "MDB SOURCE... --dsid CODE [--target NAME] [--spread] [--min-qc DEG] [--max-vg KMS] "
         "[--max-e E] [--max-rad-err DEG] [--min-stations N]",
         "import orbit files (or the files of folders; .gz read as they are) as data source "
         "CODE, each into MDB/orbits/O_CODE_IDnext.csv (NAME for a single file), with one load "
         "and one save; --spread goes on in new data sources CODE2, CODE3, ... when IDs run "
         "out; the filters drop rows outside their limits, and refuse a file whose layout "
         "lacks their value; rows of an earlier file of the run are duplicates",
         importOrbits},
    };
}
