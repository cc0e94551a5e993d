#include <gtest/gtest.h>

#include "engine/ParabolaFit.h"

namespace melovantis {
namespace {

TEST(ParabolaFit, RecoversAnExactParabolaAndItsVertex) {
  ParabolaFit fit;
  fit.prepareFit(21);
  EXPECT_EQ(fit.s1, 210.0);
  EXPECT_EQ(fit.s2, 2870.0);
  double y[21];
  for (int x = 0; x < 21; ++x) {
    y[x] = 3.0 + 2.0 * x - 0.25 * x * x;
  }
  const auto r = fit.fitParabola(y);
  ASSERT_TRUE(r.ok);
  EXPECT_NEAR(r.a, 3.0, 1e-9);
  EXPECT_NEAR(r.b, 2.0, 1e-9);
  EXPECT_NEAR(r.c, -0.25, 1e-10);
  EXPECT_NEAR(-r.b / (2 * r.c), 4.0, 1e-9);
}

TEST(ParabolaFit, FitsLeastSquaresThroughNoisyPoints) {
  ParabolaFit fit;
  fit.prepareFit(5);
  const double y[5] = {1.0, 3.0, 4.0, 3.0, 1.0};
  const auto r = fit.fitParabola(y);
  ASSERT_TRUE(r.ok);
  EXPECT_LT(r.c, 0.0);
  EXPECT_NEAR(-r.b / (2 * r.c), 2.0, 1e-12);  // symmetric data: vertex in the middle
}

TEST(ParabolaFit, SingularSystemReportsNoMaximum) {
  ParabolaFit fit;
  fit.prepareFit(2);  // two points cannot fix three coefficients
  const double y[2] = {1.0, 2.0};
  const auto r = fit.fitParabola(y);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.b, 0.0);
  EXPECT_EQ(r.c, 1.0);
}

}  // namespace
}  // namespace melovantis
