#include <gtest/gtest.h>

#include "ui/forms.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Application.Initialize(GetModuleHandleA(nullptr));
    return RUN_ALL_TESTS();
}
