// Source lines, target rows and field readers of the orbit-file converters.
#include "orbits/conversion_frame.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "astro/angles.h"

namespace {

constexpr std::size_t kReadBlock = 1 << 18;
constexpr std::size_t kWriteBlock = 1 << 20;
// Rows read between two progress reports (and cancel checks).
constexpr std::int64_t kProgressEvery = 4096;
constexpr std::size_t kMaxTableText = 254;
constexpr int kOrbitVersion = 501;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view skipBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return text.substr(i);
}

template <typename Number> void appendNumber(std::string& out, Number value)
{
    char digits[64];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

} // namespace

SourceLines::SourceLines(SourceFile& file, std::size_t maxLength, LineEnd lineEnd)
    : m_file(file), m_maxLength(maxLength), m_lineEnd(lineEnd),
      m_capacity(std::max(kReadBlock, 2 * (maxLength + 2))),
      m_buffer(std::make_unique_for_overwrite<char[]>(m_capacity))
{
}

std::size_t SourceLines::lineEndAt(std::size_t from) const
{
    const char* begin = m_buffer.get() + from;
    const char* end = m_buffer.get() + m_end;
    const char* found =
        m_lineEnd == LineEnd::Lf
            ? static_cast<const char*>(std::memchr(begin, '\n', end - begin))
            : std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
    return found == nullptr ? m_end : static_cast<std::size_t>(found - m_buffer.get());
}

bool SourceLines::refill()
{
    std::copy(m_buffer.get() + m_begin, m_buffer.get() + m_end, m_buffer.get());
    m_end -= m_begin;
    m_begin = 0;
    const std::size_t got = m_file.read(m_buffer.get() + m_end, m_capacity - m_end);
    m_end += got;
    if (got == 0)
        m_eof = true;
    return !m_file.failed();
}

SourceLines::Status SourceLines::next(std::string_view& line)
{
    // A line of the bound may carry a CR before its LF.
    const std::size_t maxBytes = m_maxLength + 1;
    std::size_t scanned = m_begin;
    for (;;) {
        const std::size_t at = lineEndAt(scanned);
        if (at < m_end || (m_eof && m_begin < m_end)) {
            std::size_t length = at - m_begin;
            if (m_lineEnd == LineEnd::Lf && length > 0 && m_buffer[at - 1] == '\r')
                --length;
            if (length > m_maxLength)
                return Status::TooLong;
            line = std::string_view(m_buffer.get() + m_begin, length);
            m_begin = std::min(at + 1, m_end);
            return Status::Line;
        }
        if (m_eof)
            return Status::End;
        if (m_end - m_begin > maxBytes)
            return Status::TooLong;
        scanned = m_end - m_begin;
        if (!refill())
            return Status::ReadError;
    }
}

ConversionFrame::ConversionFrame(SourceLines& source, std::FILE* target, ConversionContext& context)
    : m_source(source), m_target(target), m_context(context)
{
}

std::optional<std::string_view> ConversionFrame::nextLine()
{
    if (!m_reading)
        return std::nullopt;
    if (m_linesRead % kProgressEvery == 0 && m_linesRead > 0) {
        m_context.feedback.progress("Import", m_linesRead, 0);
        if (m_context.feedback.cancelled()) {
            m_reading = false;
            m_readOutcome = Outcome::Stopped;
            return std::nullopt;
        }
    }
    std::string_view line;
    switch (m_source.next(line)) {
    case SourceLines::Status::Line:
        ++m_linesRead;
        return line;
    case SourceLines::Status::End:
        m_readOutcome = Outcome::Done;
        break;
    case SourceLines::Status::TooLong:
    case SourceLines::Status::ReadError:
        m_readOutcome = Outcome::Invalid;
        break;
    }
    m_reading = false;
    return std::nullopt;
}

Outcome ConversionFrame::missingLineOutcome() const
{
    return m_readOutcome == Outcome::Done ? Outcome::Invalid : m_readOutcome;
}

std::int64_t ConversionFrame::stopLine() const
{
    return !m_reading && m_readOutcome == Outcome::Invalid ? m_linesRead + 1 : m_linesRead;
}

