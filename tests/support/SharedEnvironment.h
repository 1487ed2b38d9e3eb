#pragma once

// One engine for all the tests of a program: made when the program starts,
// set up by GoogleTest before the first test and taken down after the last
// (a GL window and the engine's singletons exist once in a process). The
// tests reach it through the pointer returned here.

#include <gtest/gtest.h>

#include <utility>

namespace KelvoTest {

template <class Environment, class... Arguments>
Environment* addSharedEnvironment(Arguments&&... arguments)
{
    auto* environment = new Environment(std::forward<Arguments>(arguments)...);
    ::testing::AddGlobalTestEnvironment(environment); // GoogleTest owns it from here
    return environment;
}

} // namespace KelvoTest
