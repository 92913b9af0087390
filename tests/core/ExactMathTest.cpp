// The simulation's own sine, cosine and arc tangent: close to the C
// library's, and free of it, so that every machine turns vectors alike.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "core/ExactMath.h"
#include "core/GameTables.h"

namespace fs = std::filesystem;

namespace {

// Distance in units of the last place between two doubles of one sign.
int64_t UlpDistance(double a, double b) {
    int64_t ia, ib;
    std::memcpy(&ia, &a, 8);
    std::memcpy(&ib, &b, 8);
    if ((ia < 0) != (ib < 0)) return a == b ? 0 : INT64_MAX;
    return ia > ib ? ia - ib : ib - ia;
}

TEST(ExactMath, AgreesWithTheLibraryToAFewUnitsInTheLastPlace) {
    // Every whole degree of the tables, and a sweep of odd angles over
    // several turns either way.
    for (int i = -1080; i <= 1080; ++i) {
        double a = i * (ExactMath::kPi / 180) + (i % 7) * 1e-3;
        double s = ExactMath::Sin(a), c = ExactMath::Cos(a);
        EXPECT_NEAR(s, std::sin(a), 4e-16) << a;
        EXPECT_NEAR(c, std::cos(a), 4e-16) << a;
        if (std::fabs(std::sin(a)) > 1e-3) { EXPECT_LE(UlpDistance(s, std::sin(a)), 4) << a; }
    }
    for (int i = -50; i <= 50; ++i)
        for (int j = -50; j <= 50; ++j) {
            double y = i * 0.37, x = j * 0.53;
            double a = ExactMath::Atan2(y, x);
            if (i == 0 && j == 0) EXPECT_EQ(a, 0.0);
            else EXPECT_NEAR(a, std::atan2(y, x), 8e-16) << y << "," << x;
        }
}

TEST(ExactMath, LogAgreesWithTheLibraryAndKeepsItsEdges) {
    for (double x : {1e-300, 1e-9, 0.0015, 0.15, 0.5, 0.70710678, 0.99999, 1.0, 1.5, 2.0, 2.1, 10.0, 30.0, 1234.5, 1e300}) {
        EXPECT_NEAR(ExactMath::Log(x), std::log(x), 4e-16 * std::max(1.0, std::fabs(std::log(x)))) << x;
    }
    EXPECT_EQ(ExactMath::Log(1.0), 0.0);
    EXPECT_EQ(ExactMath::Log(0.0), -HUGE_VAL);
    EXPECT_TRUE(std::isnan(ExactMath::Log(-1.0)));
}

TEST(ExactMath, GivesFixedValuesOnEveryMachine) {
    // Whatever the C library: the quadrants come out exactly and the tables
    // hold the kernel's values.
    EXPECT_EQ(ExactMath::Sin(0.0), 0.0);
    EXPECT_EQ(ExactMath::Cos(0.0), 1.0);
    EXPECT_LE(UlpDistance(ExactMath::Atan2(1.0, 1.0) * 4, ExactMath::kPi), 1);
    EXPECT_EQ(ExactMath::Atan2(0.0, -2.0), ExactMath::kPi);
    EXPECT_EQ(ExactMath::Atan2(-3.0, 0.0), -ExactMath::kPi / 2);
    BuildSinCosTables();
    for (int d = 0; d < 360; ++d) {
        double a = d * (3.141592653589793 * (1.0 / 180));
        EXPECT_EQ(SinTable[d], ExactMath::Sin(a)) << d;
        EXPECT_EQ(CosTable[d], ExactMath::Cos(a)) << d;
    }
}

// The simulation's folders call no transcendental function of the C library
// (square roots are exact everywhere and allowed).
TEST(ExactMath, TheSimulationUsesNoLibraryTranscendentals) {
    static const std::regex banned(R"(\b(std::)?(sin|cos|tan|asin|acos|atan2?|exp|log|log10|pow|sinf|cosf|atan2f|powf)\s*\()");
    fs::path root = VELMOR_SOURCE_DIR;
    for (const char* folder : {"core", "field", "Units", "army"}) {
        if (!fs::exists(root / folder)) continue;
        for (const auto& e : fs::recursive_directory_iterator(root / folder)) {
            if (e.path().extension() != ".cpp" && e.path().extension() != ".h") continue;
            if (e.path().filename() == "ExactMath.cpp") continue;
            std::ifstream f(e.path());
            std::string line;
            for (int n = 1; std::getline(f, line); ++n) {
                auto code = line.substr(0, line.find("//"));
                if (std::regex_search(code, banned))
                    ADD_FAILURE() << fs::relative(e.path(), root).generic_string() << ":" << n << ": " << line;
            }
        }
    }
}

}  // namespace
