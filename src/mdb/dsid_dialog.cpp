// The add-data-source dialog's choices and checks.
#include "mdb/dsid_dialog.h"

#include <cstdio>

void CDSIDdlg::chooseKind(int kind)
{
    m_kind = kind;
    numberText = std::to_string(m_sources.proposeDsid(kind));
}

std::optional<std::uint32_t> CDSIDdlg::accept() const
{
    unsigned dsid = 0;
    const bool parsed = std::sscanf(numberText.substr(0, 63).c_str(), "%u", &dsid) == 1;
    if (parsed && dsid <= kMaxDsid && m_sources.isDsidMarked(dsid)) {
        message("ID already used");
        return std::nullopt;
    }
    if (!parsed || !m_sources.isFreeDsid(m_kind, dsid)) {
        message("ID is not valid");
        return std::nullopt;
    }
    return dsid;
}

bool CDSIDdlg::ok()
{
    m_chosen = accept();
    return m_chosen.has_value();
}
