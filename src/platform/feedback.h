#pragma once
// Progress and cancellation for long work (import, grouping, clustering,
// load and save of big databases).

#include <cstdint>
#include <string>

class Feedback {
public:
    virtual ~Feedback() = default;
    // done of total units of the named step; total 0 when unknown.
    virtual void progress(const std::string& step, std::int64_t done, std::int64_t total) = 0;
    virtual bool cancelled() const { return false; }
};

// Reports nothing and never cancels.
class NoFeedback final : public Feedback {
public:
    void progress(const std::string&, std::int64_t, std::int64_t) override {}
};
