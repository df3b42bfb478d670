#include "base/utc_time.h"

#include <chrono>
#include <ctime>
#include <fmt/format.h>
#include <mutex>

namespace brg {
namespace {

std::tm lf_utcNow()
{
    // std::gmtime shares one static result; the mutex keeps threads from reading each other's.
    static std::mutex mutex;
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::lock_guard lock(mutex);
    return *std::gmtime(&now);
}

} // namespace

std::string gf_utcAsctime()
{
    static constexpr const char* weekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::tm tm = lf_utcNow();
    return fmt::format("{} {}{:3d} {:02d}:{:02d}:{:02d} {}", weekdays[tm.tm_wday], months[tm.tm_mon],
                       tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 1900 + tm.tm_year);
}

std::string gf_utcTimeOfDay()
{
    const std::tm tm = lf_utcNow();
    return fmt::format("{:02d}:{:02d}:{:02d}", tm.tm_hour, tm.tm_min, tm.tm_sec);
}

} // namespace brg
