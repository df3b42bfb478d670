#pragma once
// Paths as the program's texts hold them: UTF-8, whatever the platform's own encoding of paths.
#include <filesystem>
#include <string>
#include <string_view>

namespace brg {

inline std::string gf_pathText(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

inline std::filesystem::path gf_textPath(std::string_view text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

} // namespace brg