namespace {

bool keeps(const std::optional<double>& limit, const std::optional<double>& value, bool isMinimum,
           std::int64_t& dropped)
{
    if (!limit || (value && (isMinimum ? *value >= *limit : *value <= *limit)))
        return true;
    ++dropped;
    return false;
}

std::optional<double> widened(const std::optional<int>& limit)
{
    return limit ? std::optional<double>(*limit) : std::nullopt;
}

} // namespace

bool ConversionFrame::keepsFilters(const FilterValues& v)
{
    const ImportFilters& f = m_context.filters;
    FilterCounts& d = m_context.dropped;
    return keeps(f.minQcDeg, v.qcDeg, true, d.minQc) &&
           keeps(f.maxVgKms, v.vgKms, false, d.maxVg) && keeps(f.maxE, v.e, false, d.maxE) &&
           keeps(f.maxRadErrDeg, v.radErrDeg, false, d.maxRadErr) &&
           keeps(widened(f.minStations), v.stations, true, d.minStations);
}

bool ConversionFrame::beginRow()
{
    const std::optional<std::uint32_t> oid = m_context.nextOid();
    if (!oid)
        return false;
    appendNumber(m_pending, kOrbitVersion);
    m_pending += ',';
    appendNumber(m_pending, *oid);
    m_pending += ",1";
    return true;
}

void ConversionFrame::text(std::string_view value)
{
    m_pending += ",_";
    m_pending += value;
}

void ConversionFrame::copy(std::string_view value)
{
    m_pending += ',';
    m_pending += value;
}

void ConversionFrame::number(double value)
{
    // "%f" without the locale: to_chars with a precision is printf's fixed notation.
    char digits[400];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 6);
    m_pending += ',';
    m_pending.append(digits, result.ptr);
}

void ConversionFrame::integer(int value)
{
    m_pending += ',';
    appendNumber(m_pending, value);
}

void ConversionFrame::endRow()
{
    m_pending += "\r\n";
    ++m_rows;
    if (m_pending.size() >= kWriteBlock && !flush())
        m_writeFailed = true;
}

bool ConversionFrame::flush()
{
    if (!m_pending.empty() &&
        std::fwrite(m_pending.data(), 1, m_pending.size(), m_target) != m_pending.size())
        m_writeFailed = true;
    m_pending.clear();
    return !m_writeFailed;
}

void splitFields(std::string_view line, std::vector<std::string_view>& fields, char separator)
{
    fields.clear();
    for (;;) {
        const std::size_t comma = line.find(separator);
        fields.push_back(line.substr(0, comma));
        if (comma == std::string_view::npos)
            return;
        line.remove_prefix(comma + 1);
    }
}

std::string_view fieldAt(const std::vector<std::string_view>& fields, std::size_t number)
{
    return number < fields.size() ? fields[number] : std::string_view();
}

std::string_view lessFirst(std::string_view text) { return text.empty() ? text : text.substr(1); }

std::string_view tableText(std::string_view text) { return text.substr(0, kMaxTableText); }

bool isBlankLine(std::string_view line)
{
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return isBlank(c) || c == '\r' || c == '\v' || c == '\f'; });
}

bool fitsField(std::string_view text) { return text.find(',') == std::string_view::npos; }

double radiantScatterDeg(double raSdDeg, double decSdDeg)
{
    return std::acos(ClampUnit(std::cos(raSdDeg * kDegToRad) * std::cos(decSdDeg * kDegToRad))) *
           kRadToDeg;
}

std::optional<int> leadingInteger(std::string_view text)
{
    text = skipBlanks(text);
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        text.remove_prefix(1);
    long long value = 0;
    std::size_t digits = 0;
    for (; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits)
        value = std::min<long long>(value * 10 + (text[digits] - '0'), kIntegerLimit);
    if (digits == 0)
        return std::nullopt;
    return static_cast<int>(negative ? -value : value);
}

std::optional<float> leadingFloat(std::string_view text)
{
    text = skipBlanks(text);
    if (!text.empty() && text[0] == '+' && (text.size() == 1 || text[1] != '-'))
        text.remove_prefix(1);
    float value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}
