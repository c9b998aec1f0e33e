// A fixture for tests that work in a folder of their own.
#pragma once

#include <gtest/gtest.h>

#include <string>

// Every test gets a new empty folder `Dir` under the system's temporary folder, named after its
// suite; the folder and all it holds go when the test ends.
class ScratchFolderTest : public testing::Test {
  protected:
    ScratchFolderTest();
    ~ScratchFolderTest() override;
    const std::string Dir;
};
