#pragma once
// The user settings ("AP." keys): one typed structure declared by one table,
// and the settings file "Orvantella.ovr" that keeps them between runs.

#include <cstddef>
#include <cstdint>
#include <string>

#include "views/view_layout.h"

// Every setting, once, in file order, with its key and default:
//   TEXT(member, key, default)   a folder or file name; the default is an
//                                expression of `folders` (SettingsFolders)
//   NUMBER(type, member, key, default)
//   READ_ONLY(type, member, key, default)   read from the file, never written
// Blanks at the end of a key are part of it. Keys of 16 or more characters
// are stored and compared on their first 15.
#define ORVANTELLA_SETTINGS(TEXT, NUMBER, READ_ONLY)                                               \
    TEXT(mdbdir, "AP.mdbdir", folders.startup + "/MDB")                                            \
    TEXT(backdir, "AP.backdir", folders.startup + "/MDB_BACKUP")                                   \
    TEXT(docdir, "AP.docdir", folders.documents)                                                   \
    TEXT(newofname, "AP.newofname", std::string())                                                 \
    /* main window */                                                                              \
    NUMBER(int, dlgrect_top, "AP.dlgrect.top", 10)                                                 \
    NUMBER(int, dlgrect_left, "AP.dlgrect.left", 20)                                               \
    NUMBER(int, dlgrect_bottom, "AP.dlgrect.bottom", 620)                                          \
    NUMBER(int, dlgrect_right, "AP.dlgrect.right", 1000)                                           \
    NUMBER(int, showcmd, "AP.showcmd", 1)                                                          \
    /* display */                                                                                  \
    NUMBER(int, BW, "AP.BW", 0)                                                                    \
    /* working date */                                                                             \
    NUMBER(int, dlg_Y, "AP.dlg_Y", 2007)                                                           \
    NUMBER(int, dlg_M, "AP.dlg_M", 1)                                                              \
    NUMBER(int, dlg_D, "AP.dlg_D", 1)                                                              \
    /* current data source and list */                                                             \
    NUMBER(int, st_dsid, "AP.st_dsid", 0)                                                          \
    NUMBER(int, ps_lid, "AP.ps_lid", 0)                                                            \
    /* stream grouping */                                                                          \
    NUMBER(int, ps_dr, "AP.ps_dr", 100)                                                            \
    NUMBER(int, ps_dv, "AP.ps_dv", 100)                                                            \
    NUMBER(int, ps_dd, "AP.ps_dd", 100)                                                            \
    NUMBER(int, ps_ddr, "AP.ps_ddr", 1)                                                            \
    NUMBER(int, ps_ex, "AP.ps_ex", 1)                                                              \
    NUMBER(int, ps_pri, "AP.ps_pri", 1)                                                            \
    /* orbit selection */                                                                          \
    NUMBER(float, po_r1, "AP.po_r1  ", 0.0f)                                                       \
    NUMBER(float, po_d1, "AP.po_d1 ", 0.0f)                                                        \
    NUMBER(float, po_v1, "AP.po_v1  ", 20.0f)                                                      \
    NUMBER(float, po_r2, "AP.po_r2  ", 5.0f)                                                       \
    NUMBER(float, po_d2, "AP.po_d2 ", 5.0f)                                                        \
    NUMBER(float, po_v2, "AP.po_v2  ", 10.0f)                                                      \
    NUMBER(int, po_rC, "AP.po_rC  ", 0)                                                            \
    NUMBER(int, po_dC, "AP.po_dC ", 0)                                                             \
    NUMBER(int, po_vC, "AP.po_vC  ", 0)                                                            \
    NUMBER(float, po_a1, "AP.po_a1 ", 1.0f)                                                        \
    NUMBER(float, po_q1, "AP.po_q1 ", 0.5f)                                                        \
    NUMBER(float, po_e1, "AP.po_e1 ", 1.0f)                                                        \
    NUMBER(float, po_p1, "AP.po_p1 ", 0.0f)                                                        \
    NUMBER(float, po_n1, "AP.po_n1 ", 0.0f)                                                        \
    NUMBER(float, po_i1, "AP.po_i1 ", 0.0f)                                                        \
    NUMBER(float, po_R, "AP.po_R  ", 3.0f)                                                         \
    NUMBER(float, po_D, "AP.po_D ", 0.1f)                                                          \
    NUMBER(int, po_days, "AP.po_days", 1)                                                          \
    NUMBER(float, po_a2, "AP.po_a2 ", 0.5f)                                                        \
    NUMBER(float, po_q2, "AP.po_q2 ", 0.1f)                                                        \
    NUMBER(float, po_e2, "AP.po_e2 ", 0.1f)                                                        \
    NUMBER(float, po_p2, "AP.po_p2 ", 5.0f)                                                        \
    NUMBER(float, po_n2, "AP.po_n2 ", 5.0f)                                                        \
    NUMBER(float, po_i2, "AP.po_i2 ", 5.0f)                                                        \
    NUMBER(int, po_aC, "AP.po_aC", 0)                                                              \
    NUMBER(int, po_qC, "AP.po_qC", 0)                                                              \
    NUMBER(int, po_eC, "AP.po_eC", 0)                                                              \
    NUMBER(int, po_pC, "AP.po_pC", 0)                                                              \
    NUMBER(int, po_nC, "AP.po_nC", 0)                                                              \
    NUMBER(int, po_iC, "AP.po_iC", 0)                                                              \
    NUMBER(int, po_RC, "AP.po_RC", 0)                                                              \
    NUMBER(int, po_DC, "AP.po_DC", 0)                                                              \
    NUMBER(int, po_daysC, "AP.po_daysC", 0)                                                        \
    NUMBER(int, po_allyC, "AP.po_allyC", 1)                                                        \
    NUMBER(int, po_selstream, "AP.po_selstream", 0)                                                \
    NUMBER(int, po_selonly, "AP.po_selonly", 1)                                                    \
    NUMBER(int, po_useonly, "AP.po_useonly", 1)                                                    \
    /* sky map */                                                                                  \
    NUMBER(float, sm_ra, "AP.sm_ra", 130.0f)                                                       \
    NUMBER(float, sm_dec, "AP.sm_dec", 40.0f)                                                      \
    NUMBER(float, sm_rot, "AP.sm_rot", 0.0f)                                                       \
    NUMBER(float, sm_scale, "AP.sm_scale", 120.0f)                                                 \
    NUMBER(float, sm_mag, "AP.sm_mag", 4.7f)                                                       \
    NUMBER(int, sm_axis, "AP.sm_axis", 1)                                                          \
    NUMBER(int, sm_apex, "AP.sm_apex", 1)                                                          \
    NUMBER(int, sm_star, "AP.sm_star", 0)                                                          \
    NUMBER(int, sm_average, "AP.sm_average", 1)                                                    \
    NUMBER(int, sm_stream, "AP.sm_stream", 1)                                                      \
    NUMBER(int, sm_streamall, "AP.sm_streamall", 0)                                                \
    NUMBER(int, sm_text, "AP.sm_text", 1)                                                          \
    NUMBER(int, sm_orbit, "AP.sm_orbit", 1)                                                        \
    NUMBER(int, sm_orbitall, "AP.sm_orbitall", 0)                                                  \
    NUMBER(int, sm_color, "AP.sm_color", 1)                                                        \
    NUMBER(int, sm_color0, "AP.sm_color0", -13)                                                    \
    /* orbit map */                                                                                \
    NUMBER(int, om_radec, "AP.om_radec", 0)                                                        \
    NUMBER(int, om_star, "AP.om_star", 1)                                                          \
    NUMBER(int, om_average, "AP.om_average", 1)                                                    \
    NUMBER(int, om_stream, "AP.om_stream", 1)                                                      \
    NUMBER(int, om_maxl, "AP.om_maxl", 200)                                                        \
    NUMBER(int, om_text, "AP.om_text", 1)                                                          \
    NUMBER(float, om_ra, "AP.om_ra", 90.0f)                                                        \
    NUMBER(float, om_dec, "AP.om_dec", 67.0f)                                                      \
    NUMBER(float, om_rot, "AP.om_rot", 0.0f)                                                       \
    NUMBER(float, om_scale, "AP.om_scale", 10.0f)                                                  \
    NUMBER(float, om_ram, "AP.om_ram", 45.0f)                                                      \
    NUMBER(float, om_decm, "AP.om_decm", 30.0f)                                                    \
    NUMBER(float, om_rotm, "AP.om_rotm", 0.0f)                                                     \
    NUMBER(float, om_scalem, "AP.om_scalem", 10.0f)                                                \
    /* automatic clustering */                                                                     \
    NUMBER(int, ac_minc, "AP.ac_minc", 5)                                                          \
    NUMBER(float, ac_D, "AP.ac_D", 0.15f)                                                          \
    NUMBER(float, ac_S, "AP.ac_S", 15.0f)                                                          \
    NUMBER(float, ac_R, "AP.ac_R", 5.0f)                                                           \
    NUMBER(int, ac_V, "AP.ac_V", 50)                                                               \
    /* radiant map */                                                                              \
    NUMBER(float, r_ra, "AP.r_ra", 180.0f)                                                         \
    NUMBER(float, r_dec, "AP.r_dec", 0.0f)                                                         \
    NUMBER(float, r_scale, "AP.r_scale", 180.0f)                                                   \
    NUMBER(float, r_mag, "AP.r_mag", 5.0f)                                                         \
    NUMBER(int, r_days, "AP.r_days", 0)                                                            \
    NUMBER(int, r_mk, "AP.r_mk", 1)                                                                \
    NUMBER(int, r_st2, "AP.r_st2", 1)                                                              \
    NUMBER(int, r_ax, "AP.r_ax", 1)                                                                \
    NUMBER(int, r_ap, "AP.r_ap", 1)                                                                \
    NUMBER(int, r_star, "AP.r_star", 0)                                                            \
    NUMBER(int, r_text, "AP.r_text", 1)                                                            \
    NUMBER(int, r_color, "AP.r_color", 1)                                                          \
    NUMBER(int, r_color0, "AP.r_color0", -13)                                                      \
    NUMBER(int, r_mode_ax, "AP.r_mode_ax", 0)                                                      \
    NUMBER(int, r_vg, "AP.r_vg", 1)                                                                \
    /* main window: the left half's width in pixels, 0 until the window first closed */            \
    NUMBER(int, split_left, "AP.split_left", 0)                                                    \
    /* not written: returns to its default at every start */                                       \
    READ_ONLY(int, r_stp, "AP.r_stp", 0)

