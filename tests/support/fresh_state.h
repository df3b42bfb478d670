#pragma once
// Shared fixtures: a fresh process-wide state, and a temporary working folder.
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace brg::test {

// Every process-wide object replaced by a fresh one before the test.
class FreshState : public ::testing::Test {
protected:
    void SetUp() override;
};

// A fresh state and an empty temporary folder as the working directory for the test's duration.
class TempDirTest : public FreshState {
protected:
    void SetUp() override;
    void TearDown() override;
    std::filesystem::path dir;

private:
    std::filesystem::path m_previous;
};

// Text mode, as the program writes its files: the same lines on both platforms.
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& content);

// Whether `part` occurs in `text`, and how often (occurrences that do not overlap).
inline bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
std::size_t countOf(const std::string& text, const std::string& part);

} // namespace brg::test
