#pragma once
// "Save Map": a map's canvas written as a BMP file the user names, and the
// file names each map proposes.

#include <string>

class Canvas;

// Asks for a file ("Write BMP", proposing defaultPath's name in its folder;
// the dialog asks before overwriting) and writes the canvas there. Cancel
// writes nothing; a file that cannot be created is skipped without a word.
// True when the file was written.
bool saveMap(const Canvas& canvas, const std::string& defaultPath);

// Default paths in folder for the working date.
std::string skyMapFileName(const std::string& folder, int year, int month, int day);
std::string orbitMapFileName(const std::string& folder, int year, int month, int day);
std::string radiantMapFileName(const std::string& folder, int year, int month, int day);
