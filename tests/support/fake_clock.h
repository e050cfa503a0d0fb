#pragma once

#include <QByteArray>
#include <QDateTime>

#include <ctime>
#include <functional>
#include <memory>

namespace platine::test {

// A PC clock the test sets: function() is what the windows take as their clock, and it tells
// whatever set() last gave.
class FakeClock
{
public:
    explicit FakeClock(const QDateTime &start) : now_(std::make_shared<QDateTime>(start)) {}
    void set(const QDateTime &now) { *now_ = now; }
    std::function<QDateTime()> function() const
    {
        return [now = now_] { return *now; };
    }

private:
    std::shared_ptr<QDateTime> now_;
};

// The PC's time zone set to `zone` (as TZ names it) for the life of the object; TZ is then
// given back as it was, or unset again when it was not set.
class ScopedTimeZone
{
public:
    explicit ScopedTimeZone(const char *zone)
        : wasSet_(qEnvironmentVariableIsSet("TZ")), old_(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        ::tzset();
    }
    ~ScopedTimeZone()
    {
        if (wasSet_)
            qputenv("TZ", old_);
        else
            qunsetenv("TZ");
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone &) = delete;
    ScopedTimeZone &operator=(const ScopedTimeZone &) = delete;

private:
    bool wasSet_;
    QByteArray old_;
};

}  // namespace platine::test
