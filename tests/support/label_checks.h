#pragma once
// Checks on a rendered map's record of where its texts went.

#include <string>

class Canvas;

// Every label on the canvas and off every other recorded box (the marker of
// a labelled point included); legend, panel and footers off each other.
void expectNoCollision(const Canvas& canvas, const std::string& what);
