// tests/support/search_folders.h - a private current folder and "PATH" for each test of
// the path search and of the pictures found through it; both are put back after.
#pragma once

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

class PathSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* path = std::getenv("PATH");
        savedPath = path ? path : "";
        savedFolder = std::filesystem::current_path();
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root = testing_support::tempDir() + test->test_suite_name() + "." + test->name() + "/";
        std::filesystem::create_directories(root + "here");
        std::filesystem::current_path(root + "here");
    }
    void TearDown() override
    {
        setenv("PATH", savedPath.c_str(), 1);
        std::filesystem::current_path(savedFolder);
    }
    std::string file(const std::string& name, const std::string& bytes = "x")
    {
        return testing_support::writeTempFile(relative(name), bytes);
    }
    std::string relative(const std::string& name)
    {
        return root.substr(testing_support::tempDir().size()) + name;
    }
    std::string savedPath;
    std::filesystem::path savedFolder;
    std::string root;
};
