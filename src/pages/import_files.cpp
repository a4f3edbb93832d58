// Many sources, one load and one save: the targets are written beside the tables, which are
// saved only once every conversion has succeeded.
#include "pages/import_files.h"

#include <filesystem>
#include <string>

#include "app/app_context.h"
#include "mdb/data_sources.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "pages/import_command.h"
#include "pages/orbit_files.h"
#include "platform/ui.h"
#include "table/text_file.h"

namespace {

struct Source {
    std::string path;
    OrbitLayout layout;
};

// The layout of every source; nothing after the refusal of the first without one, or of the
// first whose layout does not carry a filter's value.
std::optional<std::vector<Source>> chooseLayouts(const std::vector<std::string>& paths,
                                                 const ImportFilters& filters)
{
    std::vector<Source> sources;
    for (const std::string& path : paths) {
        const LayoutChoice choice = chooseOrbitLayoutOf(path);
        if (!choice.layout) {
            message("%s\n%s", choice.refusal.c_str(), path.c_str());
            return std::nullopt;
        }
        if (!filtersApply(*choice.layout, filters, path))
            return std::nullopt;
        sources.push_back({path, *choice.layout});
    }
    return sources;
}

std::int64_t idsLeft(const DataSources& sources)
{
    const std::uint32_t used = sources.currentIdNext() % kIdsPerSource;
    return used < kIdsPerSource - 1 ? kIdsPerSource - 1 - used : 0;
}

// Whether the current data source has an ID for every row of all sources; if not, the user is
// told as the single import tells it.
bool idsSuffice(const DataSources& sources, const std::vector<Source>& files)
{
    std::int64_t rows = 0;
    for (const Source& file : files)
        rows += countSourceRows(file.layout, file.path);
    if (rows <= idsLeft(sources))
        return true;
    const std::string what =
        files.size() == 1 ? fileNameOf(files[0].path) : std::to_string(files.size()) + " files";
    message(kTooFewIdsFormat, what.c_str(), static_cast<long long>(rows), sources.currentCode(),
            static_cast<long long>(idsLeft(sources)));
    return false;
}

// The data source an import spreads into from the current one: the same kind, the next free
// code CODE2, CODE3, ..., the proposed DSID; it becomes current.
class Spreader {
public:
    Spreader(Database& db, ImportFilesResult& result)
        : m_db(db), m_result(result), m_baseCode(db.sources.currentCode()),
          m_kind(kindOfDsid(db.sources.currentDsid()))
    {
    }

    std::optional<std::uint32_t> nextOid(bool spread)
    {
        if (spread && idsLeft(m_db.sources) == 0 && !addSource())
            return std::nullopt;
        return m_db.sources.nextId();
    }

private:
    bool codeIsTaken(const std::string& code) const
    {
        for (int row = 0; row < m_db.dsids.count(); ++row)
            if (m_db.dsids.isLive(row) && code == m_db.dsids.text(row, col::Dsid::code))
                return true;
        return false;
    }

    bool addSource()
    {
        std::string code;
        for (int n = 2; code.empty() || codeIsTaken(code); ++n)
            code = m_baseCode.substr(0, 7 - std::to_string(n).size()) + std::to_string(n);
        const std::uint32_t dsid = m_db.sources.proposeDsid(m_kind);
        if (!m_db.sources.isFreeDsid(m_kind, dsid))
            return false;
        m_db.sources.makeCurrent(m_db.sources.addSource(dsid, code.c_str(), ""));
        m_result.newCodes.push_back(code);
        return true;
    }

    Database& m_db;
    ImportFilesResult& m_result;
    std::string m_baseCode;
    int m_kind;
};

// Converts every source into its own new target, staged in the transaction; false on the
// first failure, after its message (the uncommitted transaction leaves no file behind).
bool convertAll(AppContext& app, const std::vector<Source>& files,
                const ImportFilesOptions& options, Feedback& feedback, ImportFilesResult& result,
                FileTransaction& transaction)
{
    Database& db = *app.db;
    // The loaded orbits, and from each file on the rows of the files before it.
    DuplicateIndex index = loadedOrbitsOfCurrentSource(db);
    Spreader spreader(db, result);
    for (const Source& file : files) {
        const std::string target = orbitFilePath(app, proposedOrbitFileName(db.sources));
        std::error_code ignored;
        if (std::filesystem::exists(target, ignored)) {
            message(kExistsFormat, target.c_str());
            return false;
        }
        transaction.stage(target);
        ConversionContext context{db.sources.currentCode(),
                                  [&] { return spreader.nextOid(options.spread); },
                                  index,
                                  feedback,
                                  options.filters,
                                  &index};
        const std::int64_t rows =
            convertOrbitFile(file.layout, file.path, transaction.temporaryPath(target), context);
        if (rows < 0) {
            message(kConversionFailedFormat, fileNameOf(file.path).c_str(),
                    fileNameOf(target).c_str());
            return false;
        }
        index.mergeAdded();
        result.rows += rows;
        result.duplicates += context.duplicatesSkipped;
        result.dropped += context.dropped;
        result.targets.push_back(target);
    }
    return true;
}

} // namespace

std::optional<ImportFilesResult> importOrbitFiles(AppContext& app,
                                                  const std::vector<std::string>& sources,
                                                  const ImportFilesOptions& options,
                                                  Feedback& feedback)
{
    Database& db = *app.db;
    const std::optional<std::vector<Source>> files = chooseLayouts(sources, options.filters);
    if (!files || (!options.spread && !idsSuffice(db.sources, *files)))
        return std::nullopt;
    ImportFilesResult result;
    FileTransaction transaction(app.settings.mdbdir);
    if (!convertAll(app, *files, options, feedback, result, transaction))
        return std::nullopt;
    std::vector<OrbitFileRegistration> registrations;
    for (const std::string& target : result.targets)
        registrations.push_back(registerOrbitFile(db, fileNameOf(target)));
    if (saveAllFiles(db, app.settings.mdbdir, transaction) == SaveResult::Saved)
        return result;
    for (auto registration = registrations.rbegin(); registration != registrations.rend();
         ++registration)
        unregisterOrbitFile(db, *registration);
    return std::nullopt;
}
