#pragma once
// The IAU Meteor Data Center's shower list ("|"-separated, a header line
// optional, blank fields missing) read as the streams of a stream list: one
// stream per shower from its last parameter set of the chosen statuses that
// has a peak, a radiant and vg.

#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "streams/stream_list_rows.h"

// Which showers a list takes, by the status column of their parameter sets.
enum class IauStatusChoice {
    Established, // status 1
    Working,     // status 1 and 0
    All,         // every known status: 1, 0, -2 (removed), 4 and 6 (group members)
};

// "established", "working", "all"; nothing for any other word.
std::optional<IauStatusChoice> iauStatusChoiceNamed(const std::string& word);
// The word of a choice, as list names carry it.
const char* iauStatusWord(IauStatusChoice choice);

struct IauShowerList {
    // Codes are the IAU codes (the IAU number when the code is blank); R, dv
    // and D' are 0 so that grouping applies its defaults; memo
    // "IAU <number>/<parameter set>" and the orbital elements given.
    std::vector<StreamValues> showers;
    int unknownStatusSets = 0; // parameter sets left out for a status that is not known
    // The first line that could not be read (1-based) and the field, when one could not.
    int brokenLine = 0;
    int brokenField = 0;
};

// Reads the whole file; nothing when it cannot be opened. A line with too
// few fields or a field that is not the number it must be stops the reading
// (brokenLine set, no showers).
std::optional<IauShowerList> readIauMdcShowers(const std::string& path, IauStatusChoice choice);

// Whether a file name names an IAU MDC shower list: "*.psv".
bool isIauMdcFileName(const std::string& fileName);

// The status choice of the import, as a dialog: three choices, established first.
class CIauStatusDlg final : public DialogModel {
public:
    static constexpr const char* kTitle = "IAU MDC shower status";
    const char* dialogName() const override { return "CIauStatusDlg"; }
    IauStatusChoice choice = IauStatusChoice::Established;
};
