// tests/host/tarne_run.h - the tarne program run through the shell as a user runs it,
// with the worlds, scripts and pictures the host tests write for it in the test folder.
#pragma once

#include "tests/support/picture_writers.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>
#include <string>

using testing_support::binDir;
using testing_support::CommandRun;
using testing_support::readFile;
using testing_support::runCommand;
using testing_support::sourceDir;
using testing_support::tempDir;
using testing_support::writeTempFile;

// `tarne <arguments>`: its exit status and what it wrote on its two streams.
inline CommandRun tarne(const std::string& arguments)
{
    return runCommand(binDir() + "/tarne " + arguments);
}

// A path in single quotes, for the shell.
inline std::string quote(const std::string& path)
{
    return "'" + path + "'";
}

// The demo world the examples ship, which the whole-program tests render and hear.
inline std::string demoWorld()
{
    return sourceDir() + "/examples/demo/demo.wrl";
}
