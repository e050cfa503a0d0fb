#pragma once

#include <QDateTime>

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

}  // namespace platine::test
