#include "measure/compute/symmetric_solver.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "measure/compute/bundle_adjuster.h"

namespace vistamet {
namespace {

TEST(SolveSymmetricSystem, SolvesAndLeavesTheSystemAlone) {
  // N = [[4, 2, 0], [2, 5, 1], [0, 1, 3]], x = (1, -2, 3) -> u = (0, -5, 7).
  const std::vector<double> N = {4, 2, 0, 5, 1, 3};
  const std::vector<double> u = {0, -5, 7};
  std::vector<double> x(3);
  ASSERT_EQ(SolveSymmetricSystem(N, u, 3, x), 1);
  EXPECT_NEAR(x[0], 1, 1e-14);
  EXPECT_NEAR(x[1], -2, 1e-14);
  EXPECT_NEAR(x[2], 3, 1e-14);
  EXPECT_EQ(N, (std::vector<double>{4, 2, 0, 5, 1, 3}));
  EXPECT_EQ(u, (std::vector<double>{0, -5, 7}));
}

TEST(SolveSymmetricSystem, SingularSystemsFailWithoutWriting) {
  struct Case {
    std::vector<double> N;
    const char* note;
  };
  const Case cases[] = {
      {{0, 0, 0, 0, 0, 0}, "zero matrix"},
      {{1, 2, 0, 4, 0, 1}, "second row twice the first"},
      {{1, 0, 0, 0, 0, 1}, "zero in the middle"},
      {{1, 0, 0, 1, 0, std::nan("")}, "not a number"},
      {{-1, 0, 0, 1, 0, 1}, "negative pivot"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    std::vector<double> x = {7, 7, 7};
    EXPECT_EQ(SolveSymmetricSystem(c.N, std::vector<double>{1, 1, 1}, 3, x), 0);
    EXPECT_EQ(x, (std::vector<double>{7, 7, 7}));
  }
  std::vector<double> x(2);
  EXPECT_EQ(SolveSymmetricSystem(std::vector<double>{1, 0}, std::vector<double>{1, 1}, 2, x), 0);
}

}  // namespace
}  // namespace vistamet
