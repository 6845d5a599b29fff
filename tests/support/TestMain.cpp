// Test programs that use the GUI runtime: one application object, titled as
// the panel is, for the whole run.
#include <gtest/gtest.h>

#include "Forms.h"

int main(int argc, char** argv) {
    Application = new TApplication;  // lives to the end, as in the program
    Application->Title = "Tarnwick";
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
