// Arithmetic of path counts, where -1 stands for a count that could not be
// computed and absorbs everything.
#pragma once

namespace qor {

inline double times(double a, double b) { return a < 0 || b < 0 ? -1 : a * b; }
inline double plus(double a, double b) { return a < 0 || b < 0 ? -1 : a + b; }

}  // namespace qor
