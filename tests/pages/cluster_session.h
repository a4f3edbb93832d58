#pragma once
// An application with a database in memory for the clustering dialog: data sources "SkyCam"
// (1000, the orbits) and "ABC" (41000, current, the new streams), one current stream list
// "L_test", and one orbit row per candidate.

#include <cstdint>
#include <vector>

#include "app/app_context.h"
#include "cluster/cluster_similarity.h"
#include "platform/scripted_ui.h"

class ClusterSession {
public:
    static constexpr std::uint32_t kStreamDsid = 41000;

    explicit ClusterSession(const std::vector<ClusterOrbit>& orbits,
                            std::uint32_t idNext = kStreamDsid * 100000);

    AppContext& app() { return m_app; }
    Database& db() { return *m_app.db; }
    ScriptedUi& ui() { return *m_ui; }
    // The candidates' orbit rows, in list order.
    const std::vector<int>& rows() const { return m_rows; }
    int listRow() const { return m_listRow; }
    int orbitRow(std::uint32_t oid) const;

private:
    ScopedScriptedUi m_ui;
    AppContext m_app;
    std::vector<int> m_rows;
    int m_listRow = -1;
};