inline constexpr const char* kSettingsFileName = "Orvantella.ovr";
inline constexpr std::int32_t kSettingsVersion = 17;
// Files of an older version are ignored entirely.
inline constexpr std::int32_t kOldestSettingsVersion = 5;
// Text settings hold at most this many bytes with the terminating zero.
inline constexpr std::size_t kSettingsTextCapacity = 1024;

static_assert(sizeof(int) == 4 && sizeof(float) == 4, "settings records hold 4-byte numbers");

// Where the defaults of the folder settings come from.
struct SettingsFolders {
    std::string startup;   // the current folder at start
    std::string documents; // the user's documents folder
};

// The settings of one application. A page reads AP.po_r1 as settings.po_r1;
// "AP.dlgrect.top" is dlgrect_top. Numbers start at their defaults, the
// folder texts empty until defaultSettings() fills them.
struct Settings {
#define ORVANTELLA_DECLARE_TEXT(member, key, fallback) std::string member;
#define ORVANTELLA_DECLARE_NUMBER(type, member, key, fallback) type member = fallback;
    ORVANTELLA_SETTINGS(ORVANTELLA_DECLARE_TEXT, ORVANTELLA_DECLARE_NUMBER,
                        ORVANTELLA_DECLARE_NUMBER)
#undef ORVANTELLA_DECLARE_TEXT
#undef ORVANTELLA_DECLARE_NUMBER
};

