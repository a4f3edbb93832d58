#pragma once
// Two doubles in the two lanes of one SSE2 register, for evaluating two instants side by side.

// Each lane rounds exactly as the same scalar expression would (the build contracts no
// multiply-add), so either lane equals a one-at-a-time evaluation bit for bit.
using DoublePair = double __attribute__((vector_size(16)));

// f on each lane: the maths library has no two-lane functions.
template <typename F> DoublePair eachLane(DoublePair value, F f)
{
    return DoublePair{f(value[0]), f(value[1])};
}
