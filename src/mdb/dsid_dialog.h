#pragma once
// CDSIDdlg, "Add new Data Source ID": the kind, the proposed number and the
// checks made on OK. The window shows and edits this model.

#include <cstdint>
#include <optional>
#include <string>

#include "mdb/data_sources.h"
#include "platform/ui.h"

class CDSIDdlg final : public DialogModel {
public:
    static constexpr const char* kTitle = "Add new Data Source ID";
    static constexpr const char* kPrompt = "Enter new DataSourceID";
    static constexpr const char* kCapacityNote = "( 1 Data Source can contain 100000 data)";
    // The radio buttons top to bottom: kinds 1, 2, 3, 4, then 0.
    static constexpr int kKindOrder[5] = {1, 2, 3, 4, 0};

    explicit CDSIDdlg(const DataSources& sources) : m_sources(sources) {}
    const char* dialogName() const override { return "CDSIDdlg"; }

    int kind() const { return m_kind; }
    // Choosing a kind writes its proposal into the number field.
    void chooseKind(int kind);
    std::string numberText;

    // OK: the typed DSID when it may be added; otherwise "ID already used"
    // or "ID is not valid" is shown, no value, and the dialog stays open.
    std::optional<std::uint32_t> accept() const;
    // The OK button: true when the dialog may close with the chosen DSID.
    bool ok();
    std::optional<std::uint32_t> chosen() const { return m_chosen; }

private:
    const DataSources& m_sources;
    int m_kind = kWorkSourceKind;
    std::optional<std::uint32_t> m_chosen;
};
