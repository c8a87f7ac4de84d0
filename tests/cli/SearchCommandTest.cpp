#include <gtest/gtest.h>

#include "UnitSimulator.h"
#include "support/Loopback.h"
#include "support/RunProcess.h"

namespace qel {
namespace {

TEST(SearchCommandTest, ListsNetworkAndSerialUnitsOnePerLine) {
    const std::string subnet = test::loopbackSubnet();
    sim::UnitSimulator sim;
    ASSERT_GE(sim.addNetworkUnit(4, subnet + ".2", "Main Stage  "), 0) << sim.lastError();
    ASSERT_GE(sim.addNetworkUnit(2, subnet + ".3", "Fill"), 0);
    const int rack = sim.addSerialUnit(3, "Rack");
    ASSERT_TRUE(sim.start());
    std::vector<std::string> argv = {QUELLMAR_CLI, "search", "--gateway", subnet + ".1",
                                     "--local-port", "0", "--search-port", "0"};
    for (int n = 1; n <= 16; ++n)
        argv.insert(argv.end(), {"--serial-map", "COM" + std::to_string(n) + "=" +
                                                     (n == 7 ? sim.slavePath(rack) : "/nonexistent")});
    const auto r = test::runProcess(argv);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1\tQD408\tMain Stage\tUDP\t" + subnet + ".2\t0x8\n"
                     "2\tQD206\tFill\tUDP\t" + subnet + ".3\t0x8\n"
                     "3\tQD406\tRack\tCOM7\t-\t0x4\n");
}

TEST(SearchCommandTest, BadGatewayIsRefused) {
    const auto r = test::runProcess({QUELLMAR_CLI, "search", "--gateway", "300.1.1.1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("300.1.1.1"), std::string::npos);
}

}  // namespace
}  // namespace qel
