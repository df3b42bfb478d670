#pragma once
// A fresh state in a temporary folder, with the fake socket seam installed for the test.
#include "net/socket.h"
#include "support/fake_socket.h"
#include "support/fresh_state.h"

#include <memory>
#include <string>
#include <vector>

namespace brg::test {

class FakeSocketTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        provider = FakeSocketProvider::install();
    }
    void TearDown() override
    {
        g_socketProvider.reset();
        TempDirTest::TearDown();
    }
    const std::vector<std::string>& sendCalls() const { return provider->script->sendCalls; }

    std::shared_ptr<FakeSocketProvider> provider;
    NullMainLoop loop;
};

} // namespace brg::test
