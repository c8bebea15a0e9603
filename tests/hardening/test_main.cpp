// The hardening tests take the locale from the environment, as the viewer does
// once GTK has started, so a run with LC_ALL=it_IT.UTF-8 exercises the core
// under Italian number formatting.
#include <clocale>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
