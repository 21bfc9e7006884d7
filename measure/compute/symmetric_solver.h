// Solution of small normal equations by symmetric Gaussian elimination
// without pivoting followed by back substitution. Used by the plane
// transformation between two photos (8 unknowns) and by least-squares
// matching (6 unknowns).
#pragma once

#include <span>

namespace vistamet {

// Solves N*x = u for a symmetric N held packed (upper triangle row by row,
// see bundle_adjuster.h). N and u are not changed.
//
// A pivot that is not positive, or that has fallen below 1e-14 of its
// original diagonal element (the row is a combination of the earlier ones,
// up to rounding), makes the solve fail: normal matrices are positive
// semi-definite, so such a pivot means a singular system.
// Returns 1 with x written, or 0 with x untouched when the system is
// singular, a result is not finite, n < 1 or a buffer is too short.
int SolveSymmetricSystem(std::span<const double> N, std::span<const double> u, int n,
                         std::span<double> x);

}  // namespace vistamet
