#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace corvane {

class Preferences;

// When the update check runs, decided at the end of launching from three preferences, kept apart from
// the application object so that it can be tried against any store and any clock.
namespace LaunchSchedule {

inline constexpr double defaultCheckInterval = 43200.0; // 12 hours, in seconds
inline constexpr double minimumCheckInterval = 1.0;

// Seconds since 2001-01-01 00:00:00 UTC, the epoch the stored times use. Tests substitute their own.
using Clock = std::function<double()>;
double systemNow();

// Stored intervals below one second, an absent one included, mean the default.
double effectiveInterval(double storedInterval);

// Due when not opted out and strictly more than the interval has passed since the last check. A last
// check in the future (the clock was set back) gives a negative difference and so waits until the clock
// has caught up with it.
bool isCheckDue(bool optedOut, double lastCheck, double interval, double now);

// The launch routine on a store: reads the schedule, starts the check when it is due and records its
// time, writes the opt-out flag and the interval in force back, and returns the saved scratchpad text
// (none when nothing of string type is stored).
std::optional<QString> run(
    Preferences &preferences, const Clock &now, const std::function<void()> &startUpdateCheck);

} // namespace LaunchSchedule
} // namespace corvane
