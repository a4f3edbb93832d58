#pragma once
// The conversion of the core's UTF-8 texts into Qt strings, shared by every widget.

#include <QString>
#include <string>

inline QString qs(const std::string& text) { return QString::fromStdString(text); }
