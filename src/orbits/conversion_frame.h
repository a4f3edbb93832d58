#pragma once
// The frame the six orbit-file converters share: the source read line by line with a length
// bound, the target rows written field by field, and the field and number readers.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "orbits/orbit_converters.h"
#include "table/source_file.h"

// How a conversion ended: Invalid becomes "File format invalid!! aborted" in the layouts that
// report it; Stopped (no OID left, or cancelled) has been reported already or needs nothing.
enum class Outcome { Done, Invalid, Stopped };

// A row's values that the import filters test; nullopt where the row has no value.
struct FilterValues {
    std::optional<double> qcDeg;
    std::optional<double> vgKms;
    std::optional<double> e;
    std::optional<double> radErrDeg;
    std::optional<double> stations;
};

enum class LineEnd {
    Lf,    // LF, with one CR before it dropped
    CrOrLf // the first CR or LF: CR LF gives an extra empty line
};

// Buffered lines of a source file (compressed or not), each without its line end; a final line
// without a line end counts. A line longer than the bound is not returned: it ends the reading
// as invalid, as a file that cannot be read whole does (ReadError: the file tells why).
class SourceLines {
public:
    enum class Status { Line, End, TooLong, ReadError };

    SourceLines(SourceFile& file, std::size_t maxLength, LineEnd lineEnd);
    // The line stays valid until the next call.
    Status next(std::string_view& line);

private:
    bool refill();
    std::size_t lineEndAt(std::size_t from) const;

    SourceFile& m_file;
    std::size_t m_maxLength;
    LineEnd m_lineEnd;
    std::size_t m_capacity;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_begin = 0; // first unread byte
    std::size_t m_end = 0;   // end of the buffered bytes
    bool m_eof = false;
};

class ConversionFrame {
public:
    ConversionFrame(SourceLines& source, std::FILE* target, ConversionContext& context);

    // The next source line; nullopt from the end of the source on, and from an over-long line,
    // a read error or a cancel on (readOutcome() tells which).
    std::optional<std::string_view> nextLine();
    // Done at the end of the source, Invalid after an over-long line or a read error, Stopped
    // when cancelled.
    Outcome readOutcome() const { return m_readOutcome; }
    // readOutcome() where a line was required: the end of the source is then Invalid.
    Outcome missingLineOutcome() const;
    // The number of the line a conversion stopped at: the last line read, or the one after it
    // when that could not be read.
    std::int64_t stopLine() const;

    const std::string& dsidCode() const { return m_context.dsidCode; }
    // Whether the row is loaded already; such rows are counted as they are skipped, the others
    // remembered when the context asks for the rows written.
    bool isDuplicate(double mjd, std::string_view name, std::string_view memo)
    {
        const bool duplicate = m_context.duplicates.isDuplicate(mjd, name, memo);
        m_context.duplicatesSkipped += duplicate ? 1 : 0;
        if (!duplicate && m_context.written)
            m_context.written->add(mjd, name, memo);
        return duplicate;
    }

    // Text written as it is, before the rows (the header line).
    void writeHeader(std::string_view header) { m_pending += header; }
    // Starts a data line with the version 501, a fresh OID and use 1; false when no OID is
    // left (the conversion then stops).
    [[nodiscard]] bool beginRow();
    void text(std::string_view value); // "," "_" value
    void copy(std::string_view value); // "," value, unchanged
    void number(double value);         // "," "%f"
    void integer(int value);           // "," "%d"
    void endRow();                     // CR LF

    // What made the source invalid beyond the line, told with the line ("columns missing: ...").
    void setProblem(std::string problem) { m_problem = std::move(problem); }
    const std::string& problem() const { return m_problem; }
    ImportFilters& filters() { return m_context.filters; }
    FilterCounts& dropped() { return m_context.dropped; }
    // Whether a row keeps every limit set, a row without the value a limit tests failing it.
    // Each dropped row is counted once, by the first filter it fails in the order of
    // ImportFilters. Layouts call it before the duplicate test.
    bool keepsFilters(const FilterValues& values);

    std::int64_t rowsWritten() const { return m_rows; }
    // Writes out the rows still buffered; false when any write to the target failed.
    [[nodiscard]] bool flush();

private:
    SourceLines& m_source;
    std::FILE* m_target;
    ConversionContext& m_context;
    Outcome m_readOutcome = Outcome::Done;
    bool m_reading = true;
    std::int64_t m_linesRead = 0;
    std::int64_t m_rows = 0;
    std::string m_pending; // rows not yet written to the target
    bool m_writeFailed = false;
    std::string m_problem;
};

// The fields of a comma-separated (or separator-separated) line; the views point into the line.
void splitFields(std::string_view line, std::vector<std::string_view>& fields,
                 char separator = ',');
// The field with this number, empty when the line has fewer fields.
std::string_view fieldAt(const std::vector<std::string_view>& fields, std::size_t number);
// The text without its first character (a text marker), empty stays empty.
std::string_view lessFirst(std::string_view text);
// A text as long as the orbit table holds (254 characters), so that the written file loads.
std::string_view tableText(std::string_view text);
bool isBlankLine(std::string_view line);
// A comma in a name or memo would split the written field.
bool fitsField(std::string_view text);
// The radiant's scatter from its uncertainties in right ascension and declination (degrees):
// arccos(cos(raSd) * cos(decSd)), the cosine limited to [-1, 1].
double radiantScatterDeg(double raSdDeg, double decSdDeg);

// The number at the start of a text after blanks: optional sign, then digits (stopping at the
// first other character); nullopt without digits. Saturates at +-kIntegerLimit, a range in
// which every date computation stays exact.
std::optional<int> leadingInteger(std::string_view text);
// The decimal number at the start of a text after blanks, as a float; nullopt without one,
// for a value outside the float range and for "inf" and "nan".
std::optional<float> leadingFloat(std::string_view text);
constexpr int kIntegerLimit = 1000000000;

// The six converters named by file names; each reads the whole source through the frame.
Outcome convertOLayout(ConversionFrame& frame);
Outcome convertULayout(ConversionFrame& frame);
Outcome convertU2Layout(ConversionFrame& frame);
Outcome convertMLayout(ConversionFrame& frame);
Outcome convertTextLayout(ConversionFrame& frame);
Outcome convertDatLayout(ConversionFrame& frame);