Settings defaultSettings(const SettingsFolders& folders);

struct SettingKey {
    const char* key;
    bool written; // false for a key that is read but never written
};

// Calls visit(const SettingKey&, value&) for every setting in file order
// (texts, then numbers, then the read-only key); value is std::string&,
// int& or float&, const when settings is.
template <class S, class Visit> void forEachSetting(S& settings, Visit&& visit)
{
#define ORVANTELLA_VISIT_TEXT(member, key, fallback) visit(SettingKey{key, true}, settings.member);
#define ORVANTELLA_VISIT_NUMBER(type, member, key, fallback)                                       \
    visit(SettingKey{key, true}, settings.member);
#define ORVANTELLA_VISIT_READ_ONLY(type, member, key, fallback)                                    \
    visit(SettingKey{key, false}, settings.member);
    ORVANTELLA_SETTINGS(ORVANTELLA_VISIT_TEXT, ORVANTELLA_VISIT_NUMBER, ORVANTELLA_VISIT_READ_ONLY)
#undef ORVANTELLA_VISIT_TEXT
#undef ORVANTELLA_VISIT_NUMBER
#undef ORVANTELLA_VISIT_READ_ONLY
}

// The user's documents folder, created if missing: xdgDocumentsDir when set
// and not empty, else home + "/Documents"; empty when neither is known.
std::string documentsFolder(const char* xdgDocumentsDir, const char* home);
// The same from $XDG_DOCUMENTS_DIR and $HOME.
std::string documentsFolder();

enum class SettingsFileState {
    Unreadable, // no file (or an empty one): nothing read, nothing checked
    TooOld,     // VERSION missing or below 5: nothing read, nothing checked
    TooNew,     // VERSION above 17: nothing read, but the checks were made
    Read,
};

// Reads startupFolder/fileName (fileName alone when it is absolute) over
// settings and views, which hold the defaults or earlier values. A record
// longer than its setting is skipped and named in one message.
SettingsFileState readSettings(Settings& settings, ViewLayouts& views,
                               const std::string& startupFolder,
                               const std::string& fileName = kSettingsFileName);

// Replaces the file; false after "UE070: Cannot write %s". A folder text too
// long for the file is left out (its default returns at the next start) and
// named in a message.
bool writeSettings(const Settings& settings, const ViewLayouts& views,
                   const std::string& startupFolder,
                   const std::string& fileName = kSettingsFileName);
