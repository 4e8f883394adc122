#pragma once

#include <gtest/gtest.h>

#include <string>

namespace brisk::test {

// Checks that `call` throws E with exactly the message `what`.
template <typename E, typename F>
void expectThrowWhat(F&& call, const std::string& what)
{
    try {
        call();
        ADD_FAILURE() << "no exception; expected \"" << what << "\"";
    } catch (const E& e) {
        EXPECT_EQ(std::string(e.what()), what);
    }
}

} // namespace brisk::test
