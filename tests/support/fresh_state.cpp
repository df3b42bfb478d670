#include "support/fresh_state.h"

#include "app/process_state.h"
#include "base/log.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

namespace brg::test {

void FreshState::SetUp()
{
    g_log.close();
    gf_resetProcessState();
}

void TempDirTest::SetUp()
{
    FreshState::SetUp();
    static std::atomic<int> counter{0};
    // Unique per process too: several test runs on one machine may run the same test at once.
    static const unsigned run = std::random_device{}();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() /
          ("talvesync-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
           std::to_string(run) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    m_previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
}

void TempDirTest::TearDown()
{
    g_log.close();
    std::filesystem::current_path(m_previous);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const std::filesystem::path& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::size_t countOf(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

} // namespace brg::test
