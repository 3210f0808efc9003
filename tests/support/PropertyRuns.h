#pragma once
// What the randomised property tests share: a pristine demo database to copy, random draws, and
// the seeds to run. A fixed list runs every time, so what a test catches does not depend on luck,
// and one seed drawn afresh, printed, so new sequences keep being tried; a failure names its seed,
// and STOREADJUST_PROPERTY_SEED=<seed> runs that sequence alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "support/DemoCopy.h"

namespace testsupport {

struct RandomDraws {
  explicit RandomDraws(unsigned seed) : rng(seed) {}
  double Uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(rng); }
  bool Chance(double p) { return Uniform(0, 1) < p; }
  std::size_t Index(std::size_t count) { return std::uniform_int_distribution<std::size_t>(0, count - 1)(rng); }
  template <typename T>
  const T& Pick(const std::vector<T>& items) { return items[Index(items.size())]; }
  std::mt19937 rng;
};

// A sequence's first broken rule and the steps that led to it.
class StepRecord {
 protected:
  void Log(const std::string& text) { log_ += "  " + text + "\n"; }
  void Fail(const std::string& text) {
    if (failure_.empty()) failure_ = text;
  }
  // Empty while no rule broke; otherwise the rule, then the steps under `stepsTitle`.
  std::string Report(const std::string& stepsTitle) const {
    return failure_.empty() ? "" : failure_ + "\n" + stepsTitle + ":\n" + log_;
  }

  std::string log_;
  std::string failure_;
};

// `run` answers the broken rule with what led to it, or empty text.
inline void RunSeeds(std::vector<unsigned> seeds, const std::function<std::string(unsigned)>& run) {
  if (const char* given = std::getenv("STOREADJUST_PROPERTY_SEED"); given && *given) {
    seeds = {static_cast<unsigned>(std::stoul(given))};
  } else {
    seeds.push_back(std::random_device{}());
    std::cout << ::testing::UnitTest::GetInstance()->current_test_info()->name() << ": random seed " << seeds.back()
              << std::endl;
    ::testing::Test::RecordProperty("random_seed", std::to_string(seeds.back()));
  }
  for (const unsigned seed : seeds) {
    const std::string failure = run(seed);
    ASSERT_TRUE(failure.empty()) << "seed " << seed << " (STOREADJUST_PROPERTY_SEED=" << seed << " runs it alone): " << failure;
  }
}

}  // namespace testsupport
