#include "settings/LaunchSchedule.h"

#include "settings/Preferences.h"

#include <chrono>

namespace corvane::LaunchSchedule {

double systemNow()
{
    // 978307200 s separate the Unix epoch from 2001-01-01T00:00:00Z.
    constexpr double referenceEpochOffset = 978307200.0;
    const auto sinceUnixEpoch = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(sinceUnixEpoch).count() - referenceEpochOffset;
}

double effectiveInterval(double storedInterval)
{
    return storedInterval < minimumCheckInterval ? defaultCheckInterval : storedInterval;
}

bool isCheckDue(bool optedOut, double lastCheck, double interval, double now)
{
    return !optedOut && interval < now - lastCheck;
}

std::optional<QString> run(
    Preferences &preferences, const Clock &now, const std::function<void()> &startUpdateCheck)
{
    const bool optedOut = preferences.boolForKey(PreferenceKey::noUpdateCheck);
    const double lastCheck = preferences.doubleForKey(PreferenceKey::dateLastUpdateCheck);
    const double interval = effectiveInterval(preferences.doubleForKey(PreferenceKey::updateCheckInterval));

    if (isCheckDue(optedOut, lastCheck, interval, now())) {
        if (startUpdateCheck)
            startUpdateCheck();
        // Recorded once the check has been started, whether or not it will ever be answered, so a
        // feed that is down is not asked again on every launch.
        preferences.setDouble(PreferenceKey::dateLastUpdateCheck, now());
    }
    preferences.setBool(PreferenceKey::noUpdateCheck, optedOut);
    preferences.setDouble(PreferenceKey::updateCheckInterval, interval);
    preferences.sync();

    return preferences.stringForKey(PreferenceKey::scratchpad);
}

} // namespace corvane::LaunchSchedule
