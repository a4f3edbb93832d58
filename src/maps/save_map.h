#pragma once
// "Save Map": a map's canvas written as a BMP or PNG file the user names,
// and the file names each map proposes.

#include <functional>
#include <string>

class Canvas;

// Asks for a file ("Write BMP", offering BMP and PNG, proposing
// defaultPath's name in its folder; the dialog asks before overwriting) and
// writes the canvas there (see writeMap) unless accept(path), when given,
// refuses it (and tells the user why). Cancel writes nothing; a file that cannot be created is
// skipped without a word. True when the file was written.
bool saveMap(const Canvas& canvas, const std::string& defaultPath,
             const std::function<bool(const std::string& path)>& accept = {});

// Writes the canvas as PNG when the path ends in ".png" (any case), as BMP
// otherwise, replacing a previous file only once fully written. False when the file could not
// be written.
[[nodiscard]] bool writeMap(const Canvas& canvas, const std::string& path);
bool isPngPath(const std::string& path);

inline constexpr const char* kSaveMapFilter = "Write BMP File (*.bmp);;PNG File (*.png)";

// Default paths in folder for the working date.
std::string skyMapFileName(const std::string& folder, int year, int month, int day);
std::string orbitMapFileName(const std::string& folder, int year, int month, int day);
std::string radiantMapFileName(const std::string& folder, int year, int month, int day);
