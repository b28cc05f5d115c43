#pragma once

#include <QString>
#include <array>
#include <optional>

// The full scale of each axis of the comparison chart: 1.3 times the daily
// standard of the person the window opens on (a man of 20), so that his
// standard polygon lies on the chart's outer ring. The axes are, in order,
// energy, protein, calcium, iron, vitamin A, B1, B2, niacin and vitamin C.
namespace ChartScale {

inline constexpr int axisCount = 9;
inline constexpr double headroom = 1.3;
inline constexpr int referenceAge = 20;
inline constexpr int referenceSex = 1;

using Scales = std::array<double, axisCount>;
using Standards = std::array<std::optional<double>, axisCount>;

// The kij fields of the axes, in axis order.
extern const char *const standardFields[axisCount];

// headroom × standard per axis; the fallback where the standard is missing,
// not a number or not above 0.
Scales fromStandards(const Standards &standards, const Scales &fallback);

// The first kij row of the reference person, field by field (all missing when
// the store has no such row or cannot be read).
Standards referenceStandards(const QString &connection);

} // namespace ChartScale
