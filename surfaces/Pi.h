#pragma once
// π, for every angle the program and its tests compute.

inline constexpr double kPi = 3.14159265358979323846;
