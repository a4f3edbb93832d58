#pragma once
// The record of where a map put its texts: every label, legend, panel and
// footer box, and the labels that found no free place and were left out.

#include <string>
#include <vector>

#include "maps/map_colors.h"
#include "maps/map_projection.h"

// Screen pixels, rows counted from the top, both ends included.
struct ScreenBox {
    int left = 0, top = 0, right = -1, bottom = -1;
    bool overlaps(const ScreenBox& other) const
    {
        return left <= other.right && other.left <= right && top <= other.bottom &&
               other.top <= bottom;
    }
};

enum class BoxKind { Label, Legend, Panel, Footer, Marker };

struct PlacedBox {
    ScreenBox box;
    BoxKind kind;
    std::string text;
};

// The box one line of text occupies with its top left cell at (left, top).
ScreenBox textBox(int left, int top, const std::string& text);

class LabelPlacement {
public:
    // A label waiting for its place: beside the point at canvas pixel
    // `anchor`, clear of a marker of half-size `clearance`; the first try is
    // dx right of the point with its middle dy above it.
    struct Request {
        Pixel anchor;
        int clearance = 0;
        int dx = 0, dy = 0;
        std::string text;
        Rgb color;
    };

    void clear();
    void setCanvas(int maxX, int maxY)
    {
        m_maxX = maxX;
        m_maxY = maxY;
    }
    void queue(Request request) { m_requests.push_back(std::move(request)); }
    const std::vector<Request>& queued() const { return m_requests; }
    void takeQueued(std::vector<Request>& into) { into.swap(m_requests); }

    // Whole on the canvas and off every box recorded so far.
    bool isFree(const ScreenBox& box) const;
    void record(const ScreenBox& box, BoxKind kind, std::string text = {});
    // The first free candidate, recorded; none when every one is taken.
    const PlacedBox* placeFirstFree(const std::vector<ScreenBox>& candidates, BoxKind kind,
                                    const std::string& text);
    void countDropped() { ++m_dropped; }

    const std::vector<PlacedBox>& boxes() const { return m_boxes; }
    int dropped() const { return m_dropped; }

private:
    int m_maxX = -1;
    int m_maxY = -1;
    std::vector<PlacedBox> m_boxes;
    std::vector<Request> m_requests;
    int m_dropped = 0;
};
