#include "scratch_folder.h"

#include "run_program.h"

#include <filesystem>

ScratchFolderTest::ScratchFolderTest()
    : Dir(MakeScratchDir(
          testing::UnitTest::GetInstance()->current_test_info()->test_suite_name())) {}

ScratchFolderTest::~ScratchFolderTest() {
    std::error_code error;
    if (!Dir.empty()) std::filesystem::remove_all(Dir, error);
}
