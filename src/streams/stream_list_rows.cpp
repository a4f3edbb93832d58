// Making and removing stream-list and stream rows.
#include "streams/stream_list_rows.h"

#include <algorithm>
#include <vector>

#include "mdb/database.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "platform/ui.h"
#include "table/links.h"

namespace {

CellRef listCell(Database& db, int row) { return {&db.lists, row, col::List::SLINK}; }
CellRef streamListCell(Database& db, int row) { return {&db.streams, row, col::Stream::LLINK}; }

} // namespace

std::string storableText(std::string_view text)
{
    std::string fit(text.substr(0, std::min(text.size(), kStorableTextLength)));
    // A NUL would end the pooled text early; the separators would break the table file.
    fit.erase(std::find(fit.begin(), fit.end(), '\0'), fit.end());
    std::replace_if(
        fit.begin(), fit.end(), [](char c) { return c == ',' || c == '\r' || c == '\n'; }, ';');
    return fit;
}

std::string fileNamePart(std::string_view name)
{
    std::string part = storableText(name);
    std::replace(part.begin(), part.end(), '/', '_');
    return part;
}

std::string CodeCutter::combine(std::string_view dsidCode, std::string_view part)
{
    std::string code(dsidCode);
    code += '_';
    code += part;
    return fit(code);
}

std::string CodeCutter::fit(std::string_view code)
{
    std::string text = storableText(code);
    if (text.size() > kCodeLength) {
        text.resize(kCodeLength);
        ++m_cut;
    }
    return text;
}

void CodeCutter::reportCuts() const
{
    if (m_cut > 0)
        message("%d stream codes were longer than 7 characters and were cut", m_cut);
}

std::optional<int> addListRow(Database& db, const std::string& name)
{
    using C = col::List;
    const std::optional<std::uint32_t> lid = db.sources.nextId();
    if (!lid)
        return std::nullopt;
    const int row = db.lists.addRow();
    db.lists.cell(row, C::LID)->number = *lid;
    db.lists.setText(row, C::name, storableText(name).c_str());
    db.lists.setText(row, C::ver, "v1.0");
    return row;
}

std::optional<int> addStreamRow(Database& db, int listRow, const StreamValues& values, int year)
{
    using C = col::Stream;
    const std::optional<std::uint32_t> sid = db.sources.nextId();
    if (!sid)
        return std::nullopt;
    CUTABLE& streams = db.streams;
    const int row = streams.addRow();
    streams.cell(row, C::SID)->number = *sid;
    streams.cell(row, C::use)->number = 1;
    // Callers fit and count their codes; this only keeps the column from overflowing.
    streams.setText(row, C::code, storableText(values.code).substr(0, kCodeLength).c_str());
    streams.setText(row, C::name, storableText(values.name).c_str());
    const std::pair<int, float> reals[] = {
        {C::sol1, values.sol1}, {C::sol2, values.sol2}, {C::solp, values.solp}, {C::ra, values.ra},
        {C::dec, values.dec},   {C::dra, values.dra},   {C::ddec, values.ddec}, {C::vg, values.vg},
        {C::R, values.R},       {C::dv, values.dv},     {C::Dp, values.Dp}};
    for (const auto& [column, value] : reals)
        streams.cell(row, column)->real = value;
    streams.cell(row, C::type)->integer = values.type;
    streams.setText(row, C::memo, storableText(values.memo).c_str());
    streams.setInteger(row, row, C::valid);
    streams.setInteger(row, -1, C::TOIDline);
    computeStreamMonthDays(streams, row, year);
    link(listCell(db, listRow), streamListCell(db, row));
    return row;
}

StreamValues streamValuesOf(const CUTABLE& streams, int row)
{
    using C = col::Stream;
    const auto real = [&](int column) { return streams.cell(row, column)->real; };
    return {streams.text(row, C::code),
            streams.text(row, C::name),
            real(C::sol1),
            real(C::sol2),
            real(C::solp),
            real(C::ra),
            real(C::dec),
            real(C::dra),
            real(C::ddec),
            real(C::vg),
            streams.cell(row, C::type)->integer,
            real(C::R),
            real(C::dv),
            real(C::Dp),
            streams.text(row, C::memo)};
}

void deleteStreamRow(Database& db, int streamRow)
{
    using C = col::Stream;
    std::vector<int> orbitRows;
    for (const LinkNode& node : linksOf(db.streams, streamRow, C::OLINK))
        if (node.resolved())
            orbitRows.push_back(node.partnerCell.row);
    clearLinks(db.streams, streamRow, C::LLINK);
    clearLinks(db.streams, streamRow, C::OLINK);
    db.sources.giveBackId(db.streams.cell(streamRow, C::SID)->number);
    db.streams.deleteRow(streamRow);
    for (int orbitRow : orbitRows)
        computeOrbitStreamCodes(db, orbitRow);
}

void deleteListRow(Database& db, int listRow)
{
    clearLinks(db.lists, listRow, col::List::SLINK);
    db.sources.giveBackId(db.lists.cell(listRow, col::List::LID)->number);
    db.lists.deleteRow(listRow);
}
